// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <memory>

class WaylandGlobals;
struct xdg_activation_v1;

// Activation tokens for the programs we start, from the compositor's xdg-activation, on Qt's own
// Wayland connection: handed to a program in XDG_ACTIVATION_TOKEN, a token lets a compositor
// that prevents focus stealing bring its first window forward, as the user asked for it by a
// click on one of our windows.
class XdgActivationTokens {
public:
    // Binds xdg-activation on Qt's connection; tokens are empty when Qt does not run on
    // Wayland or the compositor offers none.
    XdgActivationTokens();
    ~XdgActivationTokens();
    XdgActivationTokens(const XdgActivationTokens&) = delete;
    XdgActivationTokens& operator=(const XdgActivationTokens&) = delete;

    // A new token for the input the user gave us last, on the window it went to; empty when the
    // compositor gave none in time. Waits one round trip on a queue of its own.
    QByteArray requestToken();

private:
    std::unique_ptr<WaylandGlobals> globals_;
    xdg_activation_v1* activation_ = nullptr;
};
