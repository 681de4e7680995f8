// Program entry: the main window first (its creation must not need the media modules), then the
// scene module, then the graph module, then the message loop.
#include <QApplication>

#include "main/QtDialogs.h"
#include "main/QtShell.h"
#include "main/main.h"
#include "media/graph.h"
#include "media/scenes.h"

int main(int argc, char** argv) {
  // --help and --version answer before anything needs a display.
  if (TGrabForm::PrintInformationOption(argc, argv)) return 0;
  QApplication app(argc, argv);
  TGrabForm form;
  QtDialogs dialogs(&form);
  QtShell shell;
  form.SetServices(&dialogs, &shell);
  Tsm sm(dialogs);
  form.SetSceneModule(&sm);
  Tdm dm;
  form.SetGraphModule(&dm);
  form.CloseOnTerminationSignals();  // kill and Ctrl+C close the window as Quit would
  form.show();
  const int exitCode = app.exec();
  // A loop ended otherwise than by closing the window still takes the close path, so the source
  // is gone before the graph module it plays through.
  form.close();
  return exitCode;
}
