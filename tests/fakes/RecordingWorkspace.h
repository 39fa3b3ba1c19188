#pragma once

#include "platform/Workspace.h"

#include <QStringList>

// A workspace that opens nothing and records each request as one line: "openPath PATH",
// "openUrl URL", "reveal URL".
class RecordingWorkspace final : public Workspace {
public:
    void openPath(const QString& path) override { requests << QStringLiteral("openPath ") + path; }
    void openUrl(const QUrl& url) override {
        requests << QStringLiteral("openUrl ") + url.toString();
    }
    void revealInFileViewer(const QUrl& url) override {
        requests << QStringLiteral("reveal ") + url.toString();
    }

    QStringList requests;
};
