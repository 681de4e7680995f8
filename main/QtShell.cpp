#include "main/QtShell.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "media/Bitmap.h"
#include "media/SoundPlayer.h"

QtShell::QtShell(QObject* parent) : QObject(parent) {}

void QtShell::ShowInFileManager(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  const QString folder = QFileInfo(absolute).absolutePath();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    OpenFolder(folder);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)} << QString();
  // Asynchronous: a file manager being started must not freeze the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, folder](QDBusPendingCallWatcher* done) {
            if (done->isError()) OpenFolder(folder);
            done->deleteLater();
          });
}

void QtShell::OpenFolder(const QString& folder) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QImage QtShell::toImage(const Bitmap& picture) {
  if (picture.IsEmpty()) return QImage();
  const QImage::Format format = picture.PixelFormat() == Bitmap::Format::BGR24
                                    ? QImage::Format_BGR888
                                    : QImage::Format_RGB32;
  // copy(): the image must not outlive the bitmap's pixels.
  return QImage(picture.Row(0), picture.Width(), picture.Height(), picture.Stride(), format).copy();
}

void QtShell::CopyPicture(const Bitmap& picture) {
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    clipboard->setImage(toImage(picture));
}

QStringList QtShell::ClipboardFiles() {
  QStringList files;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

void QtShell::PlaySound(const QString& name) {
  // The resources live in this static library: they are registered on first use.
  static const bool registered = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)registered;
  QFile sound(QStringLiteral(":/sounds/") + name);
  if (!sound.open(QIODevice::ReadOnly)) return;
  static SoundPlayer player;
  player.Play(sound.readAll());
}
