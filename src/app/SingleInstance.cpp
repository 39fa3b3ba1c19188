#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "moorline.instance", QtWarningMsg)

namespace {
constexpr char showSettingsMessage[] = "show-settings\n";

QString runtimeDirectory() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString base =
        runtimeDirectory() +
        QStringLiteral("/moorline-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
    socketName_ = base + QStringLiteral(".socket");
    lock_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    // QLockFile notices a lock left by a process that died and takes it over.
    if (!lock_->tryLock(0))
        return false;
    listen();
    return true;
}

void SingleInstance::listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketName_); // left by an instance that died; we hold the lock
    if (!server_->listen(socketName_)) {
        qCWarning(lcInstance) << "cannot listen on" << socketName_ << server_->errorString();
        return;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine())
                    if (socket->readLine() == showSettingsMessage)
                        Q_EMIT showSettingsRequested();
            });
        }
    });
}

bool SingleInstance::signalRunningInstance() {
    // The running instance may still be starting: give it a moment to listen.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3000) {
        QLocalSocket socket;
        socket.connectToServer(socketName_);
        if (socket.waitForConnected(500)) {
            socket.write(showSettingsMessage);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}
