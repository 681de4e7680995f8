// Every text the user sees, in one table. Texts with %s take the product name or a value.
// Line breaks are kept as CR LF, as they are stored; ForDisplay turns them into what the toolkit
// shows.
#pragma once

#include <QString>
#include <QStringList>

namespace restext {

inline const QString ProductName = QStringLiteral("Pictorel");
inline const QString AuthorName = QStringLiteral("Velmoran");
inline const QString ClickToLoad = QStringLiteral("Click on a button to load a video");

// --- Main window
inline const QString By = QStringLiteral("by");
inline const QString VersionFormat = QStringLiteral("%d.%d.%d");

inline const QString SnapLabHint = QStringLiteral("Timestamp of the picture below.");
inline const QString ScnLabCaption = QStringLiteral("scn");
inline const QString ScnLabHint = QStringLiteral(
    "Indicates that a scn file is associated with the current video.\r\n"
    "You may then browse from scene to scene with F8 and F9");
inline const QString SrtLabCaption = QStringLiteral("srt");
inline const QString SrtLabHint = QStringLiteral(
    "Indicates that a srt subtitle file is associated with the current video\r\n"
    "Click to show it in the file manager.");
inline const QString VideoWindowHint = QStringLiteral(
    "Current video.\r\nClick to extract the current frame to the picture.");
inline const QString CurrentEditHint = QStringLiteral(
    "Current Timecode.\r\nCan be modified to go to a given timecode.");
inline const QString GaugeVolumeHint = QStringLiteral(
    "Volume of sound.\r\n"
    "Type + or - at the numeric keyboard to modify it,\r\n"
    "or type ALT+P and ALT+M. ");
inline const QString DeinterlaceImageCaption = QStringLiteral("Deinterlace");
inline const QString DeinterlaceImageHint =
    QStringLiteral("Activate or desactivate the deinterlacing of pictures.");
inline const QString MuteVideoCaption = QStringLiteral("Mute the sound");
inline const QString MuteVideoHint = QStringLiteral("Sound on or off.");
inline const QString EnCoursLabHint = QStringLiteral(
    "Current video loaded in Pictorel\r\nClick to open the parent folder.");
inline const QString DureeLabHint = QStringLiteral("Duration of the current video");
inline const QString DestLabHint = QStringLiteral(
    "Name of the next picture to be saved.\r\n"
    "If the background is red, a file with the same name exists already and will be deleted.\r\n"
    "Click to open the parent folder.");
inline const QString IntervalloLabHint = QStringLiteral("State of the intervalometer.");

// The intervalometer's unit list, in the order of its unit numbers, and the item shown at first.
inline const QStringList IntervalloUnits = {QStringLiteral("seconds"), QStringLiteral("frames"),
                                            QStringLiteral("minutes")};
inline const QString IntervalloUnitShown = QStringLiteral("frames");

// Open-video dialog.
inline const QString OpenVideoDefaultExt = QStringLiteral("*.*");
inline const QString OpenVideoFilter = QStringLiteral(
    "Video files (*.avi *.mpg *.mpeg *.wmv *.asf *.mp4 *.m4v *.mkv *.mov *.dv *.vob *.ts *.mts "
    "*.webm);;All files (*)");
// Save-picture dialog.
inline const QString SaveDefaultExt = QStringLiteral("*.bmp");
inline const QString SaveFileName = QStringLiteral("grab");
inline const QString SaveFilter = QStringLiteral("Bitmap Images (*.bmp);;Jpeg Images (*.jpg)");
inline const QString SaveTitle = QStringLiteral("Save the picture");

// Fonts asked for by name; the toolkit substitutes the nearest installed one.
inline const QString FontArial = QStringLiteral("Arial");
inline const QString FontSansSerif = QStringLiteral("MS Sans Serif");
inline const QString FontTimes = QStringLiteral("Times New Roman");

// --- Preferences: stores, deletion, the quit question
inline const QStringList PrefsStoreItems = {QStringLiteral("In the user configuration folder"),
                                            QStringLiteral("ini file in the system configuration folder"),
                                            QStringLiteral("ini file in the Pictorel folder")};
inline const QString DeletePrefsQuestion = QStringLiteral(
    "Do you really want to delete all the preferences of %s\r\nfrom your system?");
inline const QString PrefsErased = QStringLiteral("%s has been completely erased from your system.");
inline const QString PrefsNotFound =
    QStringLiteral("The preferences of %s were not found on your system.");
inline const QString QuitPromptText = QStringLiteral(
    "Do you want to save the preferences of %s to find them again at next start?\r\n\r\n"
    "If you answer \"All\", then %s will save them automatically when quitting.");

// --- Scene files
inline const QString ReplaceSceneFile = QStringLiteral("Do you want to replace the existing file %s?");

// The stored CR LF line breaks as the toolkit shows them.
inline QString ForDisplay(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace restext
