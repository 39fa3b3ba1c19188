// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"

#include <QHash>
#include <QStringList>

// Opens nothing and records each request, in order, as one line: "openPath PATH",
// "openUrl URL", "reveal URL" (URLs fully encoded), "launch PATH [ACTION] [STARTUP-ID]".
// Desktop entries are the ones put in `launchers`; launches start process 1000, 1001...
// unless `launchFails`.
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
    LaunchResult launch(const QString& path, const LauncherEntry&,
                        const LaunchOptions& options) override {
        QString request = QStringLiteral("launch ") + path;
        for (const QString& part : {options.action, QString::fromLatin1(options.token.startupId)})
            if (!part.isEmpty())
                request += u' ' + part;
        requests << request;
        if (launchFails)
            return {};
        return {true, nextPid++};
    }

    // A trusted launcher of that desktop id, named after it.
    void addLauncher(const QString& path, const QString& desktopId,
                     const QString& startupWMClass = {}) {
        LauncherEntry entry;
        entry.execLine = desktopId;
        entry.isTrusted = true;
        entry.identity = {path, desktopId, startupWMClass};
        entry.name = desktopId;
        launchers.insert(path, entry);
    }

    QHash<QString, LauncherEntry> launchers;
    bool launchFails = false;
    std::int32_t nextPid = 1000;
    QStringList requests;
};
