// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppMatchIndex.h"

#include <QHash>
#include <QIcon>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

// Keeps the desktop entry index between refreshes. Reading the installed entries is slow, so
// the index is read at first use and read again only when an application appears that it does
// not know (an entry may have been installed since); an application that stays unknown costs
// nothing after that.
class AppMatchCache {
public:
    using Reader = std::function<std::vector<AppMatchEntry>()>;

    struct Query {
        // The application's stable key: whether it was already seen unmatched.
        QString key;
        QString wmInstance;
        QString wmClass;
        std::optional<QString> executable;
    };

    explicit AppMatchCache(Reader reader);

    // One answer per query: the matching entry, or null. The pointers are valid until the next
    // call.
    std::vector<const AppMatchEntry*> matchAll(const std::vector<Query>& queries);
    // The entry's icon, a theme name or a file, loaded once per index; null when neither gives
    // one.
    QIcon iconOf(const AppMatchEntry& entry);

    int readCount() const { return readCount_; }

private:
    void read();

    Reader reader_;
    std::optional<AppMatchIndex> index_;
    QSet<QString> unmatched_;
    QHash<QString, QIcon> icons_;
    int readCount_ = 0;
};
