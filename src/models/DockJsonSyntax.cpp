// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonSyntax.h"

#include <QJsonDocument>
#include <QJsonParseError>

QString DockJsonSyntax::describe(const QByteArray& json, const char* parserMessage) {
    QJsonParseError error;
    QJsonDocument::fromJson(json, &error);
    if (error.error == QJsonParseError::NoError)
        return QString::fromLatin1(parserMessage);
    const qsizetype offset = std::clamp<qsizetype>(error.offset, 0, json.size());
    const QByteArrayView before(json.constData(), offset);
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(error.errorString());
}
