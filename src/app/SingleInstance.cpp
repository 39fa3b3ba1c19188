#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <memory>
#include <optional>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "moorline.instance", QtWarningMsg)

namespace {
constexpr char showSettingsMessage[] = "show-settings\n";
// Lines that may come before "show-settings", each with a percent-encoded value. An instance
// that knows only "show-settings" skips them and still shows its window.
constexpr char startupIdLine[] = "startup-id ";
constexpr char activationTokenLine[] = "activation-token ";

// The value of a line that starts with `key`, else nothing.
std::optional<QByteArray> valueOf(const QByteArray& line, const char* key) {
    if (!line.startsWith(key) || !line.endsWith('\n'))
        return std::nullopt;
    return QByteArray::fromPercentEncoding(line.mid(qstrlen(key)).chopped(1));
}

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
            auto token = std::make_shared<std::pair<QByteArray, QByteArray>>();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, token] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine();
                    if (const auto id = valueOf(line, startupIdLine))
                        token->first = *id;
                    else if (const auto activation = valueOf(line, activationTokenLine))
                        token->second = *activation;
                    else if (line == showSettingsMessage)
                        Q_EMIT showSettingsRequested(token->first, token->second);
                }
            });
        }
    });
}

bool SingleInstance::signalRunningInstance(const QByteArray& startupId,
                                           const QByteArray& activationToken) {
    QByteArray message;
    if (!startupId.isEmpty())
        message += startupIdLine + startupId.toPercentEncoding() + '\n';
    if (!activationToken.isEmpty())
        message += activationTokenLine + activationToken.toPercentEncoding() + '\n';
    message += showSettingsMessage;
    // The running instance may still be starting: give it a moment to listen.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3000) {
        QLocalSocket socket;
        socket.connectToServer(socketName_);
        if (socket.waitForConnected(500)) {
            socket.write(message);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}
