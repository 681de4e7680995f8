// One-frame steps forward and backward, each until the new frame is held, paused at spread
// positions of a 60 s 1920x1080 H.264 clip with 10 s GOPs. Prints the median and the 90th
// percentile of each direction (goal forward: median <= 20 ms) and checks every step landed on
// the next (previous) frame.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <vector>

#include "bench/BenchClip.h"
#include "media/Bitmap.h"
#include "media/graph.h"
#include "sources/FlagWait.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"

namespace {

int64_t frameOf(const TgrabFile& source, int64_t time) {
  return (time + source.FrameDuration / 2) / source.FrameDuration;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString clip = bench::longGopClip(argc > 1 ? argv[1] : PICTOREL_BENCH_MEDIA_DIR);
  if (clip.isEmpty()) return 1;
  Tdm dm;
  TgrabFile source(clip, dm);
  TGrabFilePosition position(&source, 0);
  if (source.Render(nullptr) != RenderOk) return 1;

  constexpr int StartPoints = 10, StepsPerPoint = 10;
  std::vector<double> forward, backward;
  int wrong = 0;
  auto step = [&](void (TgrabFile::*op)(), int64_t expectedFrame, std::vector<double>& times) {
    QElapsedTimer t;
    t.start();
    SeekFrameArrived = false;
    (source.*op)();
    WaitUntil([] { return SeekFrameArrived.load(); }, 20000);
    times.push_back(t.nsecsElapsed() / 1e6);
    source.GetPosition(position);
    if (frameOf(source, position.Time) != expectedFrame) ++wrong;
  };
  for (int i = 0; i < StartPoints; ++i) {
    const int64_t startFrame = 30 + int64_t(i) * 140;  // spread over 58 s, away from key frames
    position.Time = startFrame * source.FrameDuration;
    source.SetPosition(position, true);
    for (int s = 1; s <= StepsPerPoint; ++s) step(&TgrabFile::AvanceLow, startFrame + s, forward);
    for (int s = StepsPerPoint - 1; s >= 0; --s) step(&TgrabFile::ReculeLow, startFrame + s, backward);
  }
  std::printf("frame_step: %zu steps each way on %s\n", forward.size(),
              qPrintable(QFileInfo(clip).fileName()));
  std::printf("  forward  (AvanceLow)  median %7.1f ms   p90 %7.1f ms   (goal median <= 20 ms)\n",
              bench::median(forward), bench::percentile(forward, 0.9));
  std::printf("  backward (ReculeLow)  median %7.1f ms   p90 %7.1f ms\n", bench::median(backward),
              bench::percentile(backward, 0.9));
  std::printf("  steps landing on the wrong frame: %d\n", wrong);
  return wrong == 0 ? 0 : 2;
}
