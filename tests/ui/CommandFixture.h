// What the command, loading, navigation and error panel tests of the window share: a window whose
// preferences live in a temporary folder, scripted dialogs, a recording desktop, and the real
// graph module playing the generated clips.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "main/NeedleGauge.h"
#include "main/VideoWidget.h"

#include "main/main.h"
#include "main/nav_CD.h"
#include "main/nav_capture.h"
#include "main/nav_file.h"
#include "settings/Erreur_unit.h"
#include "media/Bitmap.h"
#include "media/graph.h"
#include "settings/Preferences.h"
#include "sources/FlagWait.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"
#include "tests/support/FrameIndex.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/FakeShell.h"
#include "tests/support/TestMedia.h"

namespace window {

class CommandWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qApp->setQuitOnLastWindowClosed(false);
    Prefs = TPrefs();
    SourceReady = false;
    StopRequested = false;
    ErrorPanelClosed = true;
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

  // The window over the real graph module, shown (which loads its preferences and runs the
  // start-up checks) and active, so that keys reach it as the user's would.
  TGrabForm& makeForm() {
    if (!dm) dm = std::make_unique<Tdm>();
    form = std::make_unique<TGrabForm>();
    form->SetPrefsLocations(where);
    form->SetServices(&dialogs, &shell);
    form->SetGraphModule(dm.get());
    form->show();
    QApplication::setActiveWindow(form.get());
    return *form;
  }

  // Loads a generated clip and checks it is the current source.
  void load(const QString& name) {
    form->LoadVideoFile(TestMedia(name));
    ASSERT_NE(dynamic_cast<TgrabFile*>(form->CurrentSource.get()), nullptr) << name.toStdString();
  }

  // A copy of a generated clip in the temporary folder, under another name.
  QString copyClip(const QString& name, const QString& as) {
    const QString copy = path(as);
    QDir().mkpath(QFileInfo(copy).absolutePath());
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(TestMedia(name), copy));
    return copy;
  }

  void touch(const QString& file) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  }

  // The index painted in the frame the frame-holding element holds now; -1 when unreadable.
  int heldFrameIndex() {
    Bitmap held;
    dm->Superposer().CopyHeldFrame(held);
    return ReadFrameIndex(held);
  }

  // Waits (event loop running) until the held frame shows `index`; true when it did.
  bool waitForHeldFrame(int index, int timeoutMs = 5000) {
    return WaitUntil([&] { return heldFrameIndex() == index; }, timeoutMs);
  }

  // Runs `action` from the event loop once the error panel shows, as the user would answer it.
  // Should it never show, Escape ends whatever waits, so that the test fails instead of hanging.
  void whenErrorShown(std::function<void()> action, int timeoutMs = 15000) {
    auto* poll = new QTimer(form.get());
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, form.get(), [this, poll, elapsed, action, timeoutMs] {
      const bool shown = form->Erreur_Frame1->isVisible();
      if (!shown && elapsed->elapsed() < timeoutMs) return;
      poll->stop();
      poll->deleteLater();
      if (shown) {
        action();
      } else {
        ADD_FAILURE() << "the error panel never showed";
        form->AbortActionExecute();
      }
    });
    poll->start();
  }

  // The key as the user types it on the control that has the focus.
  static void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(target, key, modifiers);
  }

  QTemporaryDir m_temp;
  PrefsLocations where;
  ScriptedDialogs dialogs;
  FakeShell shell;
  std::unique_ptr<Tdm> dm;  // outlives the window: its sources play through it
  std::unique_ptr<TGrabForm> form;
};

}  // namespace window
