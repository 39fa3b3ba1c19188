// SPDX-License-Identifier: GPL-3.0-or-later
// A refresh of the running applications with 50 client windows on a private Xvfb (no window
// manager: the benchmark keeps _NET_CLIENT_LIST itself). Needs Xvfb in PATH.
#include "backends/x11/EwmhRunningApplications.h"
#include "runtime/RunningAppsMonitor.h"

#include <QGuiApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int windowCount = 50;

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Another client's windows, as programs would set them up: two windows per process, a class,
// a normal type, every third one hidden, an icon in two sizes.
void createClients(xcb_connection_t* c) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pid = intern(c, "_NET_WM_PID");
    const xcb_atom_t type = intern(c, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t normal = intern(c, "_NET_WM_WINDOW_TYPE_NORMAL");
    const xcb_atom_t state = intern(c, "_NET_WM_STATE");
    const xcb_atom_t hidden = intern(c, "_NET_WM_STATE_HIDDEN");
    const xcb_atom_t icon = intern(c, "_NET_WM_ICON");
    std::vector<std::uint32_t> icons{32, 32};
    icons.resize(2 + 32 * 32, 0xff336699);
    icons.push_back(16);
    icons.push_back(16);
    icons.resize(icons.size() + 16 * 16, 0xff996633);

    std::vector<xcb_window_t> clients;
    for (int i = 0; i < windowCount; ++i) {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const std::uint32_t process = 3'000'000 + static_cast<std::uint32_t>(i / 2);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, pid, XCB_ATOM_CARDINAL, 32, 1, &process);
        const QByteArray wmClass = "bench-app-" + QByteArray::number(i / 2) + '\0' + "Bench App " +
                                   QByteArray::number(i / 2) + '\0';
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(wmClass.size()), wmClass.constData());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, type, XCB_ATOM_ATOM, 32, 1, &normal);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32,
                            i % 3 == 0 ? 1 : 0, &hidden);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, icon, XCB_ATOM_CARDINAL, 32,
                            static_cast<std::uint32_t>(icons.size()), icons.data());
        xcb_map_window(c, w);
        clients.push_back(w);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, intern(c, "_NET_CLIENT_LIST"),
                        XCB_ATOM_WINDOW, 32, windowCount, clients.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, intern(c, "_NET_ACTIVE_WINDOW"),
                        XCB_ATOM_WINDOW, 32, 1, &clients[7]);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

xcb_connection_t* clientConnection = nullptr;

// The monitor's refresh: a snapshot of the window system, then the regular ones sorted.
void BM_RefreshWith50Windows(benchmark::State& state) {
    EwmhRunningApplications source;
    source.snapshot(); // the first read fills the desktop entry index and the icon cache
    std::size_t apps = 0;
    for (auto _ : state) {
        auto snapshot = source.snapshot();
        auto sorted = RunningAppsMonitor::regularSortedByName(std::move(snapshot.applications));
        apps = sorted.size();
        benchmark::DoNotOptimize(sorted);
        benchmark::DoNotOptimize(snapshot.frontmost);
    }
    state.counters["apps"] = static_cast<double>(apps);
}
BENCHMARK(BM_RefreshWith50Windows)->Unit(benchmark::kMicrosecond);

// A refresh after every window changed its state (all properties of 50 windows read again, in
// one batch); the icons stay cached.
void BM_RefreshAfterEveryWindowChanged(benchmark::State& state) {
    EwmhRunningApplications source;
    source.snapshot();
    xcb_connection_t* c = clientConnection;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* list = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, intern(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 100),
        nullptr);
    const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list));
    const xcb_atom_t wmState = intern(c, "_NET_WM_STATE");
    const xcb_atom_t above = intern(c, "_NET_WM_STATE_ABOVE");
    int changes = 0;
    const auto changed = source.onChange([&] { ++changes; });
    std::uint32_t flip = 0;
    for (auto _ : state) {
        state.PauseTiming();
        flip ^= 1;
        changes = 0;
        for (int i = 0; i < windowCount; ++i)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, windows[i], wmState, XCB_ATOM_ATOM, 32,
                                flip, &above);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        while (changes < windowCount)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            RunningAppsMonitor::regularSortedByName(source.snapshot().applications));
    }
    std::free(list);
}
BENCHMARK(BM_RefreshAfterEveryWindowChanged)->Unit(benchmark::kMicrosecond);

// The first refresh of a new source: desktop entries read, every icon decoded.
void BM_FirstRefreshWith50Windows(benchmark::State& state) {
    for (auto _ : state) {
        EwmhRunningApplications source;
        benchmark::DoNotOptimize(source.snapshot());
    }
}
BENCHMARK(BM_FirstRefreshWith50Windows)->Unit(benchmark::kMicrosecond);

// For reference: one request and its reply, the least any refresh costs.
void BM_RoundTrip(benchmark::State& state) {
    auto* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    for (auto _ : state)
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);

// A private server: -displayfd makes it choose a free display and print its number.
bool startServer(QProcess& server) {
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    if (!server.waitForStarted(5000))
        return false;
    QByteArray number;
    while (!number.contains('\n') && server.waitForReadyRead(10000))
        number += server.readAllStandardOutput();
    if (!number.contains('\n'))
        return false;
    qputenv("DISPLAY", ":" + number.trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QProcess server;
    if (!startServer(server)) {
        std::fprintf(stderr, "RunningAppsBench: could not start Xvfb\n");
        return 1;
    }
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        xcb_connection_t* clients = xcb_connect(nullptr, nullptr);
        createClients(clients);
        clientConnection = clients;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        xcb_disconnect(clients);
    }
    server.terminate();
    server.waitForFinished(3000);
    return status;
}
