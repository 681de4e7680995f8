// Names of the picture files: a folder, a root, "_", then a running number or the frame's
// timecode, then the format's extension. Pure functions of their inputs: the window gathers the
// inputs (preferences, the number field, the position text), shows the result and paints the
// bottom bar from `fileExists`.
#pragma once

#include <cstdint>
#include <QString>

struct TPrefs;

// The inputs of the root (the window's UpdateRoot).
struct RootInputs {
  bool sourceIsVideoFile = false;  // only a video file source gives its name to the root
  QString sourcePath;              // that file's path
  bool UseVideoName = true;
  bool LimitLength = true;
  int RootLength = 8;
  QString Root;  // the fixed root
};
RootInputs rootInputs(const TPrefs& prefs, bool sourceIsVideoFile, const QString& sourcePath);

// The root in force: the fixed root, or the video file's name up to its first "." (cut to
// RootLength when LimitLength is on). A name without "." gives the empty root.
QString computeRoot(const RootInputs& in);

// The inputs of the next name (the window's UpdateNextName and its two forms).
struct NameInputs {
  QString PicturesFolder;  // ends with "/"
  int NameSuffixKind = 1;  // 1 running number, otherwise timecode
  int ImageExtension = 0;  // 1 ".jpg", otherwise ".bmp"
  QString CurrentRoot;
  QString numberText;    // the options' number field, as it reads
  QString timecodeText;  // the position text shown in the video panel
};
NameInputs nameInputs(const TPrefs& prefs, const QString& currentRoot, const QString& numberText,
                      const QString& timecodeText);

struct NextName {
  QString NextFileName;
  bool numbered = false;   // the numbered form was built: PictureCounter is meaningful
  int PictureCounter = 0;  // the number field's value (0 when it is not a number)
  bool fileExists = false; // a file of that name exists: the bottom bar turns dark red
};

// The bottom bar's background when the next name exists (red 128, green 0, blue 0).
constexpr uint32_t ExistingNameBarRgb = 0x800000;

QString pictureExtension(int imageExtension);
// folder + root + "_" + the number field's text unchanged + extension.
NextName numberedName(const NameInputs& in);
// folder + root + "_" + the position text with ":" turned into "." ("{timecode}" when empty) +
// extension.
NextName timecodeName(const NameInputs& in);
// The form NameSuffixKind asks for.
NextName nextName(const NameInputs& in);

// The digits field's range.
constexpr int MaxDigits = 20;
// The last `digits` characters of (`digits` zeros followed by `text`): pads with zeros on the
// left or cuts characters off the left. `digits` is held to 0..MaxDigits.
QString padNumberText(const QString& text, int digits);
// The number field after a picture was written: counter + 1 on `digits` digits, so that it
// wraps around (9999 is followed by 0000 with 4 digits).
QString numberAfterWrite(int pictureCounter, int digits);

// A click on the name: show the file when it exists, else open its folder when that exists.
struct DestLabTarget {
  enum Kind { Nothing, ShowFile, OpenFolder } kind = Nothing;
  QString path;
};
DestLabTarget destLabTarget(const QString& nextFileName);

// The pictures folder from a path chosen in the save dialog: its folder, ending with "/" (the
// file name typed is not used).
QString folderOfChosenPath(const QString& chosenPath);
