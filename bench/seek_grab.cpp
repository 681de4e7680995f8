// Accurate seeks with a copy of the held frame, against ffmpeg extracting the same frames.
// 50 positions spread over a 60 s 1920x1080 H.264 clip with 10 s GOPs; prints the median time
// per picture for both, their ratio (goal <= 1.0) and the time from Render to the first frame.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <vector>

#include "bench/BenchClip.h"
#include "media/Bitmap.h"
#include "media/graph.h"
#include "sources/GrabFile.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString clip = bench::longGopClip(argc > 1 ? argv[1] : PICTOREL_BENCH_MEDIA_DIR);
  if (clip.isEmpty()) {
    std::fprintf(stderr, "cannot make the benchmark clip\n");
    return 1;
  }
  constexpr int Seeks = 50;
  // Spread over the clip, not in order, mostly away from key frames (worst case for a decoder).
  std::vector<int64_t> positions;
  for (int i = 0; i < Seeks; ++i) positions.push_back(int64_t((i * 37) % Seeks) * 58 * UnitsPerSecond / Seeks + 13 * 400'000);

  Tdm dm;
  std::vector<double> renderMs;
  std::vector<double> ours;
  {
    QElapsedTimer t;
    t.start();
    TgrabFile source(clip, dm);
    TGrabFilePosition position(&source, 0);
    if (source.Render(nullptr) != RenderOk) {
      std::fprintf(stderr, "cannot render %s\n", qPrintable(clip));
      return 1;
    }
    renderMs.push_back(t.nsecsElapsed() / 1e6);
    Bitmap picture;
    for (int64_t p : positions) {
      QElapsedTimer s;
      s.start();
      position.Time = p;
      source.SetPosition(position, true);
      source.GrabFrame(picture);
      ours.push_back(s.nsecsElapsed() / 1e6);
    }
  }

  std::vector<double> theirs;
  for (int64_t p : positions) {
    QElapsedTimer s;
    s.start();
    bench::runQuiet("ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-ss",
                               QString::number(double(p) / UnitsPerSecond, 'f', 3), "-i", clip,
                               "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "bgr24", "-y",
                               "/dev/null"});
    theirs.push_back(s.nsecsElapsed() / 1e6);
  }

  const double m = bench::median(ours), f = bench::median(theirs);
  std::printf("seek_grab: %d accurate seeks on %s\n", Seeks, qPrintable(QFileInfo(clip).fileName()));
  std::printf("  Render to first held frame     %8.1f ms\n", renderMs[0]);
  std::printf("  Pictorel seek+grab, median     %8.1f ms  (p90 %.1f ms)\n", m,
              bench::percentile(ours, 0.9));
  std::printf("  ffmpeg -ss -frames:v 1, median %8.1f ms  (p90 %.1f ms)\n", f,
              bench::percentile(theirs, 0.9));
  std::printf("  ratio Pictorel / ffmpeg        %8.2f  (goal <= 1.0)\n", f > 0 ? m / f : 0.0);
  return 0;
}
