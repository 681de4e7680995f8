#include "media/GstRuntime.h"

#include <gst/gst.h>

#include <mutex>

#include "media/px_superposer.h"

void EnsureGstInitialised() {
  static std::once_flag once;
  std::call_once(once, [] {
    gst_init(nullptr, nullptr);
    RegisterSuperposerElement();
  });
}

QString GstVersionText() {
  EnsureGstInitialised();
  guint major = 0, minor = 0, micro = 0, nano = 0;
  gst_version(&major, &minor, &micro, &nano);
  return QString::asprintf("%u.%u.%u", major, minor, micro);
}

bool GstVersionAtLeast(unsigned major, unsigned minor) {
  EnsureGstInitialised();
  guint ma = 0, mi = 0, micro = 0, nano = 0;
  gst_version(&ma, &mi, &micro, &nano);
  return ma > major || (ma == major && mi >= minor);
}
