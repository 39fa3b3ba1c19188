// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

// docks.json: the writer produces the canonical compact form; the reader is strict and
// all-or-nothing, and names the place of the first problem ("$[0].tabs[1].items[3]: ...").
class DockCodec {
public:
    struct Decoded {
        std::vector<Dock> docks;
        QString error; // empty on success
        // Items checked but not kept (decodeFirst); a decode of the same bytes reads them.
        std::size_t itemsLeftOut = 0;

        bool ok() const { return error.isEmpty(); }
    };

    struct Summary {
        std::size_t docks = 0;
        std::size_t tabs = 0;
        std::size_t items = 0;
        QString error; // empty on success

        bool ok() const { return error.isEmpty(); }
    };

    // Nothing when the docks cannot be written (a double that is not finite).
    static std::optional<QByteArray> encode(const std::vector<Dock>& docks);
    // Reads in place, without a copy, bytes with FileSystem::readPadding bytes of spare capacity
    // after them (as FileSystem::readAll gives them); others are copied first. Running out of
    // memory makes the file unreadable, not the program end.
    static Decoded decode(const QByteArray& json);
    // As decode, every item checked as strictly, but only the first `itemsPerTab` items of each
    // tab kept: what a panel can show of a tab of thousands of clippings, for the first frame.
    static Decoded decodeFirst(const QByteArray& json, std::size_t itemsPerTab);
    // Reads as strictly as decode, with the same messages, but keeps no item, only counts: a
    // check of a large file needs a fraction of the memory.
    static Summary check(const QByteArray& json);
    // The canonical form of the file, handed to `write` a chunk at a time, without ever holding
    // its records: the file is checked whole first, and nothing is written when it cannot be
    // read. Answers the reader's message then, else an empty text (also when `write` answered
    // false, which stops the writing).
    static QString reformat(const QByteArray& json,
                            const std::function<bool(QByteArrayView text)>& write);
};
