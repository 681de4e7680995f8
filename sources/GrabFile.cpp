#include "sources/GrabFile.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>

#include "media/Bitmap.h"
#include "media/GraphModule.h"
#include "media/VideoWindow.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"
#include "sources/SceneFileReader.h"
#include "sources/aviinfo.h"

namespace {
constexpr int64_t OneMinute = 60 * UnitsPerSecond;
}

TgrabFile::TgrabFile(const QString& path, GraphModule& dm) : m_dm(dm) {
  FileName = path;
  Description = path;
  codecCheck();
  Volume = 0;
}

void TgrabFile::codecCheck() {
  const QString name = QFileInfo(FileName).fileName();
  const qsizetype dot = name.lastIndexOf('.');
  if (dot < 0 || name.mid(dot).toLower() != ".avi") return;
  try {
    TFriendlyAviParam avi(FileName);
    VideoCodec = avi.GetVideoHandler().left(4);
    // Scene detection reads DV recording dates: only DV video carries them.
    CanDetectScenes = VideoCodec == "dvsd" || VideoCodec == "dsvd";
  } catch (...) {
    VideoCodec.clear();
    CanDetectScenes = false;
  }
}

TgrabFile::~TgrabFile() {
  m_alive.reset();  // any wait still on the stack returns without touching this object
  MediaGraph& fg = m_dm.fg();
  fg.Stop();
  if (m_videoWindow && fg.AttachedVideoWindow() == m_videoWindow) {
    m_videoWindow->SetVideoVisible(false);
    fg.DetachVideoWindow();
  }
  fg.Clear();
}

int TgrabFile::GetState() { return int(m_dm.fg().GetState()); }

int TgrabFile::GetVolume() { return m_dm.fg().GetVolume(); }

void TgrabFile::SetVolume(int volume) {
  Volume = volume;
  m_dm.fg().SetVolume(volume);
}

void TgrabFile::GetDuration(TGrabPosition& position) {
  if (auto* p = dynamic_cast<TGrabFilePosition*>(&position)) p->Time = Duration;
}

void TgrabFile::GetPosition(TGrabPosition& position) {
  auto* p = dynamic_cast<TGrabFilePosition*>(&position);
  if (!p) return;
  p->Time = m_dm.fg().GetCurrentPosition();
  p->Grab = this;
  p->Duration = Duration;
}

// Waits on the user-interface thread until `flag` is raised by the frame-holding element, the
// pipeline reports an error or the end (no frame will come), or this source is destroyed.
// Returns false in the last case: the caller must not touch any member then.
bool TgrabFile::waitForFrame(const std::atomic<bool>& flag) {
  MediaGraph& fg = m_dm.fg();
  const std::weak_ptr<int> alive = m_alive;
  bool ended = false;
  auto previousError = std::move(fg.OnError);
  auto previousComplete = std::move(fg.OnComplete);
  fg.OnError = [&ended](const QString&) { ended = true; WakeWaiters(); };
  fg.OnComplete = [&ended] { ended = true; WakeWaiters(); };
  WaitUntil([&] { return flag.load() || ended || alive.expired(); });
  fg.OnError = std::move(previousError);
  fg.OnComplete = std::move(previousComplete);
  return !alive.expired();
}

uint8_t TgrabFile::Render(VideoWindow* window) {
  // Every pipeline call below may process window events, and closing the window destroys this
  // source: after each, return at once when that happened.
  const std::weak_ptr<int> alive = m_alive;
  try {
    MediaGraph& fg = m_dm.fg();
    if (m_videoWindow) {
      fg.Stop();
      m_videoWindow->SetVideoVisible(false);
      fg.DetachVideoWindow();
    }
    fg.Clear();
    m_videoWindow = window;
    fg.AttachVideoWindow(window);

    uint8_t code = RenderMediaFailed;
    if (fg.RenderFile(FileName)) {
      if (alive.expired()) return RenderUnexpectedFailure;
      code = m_dm.InsertFrameFilter();
    }
    if (alive.expired()) return RenderUnexpectedFailure;
    fg.SetTimeFormat(TimeFormat::MediaTime);
    Duration = fg.GetDuration();
    // Steps and timecodes count the stream's own frames, so that every frame of a 30 or 50 fps
    // video can be reached and named; 40 ms when the stream does not say.
    if (const int64_t streamFrame = fg.GetStreamFrameDuration(); streamFrame > 0)
      FrameDuration = streamFrame;
    if (FrameDuration == 0) FrameDuration = DefaultFrameDuration;
    if (code != RenderOk) return code;

    fg.SetVolume(Volume);
    RenderFrameArrived = false;
    fg.Run();
    if (alive.expired() || !waitForFrame(RenderFrameArrived)) return RenderUnexpectedFailure;
    if (!RenderFrameArrived) return RenderMediaFailed;  // ended or failed before any frame
    fg.Pause();
    if (alive.expired()) return RenderUnexpectedFailure;
    if (Duration <= 0) Duration = fg.GetDuration();
    return RenderOk;
  } catch (...) {
    return RenderUnexpectedFailure;
  }
}

void TgrabFile::SetPosition(TGrabPosition& position, bool wait) {
  auto* p = dynamic_cast<TGrabFilePosition*>(&position);
  if (!p) return;
  MediaGraph& fg = m_dm.fg();
  const GraphState state = fg.GetState();
  const int64_t target = p->Time;
  if (wait) {
    const std::weak_ptr<int> alive = m_alive;
    SeekFrameArrived = false;
    fg.SetPositions(target);
    fg.Pause();
    if (alive.expired() || !waitForFrame(SeekFrameArrived)) return;
  } else {
    fg.SetPositions(target);
  }
  if (state == GraphState::Running) fg.Run();
}

void TgrabFile::GrabFrame(Bitmap& bitmap) {
  if (m_grabPosition) GetPosition(*m_grabPosition);
  m_dm.Superposer().CopyHeldFrame(bitmap);
}

void TgrabFile::moveTo(int64_t target) { m_dm.fg().SetPositions(target); }

void TgrabFile::AvanceLow() {
  MediaGraph& fg = m_dm.fg();
  const int64_t target = std::min(fg.GetCurrentPosition() + FrameDuration, Duration);
  // Paused on a frame, the next one is shown by a step, far cheaper than a seek.
  if (fg.GetState() == GraphState::Paused && target < Duration && fg.StepForward()) return;
  moveTo(target);
}

void TgrabFile::AvanceMedium() {
  moveTo(std::min(m_dm.fg().GetCurrentPosition() + UnitsPerSecond, Duration));
}

void TgrabFile::AvanceHigh() {
  moveTo(std::min(m_dm.fg().GetCurrentPosition() + OneMinute, Duration));
}

void TgrabFile::AvanceEnd() { moveTo(Duration); }

void TgrabFile::ReculeLow() {
  moveTo(std::max<int64_t>(m_dm.fg().GetCurrentPosition() - FrameDuration, 0));
}

void TgrabFile::ReculeMedium() {
  moveTo(std::max<int64_t>(m_dm.fg().GetCurrentPosition() - UnitsPerSecond, 0));
}

void TgrabFile::ReculeHigh() {
  moveTo(std::max<int64_t>(m_dm.fg().GetCurrentPosition() - OneMinute, 0));
}

void TgrabFile::ReculeHome() { moveTo(0); }

void TgrabFile::Play() { m_dm.fg().Run(); }

void TgrabFile::Pause() { m_dm.fg().Pause(); }

bool TgrabFile::sceneMove(bool next) {
  const QString name = QFileInfo(FileName).fileName();
  const qsizetype dot = name.lastIndexOf('.');
  const QString base = dot < 0 ? FileName : FileName.left(FileName.size() - (name.size() - dot));
  const auto scenes = ReadSceneStarts(base + ".scn");
  if (!scenes) return false;

  MediaGraph& fg = m_dm.fg();
  fg.SetTimeFormat(TimeFormat::Frame);
  const auto current = uint32_t(fg.GetCurrentPosition());
  const uint32_t target = next ? NextSceneStart(*scenes, current) : PreviousSceneStart(*scenes, current);
  fg.SetPositions(int64_t(target));
  fg.SetTimeFormat(TimeFormat::MediaTime);
  return true;
}

bool TgrabFile::AvanceTrack() { return sceneMove(true); }

bool TgrabFile::ReculeTrack() { return sceneMove(false); }

TGrabFilePosition::TGrabFilePosition(TgrabFile* source, int64_t time) {
  Grab = source;
  Duration = source ? source->Duration : 0;
  Time = time;
}

int64_t TGrabFilePosition::frameDuration() const {
  return Grab ? Grab->FrameDuration : DefaultFrameDuration;
}

QString TGrabFilePosition::GetText() const {
  return TimecodeText(TimeToTimecode(Time, frameDuration(), FileTimecodeOffset));
}

void TGrabFilePosition::SetText(const QString& text) {
  Time = TimecodeToTime(ParseTimecodeText(text), frameDuration());
}

int64_t TGrabFilePosition::GetProgress() const { return TimeToProgress(Time, Duration); }

void TGrabFilePosition::SetProgress(int64_t progress) { Time = ProgressToTime(progress, Duration); }
