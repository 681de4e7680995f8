// A command-line batch against a shell loop of ffmpeg: one picture at 10 s out of each of 20
// H.264 clips (1280x720, 15 s, a keyframe every 2 s). Pictorel is the real binary, off screen:
//   pictorel "/F=dir/*.mp4" /P=0:00:10:00 /G /+ /Q   (with JPEG 90 and no questions)
// against `for f in dir/*.mp4; do ffmpeg -ss 10 -i $f -frames:v 1 out.jpg; done`.
// Both warm, best of three, in the same run. Goal: Pictorel's time at most 0.7 of the loop's.
//
// Usage: batch [media folder]. The clips are generated there once and reused.
#include <QCoreApplication>

#include "bench/batch_tools.h"

namespace {
constexpr int Runs = 3;
constexpr int Files = 20;
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString folder = argc > 1 && argv[1][0] != '-' ? QString::fromLocal8Bit(argv[1])
                                                       : QStringLiteral(PICTOREL_BENCH_MEDIA_DIR);
  const QString clips = folder + "/batch-clips";
  QDir().mkpath(clips);
  const QString first = clips + "/clip01.mp4";
  if (!bench::makeClip(first, "1280x720", 15, 50)) {
    std::fprintf(stderr, "could not generate the clip (ffmpeg)\n");
    return 1;
  }
  QStringList files{first};
  for (int i = 2; i <= Files; ++i) {
    const QString copy = clips + QString("/clip%1.mp4").arg(i, 2, 10, QChar('0'));
    if (!QFileInfo::exists(copy) && !QFile::copy(first, copy)) return 1;
    files << copy;
  }

  const QString work = folder + "/batch-run";
  const QString ours = work + "/pictorel";
  const QString theirs = work + "/ffmpeg";
  bench::freshFolder(work);
  const QProcessEnvironment env = bench::offscreen(work + "/config");
  const QStringList args = {"/S=" + ours, "-C", "-Z", "/J=90", "/F=" + clips + "/*.mp4",
                            "/P=0:00:10:00", "/G", "/+", "/Q"};

  const double pictorel = bench::bestSeconds(
      Runs, [&] { bench::freshFolder(ours); },
      [&] { return bench::run(PICTOREL_BINARY, args, env); });
  const int ourPictures = bench::fileCount(ours);
  const double loop = bench::bestSeconds(
      Runs, [&] { bench::freshFolder(theirs); },
      [&] {
        int n = 0;
        for (const QString& file : files)
          if (!bench::ffmpeg({"-ss", "10", "-i", file, "-frames:v", "1",
                              theirs + QString("/out%1.jpg").arg(++n)}))
            return false;
        return true;
      });
  const int theirPictures = bench::fileCount(theirs);
  if (pictorel < 0 || loop < 0 || ourPictures != Files || theirPictures != Files) {
    std::fprintf(stderr, "a run failed (pictorel %d pictures, ffmpeg %d)\n", ourPictures,
                 theirPictures);
    return 1;
  }
  std::printf("files           %d x 1280x720 H.264, 15 s, 2 s GOP; one picture at 10 s each\n",
              Files);
  std::printf("pictorel        %6.2f s  (%.0f ms per file, best of %d)\n", pictorel,
              pictorel * 1000 / Files, Runs);
  std::printf("ffmpeg loop     %6.2f s  (%.0f ms per file, best of %d)\n", loop,
              loop * 1000 / Files, Runs);
  std::printf("pictorel/loop   %6.2f    (goal: at most 0.70)\n", pictorel / loop);
  return 0;
}
