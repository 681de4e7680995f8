// Program entry: the main window first (its creation must not need the media modules), then the
// scene module, then the graph module, then the message loop.
#include <QApplication>

#include "main/main.h"
#include "media/graph.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TGrabForm form;
  // The scene module (Tsm) is created here.
  Tdm dm;
  form.SetGraphModule(&dm);
  form.show();
  const int exitCode = app.exec();
  // A loop ended otherwise than by closing the window still takes the close path, so the source
  // is gone before the graph module it plays through.
  form.close();
  return exitCode;
}
