// What the command-list benchmarks share: running programs, generating clips once, timing the
// real Pictorel binary off screen against ffmpeg.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace bench {

// Runs a program to its end; true when it ended normally with status 0.
inline bool run(const QString& program, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.setStandardOutputFile(QProcess::nullDevice());
  p.start(program, args);
  return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline bool ffmpeg(const QStringList& args) {
  return run("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + args);
}

// A test-pattern H.264 clip of `seconds` at `size`, one keyframe every `gop` frames (25 fps),
// made once into `target` (through a temporary name, so a killed run leaves nothing half made).
inline bool makeClip(const QString& target, const QString& size, int seconds, int gop) {
  if (QFileInfo::exists(target)) return true;
  std::printf("generating %s ...\n", qPrintable(target));
  std::fflush(stdout);
  const QString partial = QFileInfo(target).absolutePath() + "/.partial-" + QFileInfo(target).fileName();
  const QString g = QString::number(gop);
  if (!ffmpeg({"-f", "lavfi", "-i",
               QString("testsrc2=size=%1:rate=25:duration=%2").arg(size).arg(seconds),
               "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-g", g,
               "-keyint_min", g, "-sc_threshold", "0", partial}))
    return false;
  return QFile::rename(partial, target);
}

// An empty folder.
inline QString freshFolder(const QString& path) {
  QDir(path).removeRecursively();
  QDir().mkpath(path);
  return path;
}

inline int fileCount(const QString& folder) {
  return int(QDir(folder).entryList(QDir::Files).size());
}

// Seconds the command takes, best of `runs`; `prepare` runs before each, untimed. Negative when
// a run failed.
template <typename Prepare, typename Command>
double bestSeconds(int runs, Prepare prepare, Command command) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    prepare();
    QElapsedTimer t;
    t.start();
    if (!command()) return -1;
    best = std::min(best, t.nsecsElapsed() / 1e9);
  }
  return best;
}

// The environment of an off-screen Pictorel whose preferences live in `configFolder`.
inline QProcessEnvironment offscreen(const QString& configFolder) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_CONFIG_HOME", configFolder);
  return env;
}

// Writes a command list; true when written.
inline bool writeList(const QString& file, const QString& text) {
  QFile out(file);
  return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text.toUtf8()) >= 0;
}

}  // namespace bench
