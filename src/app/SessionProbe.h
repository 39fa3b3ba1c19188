// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/SessionChoice.h"

#include <QByteArray>

#include <memory>
#include <vector>

class WaylandConnection;

// Looks at the session before the application object exists: connects to the Wayland
// compositor (the connection is kept for the backends that need one of our own), gathers what
// it and the environment offer, chooses the backends and prepares Qt for the choice.
class SessionProbe {
public:
    SessionProbe(int argc, char** argv);
    ~SessionProbe();

    const SessionChoice& choice() const { return choice_; }
    // Null without a compositor. Released to whoever keeps it for the program's life.
    std::unique_ptr<WaylandConnection> takeWayland();
    // argv with "-platform NAME" added when the choice names a platform the user did not ask
    // for: an argument, unlike $QT_QPA_PLATFORM, is not inherited by the programs we start.
    std::vector<char*> arguments();

    static SessionFacts gather(const WaylandConnection* wayland, int argc, char** argv);

private:
    int argc_;
    char** argv_;
    SessionFacts facts_;
    SessionChoice choice_;
    std::unique_ptr<WaylandConnection> wayland_;
    QByteArray platformOption_ = "-platform";
    QByteArray platformName_;
};
