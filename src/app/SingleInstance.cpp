// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include "app/InstanceFolder.h"
#include "app/InstanceListener.h"
#include "app/InstanceLog.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

namespace {
// One line: "show-settings", then optionally the launch's startup id and activation token as
// "key=value" words, each value percent-encoded (so it holds no space).
constexpr char showSettingsMessage[] = "show-settings";
constexpr char startupIdKey[] = "startup-id=";
constexpr char activationTokenKey[] = "activation-token=";
// "toggle", then the dock's name or id percent-encoded; answered "ok" or "unknown".
constexpr char toggleMessage[] = "toggle";
constexpr char unknownReply[] = "unknown";

QByteArray valueOf(const QList<QByteArray>& words, const char* key) {
    for (const QByteArray& word : words)
        if (word.startsWith(key))
            return QByteArray::fromPercentEncoding(word.mid(qstrlen(key)));
    return {};
}
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const auto folder = InstanceFolder::choose(&folderProblem_);
    // Never a shared folder: whoever made the lock there first would keep us from starting.
    if (!folder)
        return;
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString base =
        *folder + QStringLiteral("/" MOORLINE_APP_ID "-%1").arg(QString::fromLatin1(digest));
    socketName_ = base + QStringLiteral(".socket");
    lock_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    // QLockFile notices a lock left by a process that died and takes it over.
    if (!lock_ || !lock_->tryLock(0))
        return false;
    listener_ = std::make_unique<InstanceListener>(socketName_);
    connect(listener_.get(), &InstanceListener::messageReceived, this,
            [this](const QByteArray& message, QByteArray* reply) {
                const QList<QByteArray> words = message.split(' ');
                if (words.first() == showSettingsMessage)
                    Q_EMIT showSettingsRequested(valueOf(words, startupIdKey),
                                                 valueOf(words, activationTokenKey));
                else if (words.first() == toggleMessage && words.size() == 2) {
                    const QString nameOrId =
                        QString::fromUtf8(QByteArray::fromPercentEncoding(words[1]));
                    if (!toggleHandler_ || !toggleHandler_(nameOrId))
                        *reply = unknownReply;
                }
            });
    listener_->start();
    return true;
}

bool SingleInstance::signalRunningInstance(const QByteArray& startupId,
                                           const QByteArray& activationToken) {
    if (socketName_.isEmpty())
        return false;
    QByteArray message = showSettingsMessage;
    if (!startupId.isEmpty())
        message += ' ' + QByteArray(startupIdKey) + startupId.toPercentEncoding();
    if (!activationToken.isEmpty())
        message += ' ' + QByteArray(activationTokenKey) + activationToken.toPercentEncoding();
    return ask(message) == "ok";
}

SingleInstance::ToggleResult SingleInstance::toggleInRunningInstance(const QString& nameOrId) {
    if (socketName_.isEmpty())
        return ToggleResult::notRunning;
    // Nobody holds the lock: no instance runs, and waiting for one would only keep a
    // compositor binding busy.
    if (lock_->tryLock(0)) {
        lock_->unlock();
        return ToggleResult::notRunning;
    }
    const std::optional<QByteArray> reply =
        ask(QByteArray(toggleMessage) + ' ' + nameOrId.toUtf8().toPercentEncoding());
    if (!reply)
        return ToggleResult::notRunning;
    return *reply == "ok" ? ToggleResult::toggled : ToggleResult::unknownDock;
}

void SingleInstance::setToggleHandler(std::function<bool(const QString&)> handler) {
    toggleHandler_ = std::move(handler);
}

std::optional<QByteArray> SingleInstance::ask(const QByteArray& line) {
    const QByteArray message = line + '\n';
    // The running instance may still be starting, or busy with other clients: try for a few
    // seconds, until it answers.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QLocalSocket socket;
        socket.connectToServer(socketName_);
        if (socket.waitForConnected(500)) {
            socket.write(message);
            if (socket.waitForBytesWritten(1000) && socket.waitForReadyRead(1000)) {
                QByteArray reply = socket.readLine(64);
                if (reply.endsWith('\n')) {
                    reply.chop(1);
                    return reply;
                }
            }
        }
        QThread::msleep(50);
    }
    return std::nullopt;
}
