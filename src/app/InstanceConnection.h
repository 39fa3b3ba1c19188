// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>

// One client of the instance channel, on a descriptor of its own: one line of at most `maximum`
// bytes, read as it comes within `deadline`, handed on, answered ("ok" unless a receiver says
// otherwise) and closed. A line too
// long, a client too slow or gone is simply closed. Nothing is kept beyond the line.
class InstanceConnection final : public QObject {
    Q_OBJECT
public:
    InstanceConnection(int fd, qsizetype maximum, std::chrono::milliseconds deadline,
                       QObject* parent = nullptr);
    ~InstanceConnection() override;

Q_SIGNALS:
    // The line, without its newline; `reply` is what the client is told (one line, without its
    // newline).
    void messageReceived(const QByteArray& message, QByteArray* reply);

private:
    void readAvailable();
    void close();

    int fd_;
    qsizetype maximum_;
    QByteArray line_;
    QSocketNotifier notifier_;
    QTimer deadline_;
};
