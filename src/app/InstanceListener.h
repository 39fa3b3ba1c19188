// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

#include <sys/types.h>

class QSocketNotifier;

// Listens on a local socket for one-line messages from later launches, and keeps listening
// whatever clients do: a message longer than a few kilobytes, a client that lingers, a crowd of
// clients or running out of descriptors never makes it buffer without bound or stop.
// Hand-written rather than QLocalServer, which closes and deletes its socket for good the
// first time accept() fails (EMFILE), and which buffers whatever a client sends.
class InstanceListener final : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maximumMessage = 4096;
    static constexpr std::chrono::milliseconds connectionDeadline{3000};
    static constexpr int maximumConnections = 8;

    explicit InstanceListener(QString socketPath, QObject* parent = nullptr);
    ~InstanceListener() override;

    // Listens now; when that fails, again later, for as long as we run.
    void start();
    bool isListening() const { return fd_ >= 0; }

Q_SIGNALS:
    // One line from a client, without its newline. The client is then told `reply` ("ok"
    // unless a receiver changes it; one line, without its newline) and let go.
    void messageReceived(const QByteArray& message, QByteArray* reply);

private:
    bool listen();
    void listenOrRetry();
    // Renames what is not a socket at the socket's name out of the way.
    void moveAside(const QByteArray& native);
    void stopListening();
    void acceptPending();
    void pauseAccepting(int error);
    void reportStarvation();
    void serve(int client);

    QString path_;
    int fd_ = -1;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer retry_;
    QTimer resume_;
    std::chrono::milliseconds backoff_;
    int connections_ = 0;
    bool starved_ = false;
    bool warnedStarved_ = false;
    int starvedError_ = 0;
    QElapsedTimer starvedFor_;
};
