#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>

// One Moorline per docks.json: the first instance holds a lock beside its runtime files and
// listens on a local socket; a later one asks it to show its settings window and leaves.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `key` names what is guarded (the data directory), so that two users, or two test
    // sessions with their own XDG directories, never meet.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance; it then listens for later launches.
    bool claim();
    // Asks the running instance to show its settings window, handing on this launch's startup
    // id and activation token (either may be empty); false when none answered.
    bool signalRunningInstance(const QByteArray& startupId = {},
                               const QByteArray& activationToken = {});

Q_SIGNALS:
    void showSettingsRequested(const QByteArray& startupId, const QByteArray& activationToken);

private:
    void listen();

    QString socketName_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};
