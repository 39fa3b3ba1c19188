// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/SessionBusProbe.h"

#include <QByteArrayList>
#include <QElapsedTimer>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace SessionBusProbe {

namespace {

// A D-Bus address value: %XX escapes undone.
QByteArray unescaped(const QByteArray& value) {
    return QByteArray::fromPercentEncoding(value);
}

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t sent =
            ::send(fd, bytes.constData() + done, std::size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        done += sent;
    }
    return true;
}

// Connects to the socket and starts the authentication; any answer shows a live daemon.
bool unixSocketAnswers(const sockaddr_un& address, socklen_t length,
                       std::chrono::milliseconds timeout) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool answered = false;
    // A local connect completes at once, or fails; the daemon's backlog takes it even while
    // the daemon is stopped, which is why the handshake is asked too.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        const QByteArray uid = QByteArray::number(::geteuid()).toHex();
        if (sendAll(fd, QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n")) {
            QElapsedTimer clock;
            clock.start();
            pollfd wait{fd, POLLIN, 0};
            for (;;) {
                const auto left = timeout.count() - clock.elapsed();
                const int ready = ::poll(&wait, 1, int(std::max<qint64>(left, 0)));
                if (ready < 0 && errno == EINTR)
                    continue;
                char reply[64];
                answered = ready > 0 && ::recv(fd, reply, sizeof reply, 0) > 0;
                break;
            }
        }
    }
    ::close(fd);
    return answered;
}

bool answersAt(const QByteArray& transport, const QByteArray& parameters,
               std::chrono::milliseconds timeout) {
    if (transport != "unix")
        return transport != "disabled";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    for (const QByteArray& pair : parameters.split(',')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = pair.left(equals);
        const QByteArray value = unescaped(pair.mid(equals + 1));
        const bool abstract = key == "abstract";
        if ((key != "path" && !abstract) || value.isEmpty() ||
            std::size_t(value.size()) + 1 > sizeof address.sun_path)
            continue;
        // An abstract name starts with a zero byte and is not terminated.
        std::memcpy(address.sun_path + (abstract ? 1 : 0), value.constData(),
                    std::size_t(value.size()));
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + std::size_t(value.size()) +
                                      (abstract ? 1 : 0));
        return unixSocketAnswers(address, length, timeout);
    }
    // A listening address (tmpdir=, dir=) or one of another kind: nothing to ask.
    return true;
}

} // namespace

bool answers(const QByteArray& address, std::chrono::milliseconds timeout) {
    // Clients try the addresses in order; the first one is what they reach.
    const QByteArray first = address.split(';').value(0).trimmed();
    const qsizetype colon = first.indexOf(':');
    if (colon <= 0)
        return false;
    return answersAt(first.left(colon), first.mid(colon + 1), timeout);
}

} // namespace SessionBusProbe
