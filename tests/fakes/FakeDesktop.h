// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"

#include <QHash>
#include <QStringList>

// Opens nothing and records each request, in order, as one line: "openPath PATH",
// "openUrl URL", "reveal URL" (URLs fully encoded), "launch PATH". Desktop entries are the
// ones put in `launchers`.
class FakeDesktop final : public Desktop {
public:
    void openPath(const QString& path) override { requests << QStringLiteral("openPath ") + path; }
    void openUrl(const QUrl& url) override {
        requests << QStringLiteral("openUrl ") + url.toString(QUrl::FullyEncoded);
    }
    void revealInFileManager(const QUrl& url) override {
        requests << QStringLiteral("reveal ") + url.toString(QUrl::FullyEncoded);
    }
    std::optional<LauncherEntry> launcherEntry(const QString& path) override {
        if (const auto it = launchers.constFind(path); it != launchers.constEnd())
            return *it;
        return std::nullopt;
    }
    void launch(const QString& path, const LauncherEntry&) override {
        requests << QStringLiteral("launch ") + path;
    }

    QHash<QString, LauncherEntry> launchers;
    QStringList requests;
};
