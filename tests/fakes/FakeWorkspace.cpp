#include "fakes/FakeWorkspace.h"

void FakeWorkspace::openPath(const QString& path) {
    requests.append({QStringLiteral("openPath"), path});
}

void FakeWorkspace::openUrl(const QUrl& url) {
    requests.append({QStringLiteral("openUrl"), url.toString(QUrl::FullyEncoded)});
}

void FakeWorkspace::revealInFileViewer(const QUrl& url) {
    requests.append({QStringLiteral("reveal"), url.toString(QUrl::FullyEncoded)});
}
