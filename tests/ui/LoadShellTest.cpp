// The desktop services behind paste, copy and the file manager clicks.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "main/QtShell.h"
#include "media/Bitmap.h"
#include "sources/FlagWait.h"

namespace {

TEST(QtShellClipboard, FileListGivesItsLocalFilesInOrder) {
  QtShell shell;
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile("/videos/a b.avi"), QUrl("https://example.org/c.avi"),
                 QUrl::fromLocalFile("/videos/d.avi")});
  QGuiApplication::clipboard()->setMimeData(data);
  EXPECT_EQ(shell.ClipboardFiles(), (QStringList{"/videos/a b.avi", "/videos/d.avi"}));

  QGuiApplication::clipboard()->setText("/videos/a.avi");
  EXPECT_TRUE(shell.ClipboardFiles().isEmpty());
}

TEST(QtShellClipboard, PictureGoesOnTheClipboardWithItsColours) {
  QtShell shell;
  Bitmap picture(3, 2, Bitmap::Format::BGR24);  // rows padded to 12 bytes
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* pixel = picture.MutableRow(y) + 3 * x;
      pixel[0] = uint8_t(10 * x);   // blue
      pixel[1] = uint8_t(100 + y);  // green
      pixel[2] = 200;               // red
    }
  shell.CopyPicture(picture);
  const QImage copied = QGuiApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(3, 2));
  EXPECT_EQ(copied.pixelColor(2, 1), QColor(200, 101, 20));
}

// Stands in for the desktop's file manager on the session bus.
class FakeFileManager : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
 public:
  QStringList shown;
 public slots:
  void ShowItems(const QStringList& uris, const QString&) {
    shown = uris;
    WakeWaiters();
  }
};

TEST(QtShellFileManager, AsksTheFileManagerOverTheSessionBusToShowTheFile) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  const QString service = "org.freedesktop.FileManager1";
  if (bus.interface()->isServiceRegistered(service)) GTEST_SKIP() << "a file manager runs here";
  FakeFileManager manager;
  ASSERT_TRUE(bus.registerService(service));
  ASSERT_TRUE(bus.registerObject("/org/freedesktop/FileManager1", &manager,
                                 QDBusConnection::ExportAllSlots));
  QtShell shell;
  shell.ShowInFileManager("/videos/my clip.avi");
  EXPECT_TRUE(WaitUntil([&] { return !manager.shown.isEmpty(); }, 5000));
  EXPECT_EQ(manager.shown, QStringList{"file:///videos/my%20clip.avi"});
  bus.unregisterObject("/org/freedesktop/FileManager1");
  bus.unregisterService(service);
}

}  // namespace

#include "LoadShellTest.moc"
