#include <QApplication>

#include "main/main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TGrabForm form;
  form.show();
  return app.exec();
}
