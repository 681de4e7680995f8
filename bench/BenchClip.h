// The clip the seek and step benchmarks share: 60 s of 1920x1080 H.264 with 10 s GOPs, made once
// with ffmpeg into the benchmark media folder and reused.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline bool runQuiet(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.setStandardOutputFile(QProcess::nullDevice());
  p.start(program, args);
  return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Path of the 60 s 1080p clip, generated when missing; empty on failure.
inline QString longGopClip(const QString& folder) {
  QDir().mkpath(folder);
  const QString clip = folder + "/seek_1080p_gop10s.mp4";
  if (QFileInfo::exists(clip)) return clip;
  const QString partial = folder + "/.partial-seek_1080p_gop10s.mp4";
  std::fprintf(stderr, "generating %s (once)...\n", qPrintable(clip));
  const bool ok = runQuiet(
      "ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                 "testsrc2=size=1920x1080:rate=25:duration=60", "-c:v", "libx264", "-preset",
                 "veryfast", "-pix_fmt", "yuv420p", "-g", "250", "-keyint_min", "250", "-bf", "2",
                 "-x264-params", "scenecut=0", "-f", "mp4", partial});
  if (!ok || !QFile::rename(partial, clip)) return {};
  return clip;
}

inline double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

inline double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
  return v[i];
}

}  // namespace bench
