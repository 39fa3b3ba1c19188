// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cerrno>

#include <unistd.h>

// Writes the whole of `data` to `fd`, through short writes and interrupted calls; false on the
// first real failure (errno tells which).
inline bool writeAll(int fd, const QByteArray& data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t count = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += count;
    }
    return true;
}
