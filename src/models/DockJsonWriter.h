// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"

#include <QByteArray>
#include <QStringView>

#include <optional>
#include <string_view>
#include <vector>

// Writes docks in the canonical docks.json form: compact, keys in declaration order, every '/'
// escaped, upper-case UUIDs, shortest round-trip numbers; a text still as it was read goes out
// byte for byte (the canonical form of one that was written in it). Hand-written into one growing
// buffer because a store full of clippings is written often and must be written quickly.
class DockJsonWriter {
public:
    // Nothing when a double is not finite: such a value has no JSON form.
    static std::optional<QByteArray> write(const std::vector<Dock>& docks);

private:
    friend class DockJsonStreamWriter;

    // `asRead`: texts still as they were read are written so, not made canonical.
    DockJsonWriter(qsizetype capacity, bool asRead);

    void writeDock(const Dock& dock);
    // A dock's fields before its tabs' items, and after them; the same for a tab.
    void writeDockHead(const Dock& dock);
    void writeDockTail(const Dock& dock);
    void writeTab(const DockTab& tab);
    void writeTabHead(const DockTab& tab);
    void writeItem(const DockItem& item);
    void writePosition(const DockPosition& position);
    void writeAppearance(const DockAppearance& appearance);
    void writeHotKey(const HotKeyBinding& hotKey);

    void ensure(qsizetype extra);
    void raw(std::string_view text);
    void raw(char c);
    void string(QStringView text);
    void text(const DockText& text);
    void latin1String(const char* text);
    void number(double value);
    void integer(long long value);
    void boolean(bool value);
    void uuid(const QUuid& id);
    void base64(const QByteArray& bytes);

    QByteArray buffer_;
    char* data_ = nullptr; // buffer_.data(), cached between resizes
    qsizetype used_ = 0;
    bool writable_ = true; // false once a value without a JSON form was met
    bool asRead_ = true;
};
