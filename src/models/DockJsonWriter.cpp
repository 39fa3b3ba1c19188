// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonWriter.h"

#include "models/DockJsonBase64.h"
#include "models/DockJsonBuffer.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// How an ASCII character is written inside a JSON string: 0 as itself, 'u' as \u00XX, any other
// letter as that two-character escape. '/' is escaped so that the output matches the canonical
// form.
constexpr std::array<char, 128> asciiEscapes = [] {
    std::array<char, 128> table{};
    for (int c = 0; c < 0x20; ++c)
        table[c] = 'u';
    table['\b'] = 'b';
    table['\f'] = 'f';
    table['\n'] = 'n';
    table['\r'] = 'r';
    table['\t'] = 't';
    table['"'] = '"';
    table['\\'] = '\\';
    table['/'] = '/';
    return table;
}();

constexpr char hexDigits[] = "0123456789ABCDEF";

// Every UTF-16 unit becomes at most six bytes (\u00XX, or three UTF-8 bytes; a surrogate pair
// takes four bytes for two units).
constexpr qsizetype maxBytesPerUnit = 6;

// Room for the whole document, generous for text: pages that are never written cost no memory,
// while outgrowing the buffer means copying everything written so far.
qsizetype estimatedSize(const std::vector<Dock>& docks) {
    auto text = [](const QString& value) { return value.size() * 3 / 2; };
    qsizetype size = 16;
    for (const Dock& dock : docks) {
        size += 640 + text(dock.name);
        for (const DockTab& tab : dock.tabs) {
            size += 80 + text(tab.name);
            for (const DockItem& item : tab.items) {
                size += 160 + text(item.name);
                size += item.path ? text(*item.path) : 0;
                size += item.urlString ? text(*item.urlString) : 0;
                if (item.textContent)
                    size += item.textContent->json() ? qsizetype(item.textContent->json()->size())
                                                     : text(item.textContent->toString());
                size += item.customIconData ? item.customIconData->size() * 3 / 2 + 4 : 0;
            }
        }
    }
    return size;
}

// Four UTF-16 units in one 64-bit word. Flags (the top bit of a lane) the units that a JSON
// string cannot hold as they are: beyond ASCII, control characters, quote, backslash, slash.
// Word-wide tests, no branches; the lowest flag is exact, higher ones may be false.
std::uint64_t specialUnits(std::uint64_t units) {
    constexpr std::uint64_t ones = 0x0001000100010001;
    constexpr std::uint64_t highs = 0x8000800080008000;
    auto zeroLanes = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
    const std::uint64_t beyond = units & 0xFF80FF80FF80FF80;
    const std::uint64_t nonAscii = (beyond | ((beyond & ~highs) + 0x7FFF * ones)) & highs;
    const std::uint64_t control = (units - 0x20 * ones) & ~units & highs;
    return nonAscii | control | zeroLanes(units ^ ('"' * ones)) | zeroLanes(units ^ ('\\' * ones)) |
           zeroLanes(units ^ ('/' * ones));
}

} // namespace

std::optional<QByteArray> DockJsonWriter::write(const std::vector<Dock>& docks) {
    DockJsonWriter writer(estimatedSize(docks), true);
    writer.raw('[');
    for (std::size_t i = 0; i < docks.size(); ++i) {
        if (i > 0)
            writer.raw(',');
        writer.writeDock(docks[i]);
    }
    writer.raw(']');
    if (!writer.writable_)
        return std::nullopt;
    writer.buffer_.truncate(writer.used_);
    return std::move(writer.buffer_);
}

DockJsonWriter::DockJsonWriter(qsizetype capacity, bool asRead) : asRead_(asRead) {
    DockJsonBuffer::allocate(buffer_, capacity, 0, false);
    data_ = buffer_.data();
}

void DockJsonWriter::writeDock(const Dock& dock) {
    writeDockHead(dock);
    for (std::size_t i = 0; i < dock.tabs.size(); ++i) {
        if (i > 0)
            raw(',');
        writeTab(dock.tabs[i]);
    }
    writeDockTail(dock);
}

void DockJsonWriter::writeDockHead(const Dock& dock) {
    raw(R"({"id":)");
    uuid(dock.id);
    raw(R"(,"name":)");
    string(dock.name);
    raw(R"(,"kind":)");
    latin1String(storedText(dock.kind));
    raw(R"(,"tabs":[)");
}

void DockJsonWriter::writeDockTail(const Dock& dock) {
    raw(R"(],"selectedTabIndex":)");
    integer(dock.selectedTabIndex);
    raw(R"(,"layout":)");
    latin1String(storedText(dock.layout));
    raw(R"(,"orientation":)");
    latin1String(storedText(dock.orientation));
    raw(R"(,"style":)");
    latin1String(storedText(dock.style));
    raw(R"(,"position":)");
    writePosition(dock.position);
    raw(R"(,"columns":)");
    integer(dock.columns);
    raw(R"(,"appearance":)");
    writeAppearance(dock.appearance);
    raw(R"(,"autoHide":)");
    boolean(dock.autoHide);
    raw(R"(,"alwaysOnTop":)");
    boolean(dock.alwaysOnTop);
    raw(R"(,"isVisible":)");
    boolean(dock.isVisible);
    raw(R"(,"hotKey":)");
    writeHotKey(dock.hotKey);
    raw(R"(,"screenEdgeForAutoHide":)");
    latin1String(storedText(dock.screenEdgeForAutoHide));
    raw('}');
}

void DockJsonWriter::writeTab(const DockTab& tab) {
    writeTabHead(tab);
    for (std::size_t i = 0; i < tab.items.size(); ++i) {
        if (i > 0)
            raw(',');
        writeItem(tab.items[i]);
    }
    raw("]}");
}

void DockJsonWriter::writeTabHead(const DockTab& tab) {
    raw(R"({"id":)");
    uuid(tab.id);
    raw(R"(,"name":)");
    string(tab.name);
    raw(R"(,"items":[)");
}

void DockJsonWriter::writeItem(const DockItem& item) {
    raw(R"({"id":)");
    uuid(item.id);
    raw(R"(,"kind":)");
    latin1String(storedText(item.kind));
    raw(R"(,"name":)");
    string(item.name);
    if (item.path) {
        raw(R"(,"path":)");
        string(*item.path);
    }
    if (item.urlString) {
        raw(R"(,"urlString":)");
        string(*item.urlString);
    }
    if (item.docklet) {
        raw(R"(,"docklet":)");
        latin1String(storedText(*item.docklet));
    }
    if (item.textContent) {
        raw(R"(,"textContent":)");
        text(*item.textContent);
    }
    if (item.customIconData) {
        raw(R"(,"customIconData":)");
        base64(*item.customIconData);
    }
    raw(R"(,"createdAt":)");
    number(item.createdAt);
    raw('}');
}

void DockJsonWriter::writePosition(const DockPosition& position) {
    raw(R"({"x":)");
    number(position.x);
    raw(R"(,"y":)");
    number(position.y);
    raw(R"(,"width":)");
    number(position.width);
    raw(R"(,"height":)");
    number(position.height);
    raw('}');
}

void DockJsonWriter::writeAppearance(const DockAppearance& appearance) {
    raw(R"({"iconSize":)");
    number(appearance.iconSize);
    raw(R"(,"opacity":)");
    number(appearance.opacity);
    raw(R"(,"tintRed":)");
    number(appearance.tintRed);
    raw(R"(,"tintGreen":)");
    number(appearance.tintGreen);
    raw(R"(,"tintBlue":)");
    number(appearance.tintBlue);
    raw(R"(,"showLabels":)");
    boolean(appearance.showLabels);
    raw(R"(,"cornerRadius":)");
    number(appearance.cornerRadius);
    raw('}');
}

void DockJsonWriter::writeHotKey(const HotKeyBinding& hotKey) {
    raw('{');
    if (hotKey.keyCode) {
        raw(R"("keyCode":)");
        integer(*hotKey.keyCode);
    }
    if (hotKey.modifiers) {
        raw(hotKey.keyCode ? R"(,"modifiers":)" : R"("modifiers":)");
        integer(*hotKey.modifiers);
    }
    raw('}');
}

void DockJsonWriter::ensure(qsizetype extra) {
    if (used_ + extra <= buffer_.size())
        return;
    buffer_.resize(std::max(buffer_.size() * 2, used_ + extra)); // rare: the estimate is generous
    data_ = buffer_.data();
}

void DockJsonWriter::raw(std::string_view text) {
    const auto size = static_cast<qsizetype>(text.size());
    ensure(size);
    std::memcpy(data_ + used_, text.data(), text.size());
    used_ += size;
}

void DockJsonWriter::raw(char c) {
    ensure(1);
    data_[used_++] = c;
}

void DockJsonWriter::text(const DockText& text) {
    if (const std::optional<std::string_view> json = text.json(); json && asRead_) {
        raw('"');
        raw(*json);
        raw('"');
        return;
    }
    string(text.toString());
}

void DockJsonWriter::string(QStringView text) {
    ensure(text.size() * maxBytesPerUnit + 2);
    char* out = data_ + used_;
    *out++ = '"';
    const char16_t* unit = text.utf16();
    const char16_t* const end = unit + text.size();
    while (unit < end) {
        // Most text is plain ASCII: take it four units at a time up to the next unit that needs
        // more (the packing assumes the lane order of a little-endian machine). Clippings have
        // one every few words, so the plain units before it are taken in the same step.
        while (std::endian::native == std::endian::little && end - unit >= 4) {
            std::uint64_t units;
            std::memcpy(&units, unit, sizeof units);
            const auto bytes = static_cast<std::uint32_t>((units & 0xFF) | ((units >> 8) & 0xFF00) |
                                                          ((units >> 16) & 0xFF0000) |
                                                          ((units >> 24) & 0xFF000000));
            std::memcpy(out, &bytes, sizeof bytes); // bytes past the plain ones are overwritten
            const std::uint64_t special = specialUnits(units);
            const int plain = special == 0 ? 4 : std::countr_zero(special) / 16;
            out += plain;
            unit += plain;
            if (plain < 4)
                break;
        }
        if (unit == end)
            break;
        const char16_t c = *unit++;
        if (c < 0x80) {
            const char escape = asciiEscapes[c];
            if (escape == 0) {
                *out++ = static_cast<char>(c);
            } else if (escape != 'u') {
                *out++ = '\\';
                *out++ = escape;
            } else {
                std::memcpy(out, "\\u00", 4);
                out[4] = hexDigits[c >> 4];
                out[5] = hexDigits[c & 0xF];
                out += 6;
            }
            continue;
        }
        char32_t code = c;
        if (QChar::isSurrogate(c)) {
            // A lone surrogate has no UTF-8 form; it is written as U+FFFD, as QString::toUtf8
            // would do.
            if (QChar::isHighSurrogate(c) && unit < end && QChar::isLowSurrogate(*unit))
                code = QChar::surrogateToUcs4(c, *unit++);
            else
                code = 0xFFFD;
        }
        if (code < 0x800) {
            *out++ = static_cast<char>(0xC0 | (code >> 6));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (code >> 12));
            *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (code >> 18));
            *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    *out++ = '"';
    used_ = out - data_;
}

void DockJsonWriter::latin1String(const char* text) {
    // Stored enumeration texts are plain ASCII letters: nothing to escape.
    raw('"');
    raw(std::string_view(text));
    raw('"');
}

void DockJsonWriter::number(double value) {
    if (!std::isfinite(value)) {
        writable_ = false;
        raw('0');
        return;
    }
    // Readers take "-0" for the integer zero and give up on integers beyond 64 bits, so both
    // are written in a form that reads as a double.
    if (value == 0 && std::signbit(value)) {
        raw("-0.0");
        return;
    }
    constexpr qsizetype room = 32;
    ensure(room);
    char* out = data_ + used_;
    auto [end, error] = std::to_chars(out, out + room, value);
    const bool integral =
        std::memchr(out, '.', end - out) == nullptr && std::memchr(out, 'e', end - out) == nullptr;
    if (integral && std::fabs(value) >= 1e18)
        end = std::to_chars(out, out + room, value, std::chars_format::scientific).ptr;
    used_ = end - data_;
}

void DockJsonWriter::integer(long long value) {
    constexpr qsizetype room = 24;
    ensure(room);
    used_ = std::to_chars(data_ + used_, data_ + used_ + room, value).ptr - data_;
}

void DockJsonWriter::boolean(bool value) {
    raw(value ? std::string_view("true") : std::string_view("false"));
}

void DockJsonWriter::uuid(const QUuid& id) {
    ensure(38);
    char* out = data_ + used_;
    *out++ = '"';
    auto hex = [&out](unsigned long long value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
            *out++ = hexDigits[(value >> shift) & 0xF];
    };
    hex(id.data1, 8);
    *out++ = '-';
    hex(id.data2, 4);
    *out++ = '-';
    hex(id.data3, 4);
    *out++ = '-';
    hex(id.data4[0], 2);
    hex(id.data4[1], 2);
    *out++ = '-';
    for (int i = 2; i < 8; ++i)
        hex(id.data4[i], 2);
    *out++ = '"';
    used_ = out - data_;
}

void DockJsonWriter::base64(const QByteArray& bytes) {
    ensure(DockJsonBase64::maxEscapedSize(bytes.size()) + 2);
    char* out = data_ + used_;
    *out++ = '"';
    out = DockJsonBase64::encodeEscaped(bytes, out);
    *out++ = '"';
    used_ = out - data_;
}
