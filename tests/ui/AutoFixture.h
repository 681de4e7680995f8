// What the command-list and intervalometer tests of the window share: the window over the real
// graph module (CommandFixture.h), a folder for the pictures, and reading back which frame a
// saved picture shows.
#pragma once

#include <cstring>
#include <QDir>
#include <QImage>

#include "tests/ui/CommandFixture.h"

namespace automation {

// The frame index painted in a saved picture (BMP or JPEG); -1 when unreadable.
inline int savedFrameIndex(const QString& file) {
  const QImage image = QImage(file).convertToFormat(QImage::Format_BGR888);
  if (image.isNull()) return -1;
  Bitmap picture(image.width(), image.height(), Bitmap::Format::BGR24);
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(picture.MutableRow(y), image.constScanLine(y), size_t(image.width()) * 3);
  return ReadFrameIndex(picture);
}

class AutoTest : public window::CommandWindowTest {
 protected:
  void SetUp() override {
    CommandWindowTest::SetUp();
    pictures = path("out");
  }

  // Runs one list as the window's activation would.
  void runList(const QStringList& arguments) {
    form->SetPendingCommandList(ParseCommandLine(arguments));
    form->FormActivate();
  }

  // The pictures saved, in name order.
  QStringList saved() const {
    QStringList files;
    for (const QString& name : QDir(pictures).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
      files << pictures + "/" + name;
    return files;
  }

  QList<int> savedIndexes() const {
    QList<int> indexes;
    for (const QString& file : saved()) indexes << savedFrameIndex(file);
    return indexes;
  }

  QString pictures;  // where the tests send the pictures (/S)
};

}  // namespace automation
