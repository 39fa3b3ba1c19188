// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class InstanceListener;

// One Moorline per docks.json: the first instance holds a lock in a folder private to the user
// ($XDG_RUNTIME_DIR, else one of its cache folder) and listens on a local socket beside it; a
// later one asks it to show its settings window and leaves.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `key` names what is guarded (the data directory), so that two users, or two test
    // sessions with their own XDG directories, never meet.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance; it then listens for later launches. False
    // when another holds the lock, or when no private folder could be had for one.
    bool claim();
    // Asks the running instance to show its settings window, handing on this launch's startup
    // id and activation token (either may be empty); false when none answered.
    bool signalRunningInstance(const QByteArray& startupId = {},
                               const QByteArray& activationToken = {});
    // Why no private folder could be had for the lock, in words for the user; empty when one
    // was.
    const QString& folderProblem() const { return folderProblem_; }

    enum class ToggleResult { toggled, unknownDock, notRunning };
    // Asks the running instance to show or hide the dock with that name or id, without
    // becoming the instance.
    ToggleResult toggleInRunningInstance(const QString& nameOrId);
    // How the one instance toggles a dock; false when no dock has that name or id.
    void setToggleHandler(std::function<bool(const QString& nameOrId)> handler);

Q_SIGNALS:
    void showSettingsRequested(const QByteArray& startupId, const QByteArray& activationToken);

private:
    // Sends one line and waits for the answer line, trying for a few seconds while the running
    // instance may still be starting.
    std::optional<QByteArray> ask(const QByteArray& message);

    QString folderProblem_;
    QString socketName_;
    std::function<bool(const QString&)> toggleHandler_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<InstanceListener> listener_;
};
