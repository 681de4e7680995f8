#include "media/DSFunctions.h"

#include <gst/gst.h>

#include <array>
#include <memory>
#include <QStorageInfo>

#include "media/GstRef.h"
#include "media/GstRuntime.h"
#include "resources/restext.h"

namespace {

struct FilterRow {
  const char* filterName;
  const char* element;
  const QString* missingText;
};

// The system filters every graph of the program is built with, in the order they are checked.
const std::array<FilterRow, 7> RequiredFilters = {{
    {"Color Space Converter", "videoconvert", &restext::MissingColorConverter},
    {"SampleGrabber", "appsink", &restext::MissingSampleGrabber},
    {"Null Renderer", "fakesink", &restext::MissingNullRenderer},
    {"Avi Splitter", "avidemux", &restext::MissingAviSplitter},
    {"DV Splitter", "dvdemux", &restext::MissingDvSplitter},
    {"Smart Tee", "tee", &restext::MissingSmartTee},
    {"File Source (Async.)", "filesrc", &restext::MissingFileSource},
}};

// Names compare like the system's friendly names: the letters A to Z without regard to case,
// every other character exactly.
QString foldAsciiCase(const QString& text) {
  QString folded = text;
  for (QChar& c : folded)
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
  return folded;
}

bool sameName(const QString& a, const QString& b) { return foldAsciiCase(a) == foldAsciiCase(b); }

bool elementInstalled(const QString& element) {
  if (element.isEmpty()) return false;
  EnsureGstInitialised();
  auto factory = GstRef<GstElementFactory>::adopt(gst_element_factory_find(element.toUtf8().constData()));
  return bool(factory);
}

// The device monitor and the devices it lists, each released once.
struct MonitorDeleter {
  void operator()(GstDeviceMonitor* monitor) const {
    gst_device_monitor_stop(monitor);
    gst_object_unref(monitor);
  }
};
using MonitorPtr = std::unique_ptr<GstDeviceMonitor, MonitorDeleter>;

struct DeviceListDeleter {
  void operator()(GList* devices) const { g_list_free_full(devices, gst_object_unref); }
};
using DeviceListPtr = std::unique_ptr<GList, DeviceListDeleter>;

struct ElementStateGuard {
  GstRef<GstElement> element;
  ~ElementStateGuard() {
    if (element) gst_element_set_state(element.get(), GST_STATE_NULL);
  }
};

DeviceListPtr videoSourceDevices() {
  EnsureGstInitialised();
  MonitorPtr monitor(gst_device_monitor_new());
  if (!monitor) return DeviceListPtr();
  // Without it PipeWire hides the V4L2 devices it does not itself offer.
  gst_device_monitor_set_show_all_devices(monitor.get(), TRUE);
  gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
  return DeviceListPtr(gst_device_monitor_get_devices(monitor.get()));
}

QString displayName(GstDevice* device) {
  GCharPtr name(gst_device_get_display_name(device));
  return QString::fromUtf8(name.get());
}

bool isUsableDevice(GstDevice* device) {
  ElementStateGuard guard;
  GstElement* element = gst_device_create_element(device, nullptr);
  if (!element) return false;
  guard.element = GstRef<GstElement>::adopt(GST_ELEMENT(gst_object_ref_sink(element)));
  return gst_element_set_state(element, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
}

}  // namespace

QString DirectXVersion() { return GstVersionText(); }

bool IsOutdatedVersion(const QString& versionText) {
  const QStringList parts = versionText.split(QLatin1Char('.'));
  bool majorOk = false, minorOk = false;
  const int major = parts.value(0).toInt(&majorOk);
  const int minor = parts.value(1).toInt(&minorOk);
  if (!majorOk) return true;  // a version that cannot be read is no better than an old one
  return major < 1 || (major == 1 && (!minorOk || minor < 20));
}

QString ElementForFilter(const QString& filterName) {
  for (const FilterRow& row : RequiredFilters)
    if (sameName(filterName, QString::fromLatin1(row.filterName)))
      return QString::fromLatin1(row.element);
  return QString();
}

bool FindFilter(const QString& category, const QString& filterName) {
  if (sameName(category, FilterCategory)) {
    const QString element = ElementForFilter(filterName);
    return elementInstalled(element.isEmpty() ? filterName : element);
  }
  if (sameName(category, CaptureCategory)) {
    const DeviceListPtr devices = videoSourceDevices();
    for (GList* each = devices.get(); each; each = each->next)
      if (sameName(displayName(GST_DEVICE(each->data)), filterName)) return true;
  }
  return false;
}

PlatformReport BuildPlatformReport(const QString& versionText, const FilterLookup& lookup) {
  PlatformReport report;
  if (IsOutdatedVersion(versionText))
    report.warning = restext::FillPercentS(restext::OldGstVersion, {versionText});

  QString message;
  bool first = true;
  for (const FilterRow& row : RequiredFilters) {
    // Every text but the first row's starts on a new line, even when nothing precedes it.
    if (!lookup(QString::fromLatin1(row.filterName))) {
      if (!first) message += QStringLiteral("\r\n");
      message += *row.missingText +
                 restext::FillPercentS(restext::MissingElement, {QString::fromLatin1(row.element)});
    }
    first = false;
  }
  if (!message.isEmpty())
    report.fatal = message + QStringLiteral("\r\n\r\n") + restext::YouHaveGstVersion + versionText;
  return report;
}

void CheckPlatform(const ErrorReport& showError, const QString& versionText,
                   const FilterLookup& lookup) {
  const PlatformReport report = BuildPlatformReport(versionText, lookup);
  if (!report.warning.isEmpty()) showError(report.warning, false);
  if (!report.fatal.isEmpty()) showError(report.fatal, true);
}

void CheckPlatform(const ErrorReport& showError) {
  CheckPlatform(showError, DirectXVersion(),
                [](const QString& name) { return FindFilter(FilterCategory, name); });
}

bool ListCaptureDevices(QStringList& devices) {
  devices.clear();
  try {
    const DeviceListPtr list = videoSourceDevices();
    for (GList* each = list.get(); each; each = each->next) {
      GstDevice* device = GST_DEVICE(each->data);
      if (isUsableDevice(device)) devices << displayName(device);
    }
    return true;
  } catch (...) {
    return false;
  }
}

void VolumeLabel(const QString& mountPoint, QString& label) {
  const QStorageInfo volume(mountPoint);
  if (!volume.isValid() || !volume.isReady()) return;
  label = volume.name();
}
