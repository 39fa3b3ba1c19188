// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Describes why a docks.json is not JSON at all, for someone fixing it by hand.
namespace DockJsonSyntax {
// simdjson only names the kind of problem; Qt's parser also knows where it is. Its line, column
// and wording are used when it finds a problem too, else `parserMessage` alone.
QString describe(const QByteArray& json, const char* parserMessage);
} // namespace DockJsonSyntax
