// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/AppMatchCache.h"

#include <QFileInfo>

AppMatchCache::AppMatchCache(Reader reader) : reader_(std::move(reader)) {}

void AppMatchCache::read() {
    index_.emplace(reader_());
    icons_.clear();
    ++readCount_;
}

std::vector<const AppMatchEntry*> AppMatchCache::matchAll(const std::vector<Query>& queries) {
    bool fresh = false;
    if (!index_) {
        read();
        fresh = true;
    }
    std::vector<const AppMatchEntry*> answers(queries.size(), nullptr);
    const auto answer = [&] {
        for (std::size_t i = 0; i < queries.size(); ++i) {
            const Query& q = queries[i];
            const auto found = index_->match(q.wmInstance, q.wmClass, q.executable);
            answers[i] = found ? &index_->entries()[*found] : nullptr;
        }
    };
    answer();

    bool newcomer = false;
    for (std::size_t i = 0; i < queries.size(); ++i)
        newcomer = newcomer || (!answers[i] && !unmatched_.contains(queries[i].key));
    if (newcomer && !fresh) {
        read();
        answer();
    }
    unmatched_.clear();
    for (std::size_t i = 0; i < queries.size(); ++i)
        if (!answers[i])
            unmatched_.insert(queries[i].key);
    return answers;
}

QIcon AppMatchCache::iconOf(const AppMatchEntry& entry) {
    if (entry.icon.isEmpty())
        return {};
    const auto found = icons_.constFind(entry.icon);
    if (found != icons_.constEnd())
        return *found;
    QIcon icon;
    if (QFileInfo(entry.icon).isAbsolute())
        icon = QFileInfo::exists(entry.icon) ? QIcon(entry.icon) : QIcon();
    else
        icon = QIcon::fromTheme(entry.icon);
    icons_.insert(entry.icon, icon);
    return icon;
}
