// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string_view>
#include <utility>

// The closed enumerations of the dock records. Each case has a fixed stored text, its form in
// docks.json; the all-cases order is the declaration order.

enum class DockKind { items, applicationSwitcher, clippings };
enum class DockLayout { grid, list };
enum class DockOrientation { horizontal, vertical };
enum class DockStyle { tabbedPalette, bar };
enum class ScreenEdge { left, right, top, bottom };
enum class DockletKind { clock, trash, diskSpace, cpuMeter, separator };
enum class DockItemKind { application, file, folder, url, docklet, clippingText, separator };

template <typename E> struct EnumCases;

#define MOORLINE_ENUM_CASES(Enum, ...)                                                             \
    template <> struct EnumCases<Enum> {                                                           \
        static constexpr std::pair<Enum, const char*> table[] = {__VA_ARGS__};                     \
    };

MOORLINE_ENUM_CASES(DockKind, {DockKind::items, "items"},
                    {DockKind::applicationSwitcher, "applicationSwitcher"},
                    {DockKind::clippings, "clippings"})
MOORLINE_ENUM_CASES(DockLayout, {DockLayout::grid, "grid"}, {DockLayout::list, "list"})
MOORLINE_ENUM_CASES(DockOrientation, {DockOrientation::horizontal, "horizontal"},
                    {DockOrientation::vertical, "vertical"})
MOORLINE_ENUM_CASES(DockStyle, {DockStyle::tabbedPalette, "tabbedPalette"}, {DockStyle::bar, "bar"})
MOORLINE_ENUM_CASES(ScreenEdge, {ScreenEdge::left, "left"}, {ScreenEdge::right, "right"},
                    {ScreenEdge::top, "top"}, {ScreenEdge::bottom, "bottom"})
MOORLINE_ENUM_CASES(DockletKind, {DockletKind::clock, "clock"}, {DockletKind::trash, "trash"},
                    {DockletKind::diskSpace, "diskSpace"}, {DockletKind::cpuMeter, "cpuMeter"},
                    {DockletKind::separator, "separator"})
MOORLINE_ENUM_CASES(DockItemKind, {DockItemKind::application, "application"},
                    {DockItemKind::file, "file"}, {DockItemKind::folder, "folder"},
                    {DockItemKind::url, "url"}, {DockItemKind::docklet, "docklet"},
                    {DockItemKind::clippingText, "clippingText"},
                    {DockItemKind::separator, "separator"})

#undef MOORLINE_ENUM_CASES

// Every case in all-cases order. DockItemKind is not offered as a list in the interface, but the
// codec still needs its table.
template <typename E> constexpr auto allCases() {
    constexpr auto& table = EnumCases<E>::table;
    std::array<E, std::size(table)> cases{};
    for (std::size_t i = 0; i < cases.size(); ++i)
        cases[i] = table[i].first;
    return cases;
}

// The stored text of a case, as Latin-1 (all stored texts are ASCII).
template <typename E> constexpr const char* storedText(E value) {
    for (const auto& [e, text] : EnumCases<E>::table)
        if (e == value)
            return text;
    return "";
}

template <typename E> QString storedString(E value) {
    return QString::fromLatin1(storedText(value));
}

// The case whose stored text is exactly `text` (case-sensitive), or nothing.
template <typename E> std::optional<E> fromStoredText(std::string_view text) {
    for (const auto& [e, stored] : EnumCases<E>::table)
        if (text == stored)
            return e;
    return std::nullopt;
}
