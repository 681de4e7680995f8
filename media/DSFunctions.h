// Ties to the machine the program runs on: the start-up check of the media framework, finding an
// element or a capture device by name, the list of usable capture devices and a drive's label.
// Plain functions: callers above the media layer see no GStreamer type.
#pragma once

#include <functional>
#include <QString>
#include <QStringList>

// The element category the checks look in, and the category of the video capture devices.
inline const QString FilterCategory = QStringLiteral("DirectShow Filters");
inline const QString CaptureCategory = QStringLiteral("Video Capture Sources");

// The media framework's version as "major.minor.micro".
QString DirectXVersion();
// True below the version the program is tested with (1.20).
bool IsOutdatedVersion(const QString& versionText);

// The GStreamer element that stands for a system filter's friendly name, compared without regard
// to the case of the letters A to Z; the empty text for a name that is not one of them.
QString ElementForFilter(const QString& filterName);

// FindFilter(category, name): in FilterCategory, whether the element that stands for the filter
// name (or, failing that, the element factory of that very name) is installed; in
// CaptureCategory, whether a capture device of that display name is present. Category and name
// compare without regard to the case of the letters A to Z. Any other category: false.
bool FindFilter(const QString& category, const QString& filterName);

// Looks a filter up in FilterCategory; replaced by tests to play a missing element.
using FilterLookup = std::function<bool(const QString& filterName)>;
// Shows a message on the error panel: ShowError(message, fatal).
using ErrorReport = std::function<void(const QString& message, bool fatal)>;

// The texts the start-up check would report, for the given version and lookup; empty when none.
struct PlatformReport {
  QString warning;  // an outdated version: ordinary
  QString fatal;    // missing elements: the program cannot build its graphs
};
PlatformReport BuildPlatformReport(const QString& versionText, const FilterLookup& lookup);

// The start-up check: reports an outdated version as an ordinary error, then every missing
// element in one fatal report. The defaults use the real version and lookup.
void CheckPlatform(const ErrorReport& showError);
void CheckPlatform(const ErrorReport& showError, const QString& versionText,
                   const FilterLookup& lookup);

// Fills `devices` with the display names of the usable video capture devices, in the order the
// device monitor gives them (a device is usable when its element can be brought to READY).
// False when the enumeration failed; the list then holds what was found so far.
bool ListCaptureDevices(QStringList& devices);

// The label of the file system mounted at `mountPoint`; on failure `label` is left unchanged.
void VolumeLabel(const QString& mountPoint, QString& label);
