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
            [this](const QByteArray& message) {
                const QList<QByteArray> words = message.split(' ');
                if (words.first() == showSettingsMessage)
                    Q_EMIT showSettingsRequested(valueOf(words, startupIdKey),
                                                 valueOf(words, activationTokenKey));
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
    message += '\n';
    // The running instance may still be starting, or busy with other clients: try for a few
    // seconds, until it confirms.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QLocalSocket socket;
        socket.connectToServer(socketName_);
        if (socket.waitForConnected(500)) {
            socket.write(message);
            if (socket.waitForBytesWritten(1000) && socket.waitForReadyRead(1000) &&
                socket.readLine(16) == "ok\n")
                return true;
        }
        QThread::msleep(50);
    }
    return false;
}
