#pragma once

#include "platform/Workspace.h"

#include <QList>

// Records every request, in order, as (operation, argument): "openPath" with the path, "openUrl"
// and "reveal" with the URL in full.
class FakeWorkspace final : public Workspace {
public:
    struct Request {
        QString operation;
        QString argument;

        bool operator==(const Request&) const = default;
    };

    void openPath(const QString& path) override;
    void openUrl(const QUrl& url) override;
    void revealInFileViewer(const QUrl& url) override;

    QList<Request> requests;
};
