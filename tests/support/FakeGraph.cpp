#include "tests/support/FakeGraph.h"

#include <QMetaObject>
#include <QCoreApplication>

#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

namespace {
// Frames come from another thread in real life: deliver them later, through the event loop.
void deliverFrameLater() {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [] {
        RaiseFlag(RenderFrameArrived);
        RaiseFlag(SeekFrameArrived);
      },
      Qt::QueuedConnection);
}
}  // namespace

void FakeMediaGraph::Run() {
  state = GraphState::Running;
  if (frameOnRun) deliverFrameLater();
}

int64_t FakeMediaGraph::toFormat(int64_t time) const {
  return format == TimeFormat::Frame ? time / streamFrameDuration : time;
}

void FakeMediaGraph::SetPositions(int64_t current) {
  seeks.push_back(current);
  position = format == TimeFormat::Frame ? current * streamFrameDuration : current;
  if (frameOnSeek) deliverFrameLater();
}

bool FakeMediaGraph::StepForward() {
  if (state != GraphState::Paused || position + streamFrameDuration >= duration) return false;
  ++steps;
  position += streamFrameDuration;
  deliverFrameLater();
  return true;
}
