// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include "app/InstanceFolder.h"
#include "app/InstanceListener.h"
#include "app/InstanceLog.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <optional>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
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

void setTimeout(int fd, int option, int milliseconds) {
    const timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, option, &timeout, sizeof timeout);
}

// One try: connects (waiting half a second at most for room in a crowded backlog), writes the
// message and waits a second for the answer: the answer's line, without its newline, or nothing
// when none came.
std::optional<QByteArray> sendOnce(const QByteArray& path, const QByteArray& message) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof(address.sun_path)))
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    setTimeout(fd, SO_SNDTIMEO, 500);
    std::optional<QByteArray> answered;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        setTimeout(fd, SO_SNDTIMEO, 1000);
        setTimeout(fd, SO_RCVTIMEO, 1000);
        qsizetype sent = 0;
        while (sent < message.size()) {
            const ssize_t count = ::send(fd, message.constData() + sent,
                                         std::size_t(message.size() - sent), MSG_NOSIGNAL);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            sent += count;
        }
        QByteArray answer;
        char buffer[16];
        while (sent == message.size() && !answer.contains('\n') && answer.size() < 64) {
            const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            answer.append(buffer, count);
        }
        if (const qsizetype end = answer.indexOf('\n'); end >= 0)
            answered = answer.left(end);
    }
    ::close(fd);
    return answered;
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
    const QByteArray path = QFile::encodeName(socketName_);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (std::optional<QByteArray> reply = sendOnce(path, message))
            return reply;
        QThread::msleep(50);
    }
    return std::nullopt;
}
