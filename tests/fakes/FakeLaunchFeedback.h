// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchFeedback.h"

#include <QStringList>

// Hands out startup ids "launch-1", "launch-2"... and records "begin ID NAME" and "end ID".
class FakeLaunchFeedback final : public LaunchFeedback {
public:
    LaunchToken begin(const Launch& launch) override {
        const QByteArray id = "launch-" + QByteArray::number(++count);
        events << u"begin "_qs + QString::fromLatin1(id) + u' ' + launch.name;
        return {id, {}};
    }
    void end(const LaunchToken& token) override {
        events << u"end "_qs + QString::fromLatin1(token.startupId);
    }

    int count = 0;
    QStringList events;
};
