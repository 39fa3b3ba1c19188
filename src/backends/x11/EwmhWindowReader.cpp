// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/EwmhWindowReader.h"

#include <QImage>
#include <QPixmap>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Window lists and atom lists are short; an icon set may hold several large images.
constexpr std::uint32_t listLength = 1u << 16;
constexpr std::uint32_t iconLength = 1u << 20;
constexpr std::uint32_t largestIconSide = 1024;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeDeleter>;

// The reply, or nothing for a vanished window (the error is consumed here, so it never reaches
// Qt's error handler).
PropertyReply take(xcb_connection_t* connection, xcb_get_property_cookie_t cookie,
                   bool* windowGone = nullptr) {
    xcb_generic_error_t* error = nullptr;
    PropertyReply reply(xcb_get_property_reply(connection, cookie, &error));
    if (error) {
        if (windowGone && error->error_code == XCB_WINDOW)
            *windowGone = true;
        std::free(error);
    }
    return reply;
}

// The 32-bit items of a reply of the given type, or an empty span.
std::pair<const std::uint32_t*, std::size_t> items32(const PropertyReply& reply, xcb_atom_t type) {
    if (!reply || reply->format != 32 || reply->type != type)
        return {nullptr, 0};
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    return {static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())), length};
}

xcb_get_property_cookie_t request(xcb_connection_t* connection, xcb_window_t window,
                                  xcb_atom_t property, xcb_atom_t type, std::uint32_t length) {
    return xcb_get_property(connection, 0, window, property, type, 0, length);
}

void readClass(const PropertyReply& reply, AppMatchWindow& window) {
    if (!reply || reply->format != 8 || reply->type != XCB_ATOM_STRING)
        return;
    // "instance\0class\0"; ICCCM strings are Latin-1.
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    const std::size_t instanceEnd = strnlen(bytes, length);
    window.wmInstance = QString::fromLatin1(bytes, static_cast<qsizetype>(instanceEnd));
    if (instanceEnd + 1 < length) {
        const char* wmClass = bytes + instanceEnd + 1;
        window.wmClass = QString::fromLatin1(
            wmClass, static_cast<qsizetype>(strnlen(wmClass, length - instanceEnd - 1)));
    }
}

struct Replies {
    PropertyReply pid, wmClass, type, state;
};

// Replaces the parts of `window` whose properties were read.
void readProperties(const EwmhAtoms& atoms, std::uint8_t read, const Replies& replies,
                    AppMatchWindow& window) {
    using P = EwmhWindowReader::Property;
    if (read & P::pid) {
        window.pid.reset();
        if (const auto [value, n] = items32(replies.pid, XCB_ATOM_CARDINAL);
            n >= 1 && value[0] > 0 && value[0] <= 0x7fffffff)
            window.pid = static_cast<std::int32_t>(value[0]);
    }
    if (read & P::wmClass) {
        window.wmInstance.clear();
        window.wmClass.clear();
        readClass(replies.wmClass, window);
    }
    if (read & P::windowType) {
        // The first type this program knows decides; types of other desktops (KDE's override)
        // are passed over, and a window naming none is a normal one.
        window.isNormal = true;
        const auto [types, typeCount] = items32(replies.type, XCB_ATOM_ATOM);
        for (std::size_t t = 0; t < typeCount; ++t) {
            if (types[t] == atoms.typeNormal || types[t] == atoms.typeDialog)
                break;
            if (atoms.isOtherType(types[t])) {
                window.isNormal = false;
                break;
            }
        }
    }
    if (read & P::state) {
        window.skipsTaskbar = false;
        const auto [states, stateCount] = items32(replies.state, XCB_ATOM_ATOM);
        for (std::size_t s = 0; s < stateCount; ++s)
            window.skipsTaskbar = window.skipsTaskbar || states[s] == atoms.stateSkipTaskbar;
    }
}

} // namespace

EwmhWindowReader::EwmhWindowReader(xcb_connection_t* connection, const EwmhAtoms& atoms,
                                   xcb_window_t root)
    : connection_(connection), atoms_(atoms), root_(root) {}

EwmhWindowReader::RootState EwmhWindowReader::readRoot() const {
    const auto clients =
        request(connection_, root_, atoms_.clientList, XCB_ATOM_WINDOW, listLength);
    const auto active = request(connection_, root_, atoms_.activeWindow, XCB_ATOM_WINDOW, 1);
    RootState state;
    const PropertyReply clientsReply = take(connection_, clients);
    const auto [windows, count] = items32(clientsReply, XCB_ATOM_WINDOW);
    state.clients.assign(windows, windows + count);
    const PropertyReply activeReply = take(connection_, active);
    if (const auto [value, n] = items32(activeReply, XCB_ATOM_WINDOW); n >= 1)
        state.activeWindow = value[0];
    return state;
}

std::vector<xcb_window_t> EwmhWindowReader::readStacking() const {
    return readWindowList(atoms_.clientListStacking);
}

std::vector<xcb_window_t> EwmhWindowReader::readWindowList(xcb_atom_t property) const {
    const PropertyReply reply =
        take(connection_, request(connection_, root_, property, XCB_ATOM_WINDOW, listLength));
    const auto [windows, count] = items32(reply, XCB_ATOM_WINDOW);
    return {windows, windows + count};
}

std::vector<EwmhWindowReader::Window>
EwmhWindowReader::readWindows(const std::vector<Request>& requests) const {
    struct Cookies {
        xcb_get_property_cookie_t pid, wmClass, type, state, icon;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(requests.size());
    for (const Request& r : requests) {
        Cookies c{};
        if (r.properties & pid)
            c.pid = request(connection_, r.window, atoms_.wmPid, XCB_ATOM_CARDINAL, 1);
        if (r.properties & wmClass)
            c.wmClass = request(connection_, r.window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256);
        if (r.properties & windowType)
            c.type = request(connection_, r.window, atoms_.wmWindowType, XCB_ATOM_ATOM, 64);
        if (r.properties & state)
            c.state = request(connection_, r.window, atoms_.wmState, XCB_ATOM_ATOM, 64);
        if (r.icon)
            c.icon = request(connection_, r.window, atoms_.wmIcon, XCB_ATOM_CARDINAL, iconLength);
        cookies.push_back(c);
    }

    std::vector<Window> result;
    result.reserve(requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Request& r = requests[i];
        const Cookies& c = cookies[i];
        bool gone = false;
        // Every reply is taken, also for a window found gone, so that none is left queued.
        Replies replies;
        if (r.properties & pid)
            replies.pid = take(connection_, c.pid, &gone);
        if (r.properties & wmClass)
            replies.wmClass = take(connection_, c.wmClass, &gone);
        if (r.properties & windowType)
            replies.type = take(connection_, c.type, &gone);
        if (r.properties & state)
            replies.state = take(connection_, c.state, &gone);
        const PropertyReply icon = r.icon ? take(connection_, c.icon, &gone) : nullptr;
        if (gone)
            continue;

        Window window;
        window.window = r.window;
        if (r.properties) {
            window.properties = r.known;
            window.properties->window = r.window;
            readProperties(atoms_, r.properties, replies, *window.properties);
        }
        if (r.icon) {
            const auto [data, count] = items32(icon, XCB_ATOM_CARDINAL);
            window.icon = decodeIcon(data, count);
        }
        result.push_back(std::move(window));
    }
    return result;
}

QIcon EwmhWindowReader::decodeIcon(const std::uint32_t* data, std::size_t count) {
    QIcon icon;
    std::size_t at = 0;
    while (data && count - at >= 2) {
        const std::uint32_t width = data[at];
        const std::uint32_t height = data[at + 1];
        if (width == 0 || height == 0 || width > largestIconSide || height > largestIconSide)
            break;
        const std::size_t pixels = std::size_t(width) * height;
        if (count - at - 2 < pixels)
            break;
        // Each item is one 0xAARRGGBB pixel in host order: the layout of Format_ARGB32.
        QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
        if (image.isNull())
            break;
        for (std::uint32_t row = 0; row < height; ++row)
            std::memcpy(image.scanLine(static_cast<int>(row)), data + at + 2 + row * width,
                        width * sizeof(std::uint32_t));
        icon.addPixmap(QPixmap::fromImage(std::move(image)));
        at += 2 + pixels;
    }
    return icon;
}
