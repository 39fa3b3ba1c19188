// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceConnection.h"

#include "app/InstanceLog.h"

#include <QPointer>

#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

InstanceConnection::InstanceConnection(int fd, qsizetype maximum,
                                       std::chrono::milliseconds deadline, QObject* parent)
    : QObject(parent), fd_(fd), maximum_(maximum), notifier_(fd, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &InstanceConnection::readAvailable);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &InstanceConnection::close);
    deadline_.start(deadline);
}

InstanceConnection::~InstanceConnection() {
    ::close(fd_);
}

void InstanceConnection::readAvailable() {
    char buffer[1024];
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (count <= 0)
            return close(); // gone before a whole line, or failed
        line_.append(buffer, count);
        if (const qsizetype end = line_.indexOf('\n'); end >= 0) {
            line_.truncate(end);
            const QPointer<InstanceConnection> guard(this);
            QByteArray reply = "ok";
            Q_EMIT messageReceived(line_, &reply);
            if (!guard)
                return;
            // A short line always fits in an empty socket buffer; a client gone meanwhile loses
            // nothing it waits for.
            reply += '\n';
            ::send(fd_, reply.constData(), std::size_t(reply.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
            return close();
        }
        if (line_.size() >= maximum_) {
            qCWarning(lcInstance) << "dropped a client whose message is too long";
            return close();
        }
    }
}

void InstanceConnection::close() {
    notifier_.setEnabled(false);
    deadline_.stop();
    deleteLater();
}
