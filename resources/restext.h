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

// --- Pictures: grab and save, names, the options panel, dialog buttons
inline const QString AspectNative = QStringLiteral("native");
inline const QString Aspect4x3 = QStringLiteral("4x3");
inline const QString Aspect16x9 = QStringLiteral("16x9");
inline const QString PictureNotYetSaved = QStringLiteral("This picture has not yet been saved");
inline const QString PictureAlreadySaved = QStringLiteral("This picture has already been saved");
inline const QString OverwriteQuestion = QStringLiteral(
    "The file %s exists already .Do you want to overwrite it?\r\n\r\n"
    "Click on \"Yes to All\" if you do no more want to be prompted for confirmation.");

inline const QString ButtonYes = QStringLiteral("Yes");
inline const QString ButtonNo = QStringLiteral("No");
inline const QString ButtonCancel = QStringLiteral("Cancel");
inline const QString ButtonYesToAll = QStringLiteral("Yes to All");
inline const QString ButtonAll = QStringLiteral("All");
inline const QString ButtonOk = QStringLiteral("OK");

// Options panel: tabs in their order, then the controls tab by tab.
inline const QStringList OptionsTabs = {QStringLiteral("Shortcuts"), QStringLiteral("Preferences"),
                                        QStringLiteral("Advanced"), QStringLiteral("Pictures")};
inline const QString SortShortcutCaption = QStringLiteral("Sort by keyboard shortcuts");
inline const QString SortShortcutHint =
    QStringLiteral("Toggle between the keys and command names to sort alphabetically");
inline const QString PrefsQuittantCaption = QStringLiteral("Save the preferences when quit");
inline const QString PrefsQuittantHint = QStringLiteral(
    "If checked, then the preferences will be saved each time when Pictorel is closed.");
inline const QString SauverNowCaption = QStringLiteral("Save the preferences now");
inline const QString SauverNowHint = QStringLiteral("Save the preferences of %s");
inline const QString EffacerPrefsCaption = QStringLiteral("Delete the preferences");
inline const QString EffacerPrefsHint = QStringLiteral(
    "Delete the preferences.\r\nAt next start, the application will load with default parameters.");
inline const QString PrefsStoreCaption = QStringLiteral("Where to save the preferences");
inline const QString PrefsStoreHint = QStringLiteral(
    "Indicate where the Preferences will be saved in order to retrieve them at next start.");
inline const QString ImagetteGaucheCaption = QStringLiteral("Picture at left");
inline const QString AdvancedNote = QStringLiteral(
    "Do not change these settings without having a special reason to do so. Generally speaking, "
    "the default settings should work fine for most users.");
inline const QString ConfirmCaption = QStringLiteral("Confirm before deleting.");
inline const QString ConfirmHint = QStringLiteral(
    "If checked, then an existing picture file will not be deleted\r\n"
    "without asking you for a confirmation.");
inline const QString UtiliserNomVideoCaption = QStringLiteral("Use the names of video files");
inline const QString UtiliserNomVideoHint = QStringLiteral(
    "If checked, then the name of a picture file grabbed from a video file\r\n"
    "will be built from its name (eventually truncated \r\n"
    "to respect the maximum length).");
inline const QString LimiterLongueurCaption = QStringLiteral("Set a maximum for the root name");
inline const QString LimiterLongueurHint = QStringLiteral(
    "If checked, then the root name of the picture will be truncated at the indicated maximum,\r\n"
    "but only when the name is built from the video name.");
inline const QString MaxLengthCaption = QStringLiteral("Maximum length:");
inline const QString DossierSaveCaption = QStringLiteral("Folder where to save the pictures");
inline const QString DossierSaveHint = QStringLiteral(
    "Folder where the pictures are saved. \r\n"
    "Can be changed here, or with a button on the toolbar.");
inline const QString DossierSaveBrowseText =
    QStringLiteral("Choose the folder where the pictures will be saved:");
inline const QString SecretCaption = QStringLiteral("Secret");
inline const QString SecretHint = QStringLiteral(
    "Hides completely Pictorel, so that you can only stop it by ending its process.\r\n"
    "It continues nevertheless to run, for example with the intervalometer connected to a video "
    "stream.");
inline const QString ImageExtensionCaption = QStringLiteral("Pictures");
inline const QString ImageExtensionHint = QStringLiteral("Set the format of the saved pictures");
inline const QStringList ImageExtensionItems = {QStringLiteral("bmp"), QStringLiteral("jpeg")};
inline const QString JpegQualityCaption = QStringLiteral("Jpeg quality");
inline const QString JpegQualityHint = QStringLiteral(
    "Set the quality of jpeg images\r\nfrom 1 (the worst) to 100 (the best).");
inline const QString TrackBarHint = QStringLiteral(
    "Quality of jpeg compression: from 1 (the worst) to 100 (the best).");
inline const QString JpegQualityShown = QStringLiteral("50");
inline const QString ImageRatioCaption = QStringLiteral("Aspect");
inline const QString ImageRatioHint = QStringLiteral(
    "Set the format of image:\r\n"
    "either the native format of the video\r\n"
    "either force 4x3\r\n"
    "either force 16x9");
inline const QStringList ImageRatioItems = {QStringLiteral("normal"), QStringLiteral("force 4x3"),
                                            QStringLiteral("force 16x9")};
inline const QString ImageNameCaption = QStringLiteral("Name of the saved pictures");
inline const QString RootCaption = QStringLiteral("Root:");
inline const QString RootHint = QStringLiteral(
    "Default root to be used for building the name of the saved picture\r\n"
    "when the name of the video is not used.");
inline const QString NumeroCaption = QStringLiteral("Number from");
inline const QString NumeroHint = QStringLiteral(
    "Add a number to the root to build the name of the saved picture.\r\n"
    "The number is automatically incremented at each new picture saved.");
inline const QString NumberShown = QStringLiteral("0000");
inline const QString DigitsCaption = QStringLiteral("Number of digits:");
inline const QString TimecodeCaption = QStringLiteral("Add timecode");
inline const QString TimecodeHint = QStringLiteral(
    "Add the timecode of the frame to the root\r\nto build the name of the saved picture");
inline const QString DatecodeCaption = QStringLiteral("Add datecode");
inline const QString CloseOptionsCaption = QStringLiteral("Click here to close this panel(F6)");

// --- Commands, loading, navigation, error panel, start-up checks
// Command captions and hints, in the command table's order (an empty hint: none).
inline const QString CmdSettings = QStringLiteral("Settings");
inline const QString CmdAbout = QStringLiteral("About");
inline const QString CmdBmp = QStringLiteral("bmp format");
inline const QString CmdJpeg = QStringLiteral("Jpeg format");
inline const QString CmdSecret = QStringLiteral("Secret");
inline const QString CmdSnap = QStringLiteral("Snap the picture");
inline const QString CmdSnapHint = QStringLiteral(
    "Snap the current video frame to the picture, without saving it yet on the system.");
inline const QString CmdGrab = QStringLiteral("Grab the picture");
inline const QString CmdGrabHint = QStringLiteral(
    "Grab the current video frame to the picture and save it on your system");
inline const QString CmdFullscreen = QStringLiteral("Fullscreen");
inline const QString CmdQuitFullscreen = QStringLiteral("Quit fullscreen");
inline const QString CmdFullscreenHint = QStringLiteral("Fullscreen");
inline const QString CmdAddNumber = QStringLiteral("Add a Number");
inline const QString CmdAddTimecode = QStringLiteral("Add Timecode");
inline const QString CmdSave = QStringLiteral("Save the picture");
inline const QString CmdSaveHint = QStringLiteral("Save the picture to the system");
inline const QString CmdRatioNormal = QStringLiteral("Image ratio normal");
inline const QString CmdRatio4x3 = QStringLiteral("Image Ratio 4x3");
inline const QString CmdRatio16x9 = QStringLiteral("Image ratio 16x9");
inline const QString CmdCancel = QStringLiteral("Cancel");
inline const QString CmdMute = QStringLiteral("Mute the sound");
inline const QString CmdDeinterlace = QStringLiteral("Deinterlace");
inline const QString CmdHome = QStringLiteral("backwards to Home");
inline const QString CmdEnd = QStringLiteral("advance to End");
inline const QString CmdBackFrame = QStringLiteral("backwards of one frame");
inline const QString CmdForwardFrame = QStringLiteral("advance of one frame");
inline const QString CmdBackSecond = QStringLiteral("backwards of a second");
inline const QString CmdForwardSecond = QStringLiteral("advance of a second");
inline const QString CmdBackMinute = QStringLiteral("backwards of a minute");
inline const QString CmdForwardMinute = QStringLiteral("advance of a minute");
inline const QString CmdPreviousScene = QStringLiteral("Previous scene");
inline const QString CmdNextScene = QStringLiteral("Next scene");
inline const QString CmdPlay = QStringLiteral("Play");
inline const QString CmdPause = QStringLiteral("Pause");
inline const QString CmdIntervalloGo = QStringLiteral("Start the intervalometer");
inline const QString CmdBeep = QStringLiteral("Beep");
inline const QString CmdPauseVcr = QStringLiteral("Pause VCR");
inline const QString CmdPlayVcr = QStringLiteral("Play VCR");
inline const QString CmdStopVcr = QStringLiteral("Stop VCR");
inline const QString CmdPicturesFolder = QStringLiteral("Pictures folder");
inline const QString CmdImagePanel = QStringLiteral("Image panel");
inline const QString CmdIncVolume = QStringLiteral("Increase Volume");
inline const QString CmdDecVolume = QStringLiteral("Decrease Volume");
inline const QString CmdIntervalloShow = QStringLiteral("Display the intervalometer");
inline const QString CmdPaste = QStringLiteral("Paste");
inline const QString CmdPasteHint = QStringLiteral("Paste a video file from the clipboard");
inline const QString CmdEmpty = QStringLiteral("Empty");
inline const QString CmdEmptyHint = QStringLiteral("Empty Pictorel");
inline const QString CmdOpenFile = QStringLiteral("Open a video file");
inline const QString CmdOpenFileHint = QStringLiteral("Open a video file");
inline const QString CmdOpenDisc = QStringLiteral("Open a VCD or SVCD");
inline const QString CmdQuit = QStringLiteral("Quit");
inline const QString CmdQuitHint = QStringLiteral("Quit Pictorel");
inline const QString CmdCopy = QStringLiteral("Copy");
inline const QString CmdCopyHint = QStringLiteral("Copy the picture to the clipboard");
inline const QString CmdOpenList = QStringLiteral("Open a command list");
inline const QString CmdPictureLeft = QStringLiteral("Picture to left");
inline const QString CmdVertFlip = QStringLiteral("Vertical Flip");
inline const QString CmdVertFlipHint = QStringLiteral("Flip the video top <=> down");
inline const QString VideoCategory = QStringLiteral("Video");
// Secondary shortcuts, as set at start-up.
inline const QString GrabSecondKey = QStringLiteral("CTRL+G");
inline const QString IncVolumeSecondKey = QStringLiteral("ALT+P");
inline const QString DecVolumeSecondKey = QStringLiteral("ALT+M");

// Toolbar buttons that carry a hint of their own.
inline const QString OpenDiscBtnHint = QStringLiteral("Open a SVCD or VCD file");
inline const QString ListeBtnHint =
    QStringLiteral("Open a command file (text file with command-line style text)");
inline const QString CaptureBtnHint = QStringLiteral("Open a video stream");
inline const QString SettingsBtnHint = QStringLiteral("Settings of the video stream");
inline const QString ScnBtnHint = QStringLiteral("Create a scn file");
inline const QString ChronoBtnHint = QStringLiteral("Display the intervalometer");
inline const QString ChangerSaveBtnHint =
    QStringLiteral("Set the folder where the pictures will be saved");
inline const QString ImagetteBtnHint =
    QStringLiteral("Display the picture panel (and close the Settings and About panels)");
inline const QString OptionsBtnHint = QStringLiteral("Display the Settings");
inline const QString AproposBtnHint = QStringLiteral("Display the About panel");

// Shortcut list of the options panel.
inline const QString ShortcutFunctions = QStringLiteral("Functions");
inline const QString ShortcutKeys = QStringLiteral("Keys");

// Navigation bars.
inline const QString NavPreviousScene = QStringLiteral("Previous scene.");
inline const QString NavNextScene = QStringLiteral("Next scene.");
inline const QString NavPreviousTrack = QStringLiteral("Previous track.");
inline const QString NavNextTrack = QStringLiteral("Next track.");
inline const QString NavBackMinute = QStringLiteral("backwards of a minute.");
inline const QString NavBackSecond = QStringLiteral("backwards of a second.");
inline const QString NavBackFrame = QStringLiteral("backwards of a frame.");
inline const QString NavForwardFrame = QStringLiteral("advance of a frame.");
inline const QString NavForwardSecond = QStringLiteral("advance of a second.");
inline const QString NavForwardMinute = QStringLiteral("advance of a minute.");
inline const QString NavPlayHint = QStringLiteral("Play the video.");
inline const QString NavFastRewind = QStringLiteral("fast rewind.");
inline const QString NavSlowRewind = QStringLiteral("slow rewind.");
inline const QString NavSlowForward = QStringLiteral("slow forward.");
inline const QString NavFastForward = QStringLiteral("fast forward.");
inline const QString NavTapePlayHint = QStringLiteral("Put the camcorder in Play mode.");
inline const QString NavTapePauseHint = QStringLiteral("Put the camcorder in Pause mode.");
inline const QString NavTapeStopHint = QStringLiteral("Stop the camcorder.");
inline const QString NavStop = QStringLiteral("Stop");

// Loading.
inline const QString PrefixFile = QStringLiteral("the file ");
inline const QString PrefixDisc = QStringLiteral("the disk ");
inline const QString PrefixCapture = QStringLiteral("the capture source ");
inline const QString LoadErrorUnknown = QStringLiteral("An unknown error occured.");
inline const QString LoadErrorCannotOpen = QStringLiteral(
    "The filters (or codecs) available on your computer can read %s but cannot open it in %s.");
inline const QString LoadErrorNotFound = QStringLiteral(
    "The filters (or codecs) needed to render %s have not been found on your computer. You should "
    "look for them on the Internet.");
inline const QString OnlyOneFile = QStringLiteral("Only one file is activated.");
inline const QString ImageClickHint = QStringLiteral("Click to return the video file to this position");

// Error panel.
inline const QString ErrorTitle = QStringLiteral("Error of Pictorel");
inline const QString ErrorHomepage = QStringLiteral("Homepage");
inline const QString HomepageUrl = QStringLiteral("https://pictorel.example.org/");
inline const QString ErrorOkCaption = QStringLiteral("OK");
inline const QString ErrorOkHint =
    QStringLiteral("Accept the \"Read/Write\" mode\r\nin order to modify the registry.");
inline const QString ErrorHead = QStringLiteral("An error occured with %s ");
inline const QString ErrorFatalWord = QStringLiteral("fatale");
inline const QString ErrorOnSystem = QStringLiteral(" on your system.\r\n\r\n");
inline const QString ErrorTail = QStringLiteral(
    "\r\n\r\nIf you want help about %s, tips and informations, updates, then visit my webpage.\r\n\r\n"
    "You may also send me an e-mail, but don't forget to tell me which software you used, what is "
    "your operating system, the video file and his codec... and be aware that I have no time to "
    "answer all the e-mails that I receive.");

// Start-up checks of the media framework.
inline const QString OldGstVersion =
    QStringLiteral("You have GStreamer version %s. You should update your version.");
inline const QString MissingColorConverter =
    QStringLiteral("The filter Color Space Converter is not installed on your system.");
inline const QString MissingSampleGrabber =
    QStringLiteral("The SampleGrabber is not installed on your system.");
inline const QString MissingNullRenderer =
    QStringLiteral("The Null Renderer  filter is not available on your system.");
inline const QString MissingAviSplitter =
    QStringLiteral("The avi splitter filter is not available on your system");
inline const QString MissingDvSplitter =
    QStringLiteral("The DV Splitter filter is not available on your system");
inline const QString MissingSmartTee =
    QStringLiteral("The Smarte Tee filter is not available on your system");
inline const QString MissingFileSource =
    QStringLiteral("The File Source (Async.) filter is not available on your system");
inline const QString MissingElement = QStringLiteral(" (element %s)");
inline const QString YouHaveGstVersion = QStringLiteral("You have GStreamer version");

// --- Automation: intervalometer, command lists, About panel, hidden mode, program options
inline const QString IntervalloCaption = QStringLiteral("Intervalometer");
inline const QString IntervalloHint = QStringLiteral("Set the values of intervalometer");
inline const QString IntervalloValueHint =
    QStringLiteral("Delay between two snapshots by the intervalometer");
inline const QString IntervalloUnitHint = QStringLiteral("Unit to calculate the interval");
inline const QString IntervalloSwitchHint = QStringLiteral("Toggle the intervalometer.");
inline const QString BeepCaption = QStringLiteral("Beep");
inline const QString BeepHint =
    QStringLiteral("Beep when grabbing pictures\r\nwith the intervalometer.");
inline const QString ChronoLabInitial = QStringLiteral("10");
inline const QString ChronoLabHint = QStringLiteral("Number of pictures to grab");
inline const QString IntervalloState = QStringLiteral("1 image every %d %s");
// The sounds of the program's resources.
inline const QString SoundWarning = QStringLiteral("BEEP0");
inline const QString SoundPicture = QStringLiteral("BEEP1");

inline const QString OpenListTitle = QStringLiteral("Open a command list");
inline const QString OpenListFilter = QStringLiteral("All files (*)");

inline const QString SecretQuestion = QStringLiteral(
    "Do you really want to hide completely %s?\r\n"
    "If you do, only ending its process (kill, system monitor) can close the program.");

inline const QString AboutLanguage = QStringLiteral("En");
inline const QString AboutMailSubject = QStringLiteral("About %s %s");
inline const QString AboutHomepage = QStringLiteral("Homepage");
inline const QString AboutMail = QStringLiteral("E-mail");
inline const QString AboutMailAddress = QStringLiteral("velmoran@pictorel.example.org");
inline const QString AboutPictureHint = QStringLiteral("Pictures out of video, since 2003");
inline const QString AboutClose = QStringLiteral("Click here or type F6 \r\nto close this panel");
inline const QString AboutCredits = QStringLiteral("Qt 6, GStreamer and libjpeg-turbo");
// Filled in turn with the maker's name, the credit line and the date of the last update.
inline const QString AboutText = QStringLiteral(
    "This program was written by %s, in C++ with %s.\r\n\r\n"
    "Last update: %s.\r\n\r\n"
    "It is delivered as it is, without any warranty: you use it at your own risk. You may use "
    "it and give it away freely, but not sell it.\r\n\r\n"
    "Information and updates are on my web site.\r\n\r\n"
    "I read your e-mails with interest, but I cannot answer them all.");

// `pictorel --help`: %s the program's name.
inline const QString UsageText = QStringLiteral(
    "Usage: %s [VIDEO FILE] [COMMAND...]\n"
    "Takes still pictures out of video.\n"
    "\n"
    "A video file named alone is loaded. Commands start with +, - or /, then one letter,\n"
    "then =value where the command takes one; they run in order once the window is open:\n"
    "  /F=pattern   load the first file matching the pattern (* and ? allowed)\n"
    "  /+           load the next file of that pattern and run the commands after /F again\n"
    "  /P=h:mm:ss:ff  go to a timecode          /G   grab and save the picture\n"
    "  /I=nUnit     run the intervalometer every n Seconds, Frames or Minutes (/I=5Seconds)\n"
    "  /B  /J=q     save as BMP, or JPEG of quality q (1..100)\n"
    "  /X=N|4x3|16x9  picture aspect             /S=folder  pictures folder\n"
    "  /N=number  /T  names with a running number or the timecode; /R=root  name root\n"
    "  +C -C /C  confirm overwriting: on, off, toggle (also U video names, D deinterlace,\n"
    "            V vertical flip, Z save the preferences when quitting)\n"
    "  /W=ms  wait    /L=file  read commands from a file    /Q  quit at the end\n"
    "\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n");
inline const QString VersionLine = QStringLiteral("%s %s\n");

// Fills each "%s" of `format` in turn with the next value; the values are inserted as they are
// (a "%" in a file name stays a "%"), and a "%s" without a value is left as written.
inline QString FillPercentS(const QString& format, const QStringList& values) {
  QString out;
  qsizetype from = 0;
  for (const QString& value : values) {
    const qsizetype at = format.indexOf(QStringLiteral("%s"), from);
    if (at < 0) break;
    out += format.mid(from, at - from) + value;
    from = at + 2;
  }
  return out + format.mid(from);
}

// The stored CR LF line breaks as the toolkit shows them.
inline QString ForDisplay(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace restext
