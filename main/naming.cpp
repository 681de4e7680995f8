#include "main/naming.h"

#include <algorithm>
#include <QFileInfo>

#include "settings/PSFunctions.h"
#include "settings/Preferences.h"

RootInputs rootInputs(const TPrefs& prefs, bool sourceIsVideoFile, const QString& sourcePath) {
  RootInputs in;
  in.sourceIsVideoFile = sourceIsVideoFile;
  in.sourcePath = sourcePath;
  in.UseVideoName = prefs.UseVideoName;
  in.LimitLength = prefs.LimitLength;
  in.RootLength = prefs.RootLength;
  in.Root = prefs.Root;
  return in;
}

QString computeRoot(const RootInputs& in) {
  if (!in.sourceIsVideoFile || !in.UseVideoName) return in.Root;
  const QString name = in.sourcePath.mid(in.sourcePath.lastIndexOf(u'/') + 1);
  qsizetype n = name.indexOf(u'.');  // -1 without a dot: the empty root
  if (in.LimitLength && n > in.RootLength) n = in.RootLength;
  return n > 0 ? name.left(n) : QString();
}

NameInputs nameInputs(const TPrefs& prefs, const QString& currentRoot, const QString& numberText,
                      const QString& timecodeText) {
  NameInputs in;
  in.PicturesFolder = prefs.PicturesFolder;
  in.NameSuffixKind = prefs.NameSuffixKind;
  in.ImageExtension = prefs.ImageExtension;
  in.CurrentRoot = currentRoot;
  in.numberText = numberText;
  in.timecodeText = timecodeText;
  return in;
}

QString pictureExtension(int imageExtension) {
  return imageExtension == 1 ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
}

namespace {

NextName named(QString fileName) {
  NextName next;
  next.NextFileName = std::move(fileName);
  next.fileExists = QFileInfo::exists(next.NextFileName);
  return next;
}

}  // namespace

NextName numberedName(const NameInputs& in) {
  NextName next = named(in.PicturesFolder + in.CurrentRoot + u'_' + in.numberText +
                        pictureExtension(in.ImageExtension));
  next.numbered = true;
  next.PictureCounter = StrToIntSafe(in.numberText);
  return next;
}

NextName timecodeName(const NameInputs& in) {
  QString tc = in.timecodeText;
  tc.replace(u':', u'.');
  if (tc.isEmpty()) tc = QStringLiteral("{timecode}");
  return named(in.PicturesFolder + in.CurrentRoot + u'_' + tc +
               pictureExtension(in.ImageExtension));
}

NextName nextName(const NameInputs& in) {
  return in.NameSuffixKind == 1 ? numberedName(in) : timecodeName(in);
}

QString padNumberText(const QString& text, int digits) {
  digits = std::clamp(digits, 0, MaxDigits);
  const QString padded = QString(digits, u'0') + text;
  return padded.right(digits);
}

QString numberAfterWrite(int pictureCounter, int digits) {
  // Counted in 64 bits: the largest number plus one must not overflow.
  return padNumberText(QString::number(static_cast<long long>(pictureCounter) + 1), digits);
}

DestLabTarget destLabTarget(const QString& nextFileName) {
  DestLabTarget target;
  if (nextFileName.isEmpty()) return target;
  if (QFileInfo(nextFileName).isFile()) {
    target.kind = DestLabTarget::ShowFile;
    target.path = nextFileName;
    return target;
  }
  const qsizetype slash = nextFileName.lastIndexOf(u'/');
  if (slash < 0) return target;
  const QString folder = nextFileName.left(slash + 1);
  if (QFileInfo(folder).isDir()) {
    target.kind = DestLabTarget::OpenFolder;
    target.path = folder;
  }
  return target;
}

QString folderOfChosenPath(const QString& chosenPath) {
  if (chosenPath.isEmpty()) return {};
  return withTrailingSlash(QFileInfo(chosenPath).absolutePath());
}
