// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SessionProbe.h"

#include "backends/wayland/LayerShellPanels.h"
#include "backends/wayland/WaylandConnection.h"

#include <QFileInfo>
#include <QLibraryInfo>

#include <cstring>

namespace {

QString requestedPlatform(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return QString::fromLocal8Bit(argv[i + 1]).section(u';', 0, 0).section(u':', 0, 0);
    return qEnvironmentVariable("QT_QPA_PLATFORM").section(u';', 0, 0).section(u':', 0, 0);
}

bool hasQtWaylandPlugin() {
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    return QFileInfo::exists(plugins + u"/platforms/libqwayland-generic.so"_qs);
}

} // namespace

SessionFacts SessionProbe::gather(const WaylandConnection* wayland, int argc, char** argv) {
    SessionFacts facts;
    facts.wayland = wayland != nullptr;
    facts.x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    facts.requestedPlatform = requestedPlatform(argc, argv);
    facts.qtWaylandPlugin = facts.wayland && hasQtWaylandPlugin();
    facts.layerPanelsUsable = LayerShellPanels::isUsableWithThisQt();
    facts.desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    // Set to "disabled:" at start when the bus does not answer.
    facts.sessionBus = !qgetenv("DBUS_SESSION_BUS_ADDRESS").startsWith("disabled:");
    if (wayland)
        for (const WaylandGlobal& global : wayland->globals().all())
            facts.globals << QString::fromLatin1(global.interface);
    return facts;
}

SessionProbe::SessionProbe(int argc, char** argv)
    : argc_(argc), argv_(argv), wayland_(WaylandConnection::connect()) {
    facts_ = gather(wayland_.get(), argc, argv);
    choice_ = SessionChoice::choose(facts_);
    if (choice_.panels == SessionChoice::Panels::layerSurfaces)
        LayerShellPanels::prepareQt();
    if (facts_.requestedPlatform.isEmpty())
        platformName_ = choice_.qtPlatform.toLatin1();
}

SessionProbe::~SessionProbe() = default;

std::unique_ptr<WaylandConnection> SessionProbe::takeWayland() {
    return std::move(wayland_);
}

std::vector<char*> SessionProbe::arguments() {
    std::vector<char*> arguments(argv_, argv_ + argc_);
    if (!platformName_.isEmpty())
        arguments.insert(arguments.begin() + 1, {platformOption_.data(), platformName_.data()});
    arguments.push_back(nullptr);
    return arguments;
}
