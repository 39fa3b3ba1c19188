// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/PanelFixture.h"

#include <QCoreApplication>
#include <QRegularExpression>

std::ostream& operator<<(std::ostream& out, const WindowGeometry& g) {
    return out << g.x << "," << g.y << " " << g.width << "x" << g.height << " "
               << g.mapState.toStdString();
}

namespace X11Probe {

QString windowId(WId id) {
    return QString::number(quint64(id));
}

QString xprop(WId window, const QString& property) {
    return QString::fromUtf8(Session::xprop(quint32(window), {property}));
}

WindowGeometry xwininfo(WId window) {
    const QString info = QString::fromUtf8(
        Session::run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId(window)}).out);
    const auto field = [&](const char* name) {
        const QRegularExpression re(QStringLiteral("%1:\\s*(\\S+)").arg(QLatin1String(name)));
        return re.match(info).captured(1);
    };
    return {field("Absolute upper-left X").toInt(), field("Absolute upper-left Y").toInt(),
            field("Width").toInt(), field("Height").toInt(), field("Map State")};
}

bool waitForMapState(WId window, const QString& state) {
    return Session::waitUntil([&] { return xwininfo(window).mapState == state; });
}

bool waitForGeometry(WId window, const WindowGeometry& expected) {
    return Session::waitUntil([&] { return xwininfo(window) == expected; });
}

void movePointer(int x, int y) {
    // A warp makes no raw motion, which is what the pointer monitor hears; the step after it does.
    const int stepX = x > 0 ? 1 : -1;
    Session::xdotool({QStringLiteral("mousemove"), QString::number(x - stepX), QString::number(y)});
    Session::xdotool({QStringLiteral("mousemove_relative"), QStringLiteral("--"),
                      QString::number(stepX), QStringLiteral("0")});
}

} // namespace X11Probe

PanelFixture::~PanelFixture() {
    manager.reset();
    QCoreApplication::processEvents();
}

Dock PanelFixture::addDock(const QString& name, DockPosition position, bool autoHide) {
    Dock dock = Dock::makeDefault(DockKind::items, name);
    dock.position = position;
    dock.autoHide = autoHide;
    std::vector<Dock> docks = *store.docks;
    docks.push_back(dock);
    DockStoreTesting::setDocks(store, std::move(docks));
    return dock;
}

void PanelFixture::start() {
    manager = std::make_unique<DockWindowsManager>(
        DockWindowDependencies{store, hotKeys, scheduler, panelFactory, screens, pointerMonitor});
}

DockPanelWindow* PanelFixture::panelOf(const QUuid& id) const {
    auto* controller = manager->controller(id);
    return controller ? dynamic_cast<DockPanelWindow*>(controller->panel()) : nullptr;
}

void PanelFixture::change(const QUuid& id, const std::function<void(Dock&)>& edit) {
    store.mutateDock(id, edit);
}
