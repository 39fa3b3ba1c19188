// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QString>

#include <iosfwd>
#include <optional>
#include <string_view>

// A text of a record that may still be as docks.json holds it: the inside of a JSON string in
// the file read at start, escapes and all, made into a QString only when something reads it. A
// tray of 20,000 clippings thus costs its file's bytes, not twice as many again in UTF-16, and no
// time at start; an untouched text is written back byte for byte as it was read. Copies share
// the file's bytes; nothing changes once made, so a copy may be read on another thread.
class DockText {
public:
    DockText() = default;
    DockText(QString text) : text_(std::move(text)) {} // NOLINT: a text is a DockText
    // The inside of a JSON string at `offset` in `file`, `size` bytes, holding no escapes but the
    // two-character ones (\" \\ \/ \b \f \n \r \t): checked already by the reader.
    static DockText fromJson(const QByteArray& file, qsizetype offset, qsizetype size);

    QString toString() const;
    bool isEmpty() const { return isKeptAsRead() ? size_ == 0 : text_.isEmpty(); }
    // The escaped inside of the JSON string it was read from, while it is kept that way.
    std::optional<std::string_view> json() const;
    bool isKeptAsRead() const { return !file_.isNull(); }

    friend bool operator==(const DockText& a, const DockText& b);
    friend bool operator==(const DockText& a, const QString& b) { return a.toString() == b; }

private:
    QString text_;
    QByteArray file_;
    qsizetype offset_ = 0;
    qsizetype size_ = 0;
};

size_t qHash(const DockText& text, size_t seed = 0) noexcept;
// For test output.
void PrintTo(const DockText& text, std::ostream* out);
