#include "shell/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QWidget>

#include "shell/platform.h"
#include "ui/messages.h"

namespace velox::ui {

namespace {

// Long enough for a configurator busy drawing its launcher to take the call; a
// second start that gets no answer ends all the same.
constexpr int kAnswerWaitMs = 3000;

}  // namespace

QString InstanceKey(const std::filesystem::path& appFolder) {
  const QFileInfo info(ToQString(appFolder));
  QString folder = info.canonicalFilePath();
  if (folder.isEmpty()) folder = QDir::cleanPath(info.absoluteFilePath());
  if constexpr (platform::kWindows) folder = folder.toCaseFolded();
  const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
  return QStringLiteral("velox-configurator-") + QString::fromLatin1(hash);
}

SingleInstance::SingleInstance(const std::filesystem::path& appFolder, QObject* parent)
    : QObject(parent), key_(InstanceKey(appFolder)), lock_(QDir(QDir::tempPath()).filePath(key_ + ".lock")) {
  // Only a dead owner makes the lock stale, never its age: a configurator may stay open for days.
  lock_.setStaleLockTime(0);
  if (lock_.tryLock(0)) {
    QLocalServer::removeServer(key_);  // the socket file a killed configurator left (POSIX)
    // The connection itself is the request: a later start need not wait until this one reads anything.
    connect(&server_, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* socket = server_.nextPendingConnection()) {
        socket->deleteLater();
        emit comeForwardAsked();
      }
    });
    server_.listen(key_);
    return;
  }
  // A lock that cannot even be tried (a temporary folder that cannot be written) is no reason not to start.
  if (lock_.error() != QLockFile::LockFailedError) return;
  first_ = false;
  platform::LetAnotherProgramComeForward();
  QLocalSocket socket;
  socket.connectToServer(key_);
  if (socket.waitForConnected(kAnswerWaitMs)) socket.disconnectFromServer();
}

void BringForward(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace velox::ui
