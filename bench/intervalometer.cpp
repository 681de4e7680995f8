// Intervalometer over a file against ffmpeg: one JPEG (quality 90) per second of media from a
// 60 s 1920x1080 H.264 clip with one keyframe a second. Pictorel is the real binary, off screen,
// driven by a command list (start-up and loading included); ffmpeg runs
// `ffmpeg -i clip -vf fps=1 -q:v 2 out%04d.jpg`. Both warm, best of three, in the same run.
//
// Usage: intervalometer [media folder]. The clip is generated there once and reused.
#include <QCoreApplication>

#include "bench/batch_tools.h"

namespace {
constexpr int Runs = 3;
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString folder = argc > 1 && argv[1][0] != '-' ? QString::fromLocal8Bit(argv[1])
                                                       : QStringLiteral(PICTOREL_BENCH_MEDIA_DIR);
  QDir().mkpath(folder);
  const QString clip = folder + "/intervalometer_1080p_60s.mp4";
  if (!bench::makeClip(clip, "1920x1080", 60, 25)) {
    std::fprintf(stderr, "could not generate the clip (ffmpeg)\n");
    return 1;
  }
  const QString work = folder + "/intervalometer-run";
  const QString ours = work + "/pictorel";
  const QString theirs = work + "/ffmpeg";
  const QString list = work + "/list.txt";
  bench::freshFolder(work);
  // A run from the start of the clip, one picture a second, JPEG 90, no questions.
  if (!bench::writeList(list, QString("\"/S=%1\" -C -Z /J=90 \"/F=%2\" /I=1Seconds /Q\n")
                                  .arg(ours, clip))) {
    std::fprintf(stderr, "could not write the command list\n");
    return 1;
  }
  const QProcessEnvironment env = bench::offscreen(work + "/config");

  const double pictorel = bench::bestSeconds(
      Runs, [&] { bench::freshFolder(ours); },
      [&] { return bench::run(PICTOREL_BINARY, {"/L=" + list}, env); });
  const int ourPictures = bench::fileCount(ours);
  const double reference = bench::bestSeconds(
      Runs, [&] { bench::freshFolder(theirs); },
      [&] {
        return bench::ffmpeg({"-i", clip, "-vf", "fps=1", "-q:v", "2", theirs + "/out%04d.jpg"});
      });
  const int theirPictures = bench::fileCount(theirs);
  if (pictorel < 0 || reference < 0 || ourPictures == 0 || theirPictures == 0) {
    std::fprintf(stderr, "a run failed (pictorel %d pictures, ffmpeg %d)\n", ourPictures,
                 theirPictures);
    return 1;
  }

  const double ourRate = ourPictures / pictorel;
  const double theirRate = theirPictures / reference;
  std::printf("clip            60 s, 1920x1080 H.264, 1 s GOP\n");
  std::printf("pictorel        %6.1f pictures/s  (%d pictures in %.2f s, best of %d)\n", ourRate,
              ourPictures, pictorel, Runs);
  std::printf("ffmpeg fps=1    %6.1f pictures/s  (%d pictures in %.2f s, best of %d)\n", theirRate,
              theirPictures, reference, Runs);
  std::printf("pictorel/ffmpeg %6.2f            (pictures per second)\n", ourRate / theirRate);
  return 0;
}
