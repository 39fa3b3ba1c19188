#pragma once

#include "models/Dock.h"
#include "platform/Published.h"
#include "platform/Scheduler.h"

#include <optional>
#include <vector>

class DefaultApplications;
class FileSystem;

// The single owner of the docks: loads docks.json (or seeds the starter docks), publishes the
// list, changes docks, tabs and items, and writes the file 0.4 s after the last change.
class DockStore final : public ObservableObject {
public:
    struct Dependencies {
        FileSystem& fileSystem;
        Scheduler& scheduler;
        const DefaultApplications& defaultApplications;
        QString dataDirectory; // the Moorline directory that holds docks.json
    };

    explicit DockStore(Dependencies dependencies);
    ~DockStore() override;

    // Every change, whole or in place, tells observers first and then the stream's subscribers.
    Published<std::vector<Dock>> docks{*this};

    const QString& fileURL() const { return fileURL_; }

    void scheduleSave();
    // Writes a save still waiting in its delay now (at quit); does nothing when none waits.
    void flushPendingSave();
    bool isSavePending() const { return savePending_; }

    std::optional<std::size_t> indexOf(const QUuid& dockId) const;
    const Dock* dock(const QUuid& dockId) const;

    void addDock(DockKind kind);
    void removeDock(const QUuid& dockId);
    void update(const Dock& dock);
    void addItem(const DockItem& item, const QUuid& dockId,
                 std::optional<std::int64_t> tabIndex = std::nullopt);
    void removeItem(const QUuid& itemId, const QUuid& dockId);
    void updateItem(const DockItem& item, const QUuid& dockId);
    void addTab(const QUuid& dockId, const QString& name);
    void removeTab(const QUuid& tabId, const QUuid& dockId);

    static std::vector<Dock> starterDocks(const FileSystem& fileSystem,
                                          const DefaultApplications& defaultApplications);

private:
    void load(const DefaultApplications& defaultApplications);
    void persist();
    bool keepUnreadableFile();

    FileSystem& fileSystem_;
    Scheduler& scheduler_;
    QString fileURL_;
    Subscription saveWorkItem_;
    bool savePending_ = false;
    bool keepUnreadableBeforeSave_ = false;
};
