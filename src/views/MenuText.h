// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A user's text (a dock's or a tab's name) as an action's text: Qt reads "&" as the mark of a
// keyboard mnemonic, so "Work & Play" would show as "Work  Play" with an underlined space.
inline QString menuText(QString text) {
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}
