// What the picture, naming, options and preferences tests of the window share: a window whose
// preferences live in a temporary folder, scripted dialogs, a recording desktop, and a file
// source over a fake graph module whose held frame the test sets.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "main/VideoWidget.h"
#include "main/main.h"
#include "media/Bitmap.h"
#include "settings/Preferences.h"
#include "settings/optionsunit.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"
#include "tests/support/FakeGraph.h"
#include "tests/support/FakeShell.h"
#include "tests/support/ScriptedDialogs.h"

namespace pictures {

// A frame whose every pixel differs from its neighbours, so that a scaled, shifted or flipped
// copy cannot pass for it.
inline Bitmap patternFrame(int width, int height) {
  Bitmap frame(width, height, Bitmap::Format::BGR24);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = frame.MutableRow(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x + 0] = uint8_t(x * 7 + y * 3);
      row[3 * x + 1] = uint8_t(x * 13 + y * 29);
      row[3 * x + 2] = uint8_t(y * 11 + x);
    }
  }
  return frame;
}

inline bool samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
    return false;
  const size_t rowBytes = size_t(a.Width()) * a.BytesPerPixel();
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
  return true;
}

class PicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qApp->setQuitOnLastWindowClosed(false);
    Prefs = TPrefs();
    SourceReady = false;
    StopRequested = false;
    ASSERT_TRUE(m_temp.isValid());
    where.userFile = path("config/Velmoran/Pictorel.conf");
    where.systemIni = path("etc/Pictorel.ini");
    where.programIni = path("program/Pictorel.ini");
    where.defaultPicturesFolder = path("Pictures");
  }

  void TearDown() override {
    form.reset();
    Prefs = TPrefs();
    SourceReady = false;
    StopRequested = false;
  }

  QString path(const QString& relative) const { return m_temp.filePath(relative); }

  // The window with its preferences here, shown (which loads them) unless asked otherwise.
  TGrabForm& makeForm(bool shown = true) {
    form = std::make_unique<TGrabForm>();
    form->SetPrefsLocations(where);
    form->SetServices(&dialogs, &shell);
    form->SetGraphModule(&dm);
    if (shown) form->show();
    return *form;
  }

  // Writes an ini file in the section of the preferences.
  void writeIni(const QString& file, const QString& keys) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(("[\\Software\\Velmoran\\Pictorel]\n" + keys).toUtf8());
  }

  // A video file source over the fake graph, holding `frame`, as the file loader leaves it.
  TgrabFile& loadFakeFile(const Bitmap& frame,
                          const QString& videoPath = QStringLiteral("/videos/holiday_2007.avi")) {
    dm.holder.held = frame;
    dm.graph.duration = 600 * UnitsPerSecond;
    auto source = std::make_unique<TgrabFile>(videoPath, dm);
    TgrabFile& file = *source;
    form->CurrentSource = std::move(source);
    form->CurrentPosition = std::make_unique<TGrabFilePosition>(&file, 0);
    file.SetGrabPosition(form->CurrentPosition.get());
    EXPECT_EQ(file.Render(form->VideoWindow1), RenderOk);
    SourceReady = true;
    form->UpdateRoot();
    form->UpdateNextName();
    form->ApplyAspectRatio();
    return file;
  }

  TOptionsFrame& options() { return *form->options(); }

  QTemporaryDir m_temp;
  PrefsLocations where;
  ScriptedDialogs dialogs;
  FakeShell shell;
  FakeGraphModule dm;  // outlives the window: its source plays through it
  std::unique_ptr<TGrabForm> form;
};

}  // namespace pictures
