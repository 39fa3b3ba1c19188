// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockText.h"

#include "models/DockJsonText.h"

#include <ostream>
#include <string>

DockText DockText::fromJson(const QByteArray& file, qsizetype offset, qsizetype size) {
    DockText text;
    text.file_ = file;
    text.offset_ = offset;
    text.size_ = size;
    return text;
}

std::optional<std::string_view> DockText::json() const {
    if (!isKeptAsRead())
        return std::nullopt;
    return std::string_view(file_.constData() + offset_, std::size_t(size_));
}

QString DockText::toString() const {
    const std::optional<std::string_view> escaped = json();
    if (!escaped)
        return text_;
    if (escaped->find('\\') == std::string_view::npos)
        return DockJsonText::toQString(*escaped);
    std::string unescaped;
    DockJsonText::unescapeShort(*escaped, unescaped);
    return DockJsonText::toQString(unescaped);
}

bool operator==(const DockText& a, const DockText& b) {
    // The same bytes read the same; other spellings of one text compare as text.
    if (const auto left = a.json(), right = b.json(); left && right && *left == *right)
        return true;
    return a.toString() == b.toString();
}

size_t qHash(const DockText& text, size_t seed) noexcept {
    return qHash(text.toString(), seed);
}

void PrintTo(const DockText& text, std::ostream* out) {
    *out << '"' << text.toString().toStdString() << '"';
}
