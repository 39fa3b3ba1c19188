// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"
#include "platform/Trash.h"

#include <QSet>
#include <QStringList>

// Records the paths asked for; the ones in `refused` fail. Full while it holds a trashed path or
// a test says so; emptying clears both.
class FakeTrash final : public Trash {
public:
    bool moveToTrash(const QString& path) override {
        requested.append(path);
        if (refused.contains(path))
            return false;
        trashed.append(path);
        changed_.emit();
        return true;
    }
    bool hasItems() const override { return full || !trashed.isEmpty(); }
    Subscription observe(std::function<void()> changed) override {
        return changed_.connect([changed = std::move(changed)] { changed(); });
    }
    void empty() override {
        ++emptied;
        full = false;
        trashed.clear();
        changed_.emit();
    }

    void setFull(bool isFull) {
        full = isFull;
        changed_.emit();
    }
    std::size_t watchers() const { return changed_.size(); }

    QSet<QString> refused;
    QStringList requested;
    QStringList trashed;
    bool full = false;
    int emptied = 0;

private:
    Signal<> changed_;
};
