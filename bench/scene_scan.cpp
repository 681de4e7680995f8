// Scene scan speed against reading the same file: a DV type-2 AVI of about 550 MB is scanned
// with WriteSceneFile and read with `cat file > /dev/null`, both warm, in the same run.
// Goal: the scan runs at least half as fast as the plain read.
//
// Usage: scene_scan [media folder]. The AVI is generated there once (ffmpeg) and reused.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "media/scenes.h"
#include "settings/Dialogs.h"
#include "sources/ProgramFlags.h"

namespace {

constexpr int TakeFrames = 250;   // 10 s, 36 MB of DV
constexpr int TakeCopies = 15;    // about 550 MB in all
constexpr int Runs = 5;

class NoDialogs : public Dialogs {
 public:
  DialogButton Ask(const QString&, std::initializer_list<DialogButton> buttons) override {
    return *(buttons.end() - 1);
  }
  void ShowErrorBox(const QString&) override {}
  QString AskOpenFile(const QString&, const QString&, const QString&) override { return {}; }
  QString AskSaveFile(const QString&, const QString&, const QString&, int*) override { return {}; }
  QString AskFolder(const QString&, const QString&) override { return {}; }
};

bool run(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.start(program, args);
  return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// One take stamped from a recording date, repeated: every copy starts a new scene, since its
// stamps jump back 10 seconds.
bool makeAvi(const QString& folder, const QString& target) {
  const QString take = folder + "/take.dv";
  const QString partial = folder + "/.partial-scene_scan.avi";
  const QString seconds = QString::number(TakeFrames / 25.0, 'f', 2);
  if (!run("ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                      "-f", "lavfi", "-i", "testsrc2=size=720x576:rate=25:duration=" + seconds,
                      "-f", "lavfi", "-i", "anullsrc=r=48000:cl=stereo,atrim=duration=" + seconds,
                      "-c:v", "dvvideo", "-pix_fmt", "yuv420p", "-c:a", "pcm_s16le", "-f", "dv",
                      "-metadata", "creation_time=2004-05-01T10:00:00", take})) {
    return false;
  }
  QStringList copies;
  for (int i = 0; i < TakeCopies; ++i) copies << take;
  const bool ok = run("ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                 "-f", "dv", "-i", "concat:" + copies.join('|'),
                                 "-c", "copy", "-f", "avi", partial});
  QFile::remove(take);
  return ok && QFile::rename(partial, target);
}

double catSeconds(const QString& path) {
  const QByteArray command = "cat '" + QFile::encodeName(path) + "' > /dev/null";
  QElapsedTimer t;
  t.start();
  if (std::system(command.constData()) != 0) return -1;
  return t.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool folderGiven = argc > 1 && argv[1][0] != '-';
  const QString folder = folderGiven ? QString::fromLocal8Bit(argv[1])
                                     : QStringLiteral(PICTOREL_BENCH_MEDIA_DIR);
  QDir().mkpath(folder);
  const QString avi = folder + "/scene_scan.avi";
  if (!QFileInfo::exists(avi)) {
    std::printf("generating %s ...\n", qPrintable(avi));
    std::fflush(stdout);
    if (!makeAvi(folder, avi)) {
      std::fprintf(stderr, "could not generate the DV file (ffmpeg)\n");
      return 1;
    }
  }
  const double megabytes = QFileInfo(avi).size() / 1e6;

  catSeconds(avi);  // warm the page cache
  NoDialogs dialogs;
  Tsm tsm(dialogs);
  double bestCat = 1e9, bestScan = 1e9;
  for (int i = 0; i < Runs; ++i) {
    bestCat = std::min(bestCat, catSeconds(avi));
    QElapsedTimer t;
    t.start();
    if (!tsm.WriteSceneFile(avi, false)) {
      std::fprintf(stderr, "the scan failed\n");
      return 1;
    }
    bestScan = std::min(bestScan, t.nsecsElapsed() / 1e9);
  }
  QFile scn(Tsm::sceneFilePath(avi));
  scn.open(QIODevice::ReadOnly);
  const QByteArray header = scn.read(33 + 1 + 512);
  const int pathLength = header.size() > 24 ? uint8_t(header[24]) : 0;
  const int count = header.size() > 34 + pathLength
                        ? uint8_t(header[33 + pathLength]) | uint8_t(header[34 + pathLength]) << 8
                        : -1;

  const double catRate = megabytes / bestCat;
  const double scanRate = megabytes / bestScan;
  std::printf("file            %.0f MB DV type-2 AVI, %d scenes found\n", megabytes, count);
  std::printf("cat > /dev/null %8.0f MB/s  (%.3f s, best of %d)\n", catRate, bestCat, Runs);
  std::printf("scene scan      %8.0f MB/s  (%.3f s, best of %d)\n", scanRate, bestScan, Runs);
  std::printf("scan / cat      %8.2f       (goal: at least 0.50)\n", scanRate / catRate);
  return 0;
}
