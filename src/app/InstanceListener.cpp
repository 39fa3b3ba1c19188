// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceListener.h"

#include "app/InstanceConnection.h"
#include "app/InstanceLog.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr int backlog = 32;
// Accepts per pass of the event loop, so that a flood of clients cannot starve the rest.
constexpr int acceptsPerPass = 64;
constexpr auto firstRetry = 500ms;
constexpr auto lastRetry = 30s;

} // namespace

InstanceListener::InstanceListener(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)), backoff_(firstRetry) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &InstanceListener::listenOrRetry);
    // Descriptors run out for a while; the clients wait in the backlog until we have some.
    resume_.setSingleShot(true);
    resume_.setInterval(100ms);
    connect(&resume_, &QTimer::timeout, this, [this] {
        if (notifier_)
            notifier_->setEnabled(true);
        acceptPending();
    });
}

InstanceListener::~InstanceListener() {
    // Before our members go: each connection counts itself out as it is destroyed.
    qDeleteAll(findChildren<InstanceConnection*>(Qt::FindDirectChildrenOnly));
    stopListening();
}

void InstanceListener::start() {
    listenOrRetry();
}

void InstanceListener::listenOrRetry() {
    if (listen()) {
        backoff_ = firstRetry;
        return;
    }
    retry_.start(backoff_);
    backoff_ = std::min<std::chrono::milliseconds>(backoff_ * 2, lastRetry);
}

bool InstanceListener::listen() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path_);
    if (native.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        qCWarning(lcInstance) << "socket path too long:" << path_;
        return false;
    }
    std::memcpy(address.sun_path, native.constData(), native.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        qCWarning(lcInstance) << "cannot make a socket:" << std::strerror(errno);
        return false;
    }
    // We hold the lock: a socket at the name was left by an instance that died. Anything else
    // there (a folder, a file) is moved aside, not deleted: it is not ours to remove, and left
    // there it would keep every later launch from reaching us.
    struct stat status {};
    if (::lstat(native.constData(), &status) == 0 && !S_ISSOCK(status.st_mode))
        moveAside(native);
    ::unlink(native.constData());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(native.constData(), 0600) != 0 || ::listen(fd, backlog) != 0 ||
        ::lstat(native.constData(), &status) != 0) {
        qCWarning(lcInstance) << "cannot listen on" << path_ << std::strerror(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    device_ = status.st_dev;
    inode_ = status.st_ino;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &InstanceListener::acceptPending);
    return true;
}

void InstanceListener::moveAside(const QByteArray& native) {
    for (int n = 1; n < 100; ++n) {
        const QByteArray aside = native + ".in-the-way-" + QByteArray::number(n);
        // Never over something already set aside.
        if (::renameat2(AT_FDCWD, native.constData(), AT_FDCWD, aside.constData(),
                        RENAME_NOREPLACE) == 0) {
            qCWarning(lcInstance) << "moved what stood at our socket's name aside to" << aside;
            return;
        }
        if (errno != EEXIST)
            break;
    }
    qCWarning(lcInstance) << "cannot move aside what stands at" << path_ << std::strerror(errno);
}

void InstanceListener::stopListening() {
    if (fd_ < 0)
        return;
    notifier_.reset();
    ::close(fd_);
    fd_ = -1;
    // Only our own socket: after a takeover the name may be another instance's.
    struct stat status {};
    const QByteArray native = QFile::encodeName(path_);
    if (::lstat(native.constData(), &status) == 0 && status.st_dev == device_ &&
        status.st_ino == inode_)
        ::unlink(native.constData());
}

void InstanceListener::acceptPending() {
    for (int accepted = 0; fd_ >= 0 && accepted < acceptsPerPass; ++accepted) {
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client >= 0) {
            if (starved_)
                reportStarvation();
            if (connections_ >= maximumConnections)
                ::close(client); // the client tries again
            else
                serve(client);
            continue;
        }
        const int error = errno;
        if (error == EINTR || error == ECONNABORTED)
            continue;
        if (error != EAGAIN && error != EWOULDBLOCK)
            pauseAccepting(error);
        return;
    }
}

void InstanceListener::pauseAccepting(int error) {
    // EMFILE, ENFILE, ENOBUFS, ENOMEM: the socket itself is fine.
    if (!starved_) {
        starved_ = true;
        starvedError_ = error;
        starvedFor_.start();
    }
    notifier_->setEnabled(false);
    resume_.start();
}

void InstanceListener::reportStarvation() {
    // Only now: while descriptors are short, logging may well need one too. Once as a warning,
    // since a crowd of clients could fill the log.
    starved_ = false;
    if (!warnedStarved_)
        qCWarning(lcInstance) << "could not accept connections for" << starvedFor_.elapsed()
                              << "ms:" << std::strerror(starvedError_);
    warnedStarved_ = true;
}

void InstanceListener::serve(int client) {
    auto* connection = new InstanceConnection(client, maximumMessage, connectionDeadline, this);
    ++connections_;
    connect(connection, &QObject::destroyed, this, [this] { --connections_; });
    connect(connection, &InstanceConnection::messageReceived, this,
            &InstanceListener::messageReceived);
}
