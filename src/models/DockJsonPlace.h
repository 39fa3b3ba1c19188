// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstddef>

// Where a value sits in docks.json, as a chain of keys and indices ("$[0].tabs[1].items[3]").
// Lives on the reader's stack and is only turned into text when something is wrong.
class DockJsonPlace {
public:
    DockJsonPlace() = default;

    DockJsonPlace at(const char* key) const { return DockJsonPlace(this, key, 0); }
    DockJsonPlace at(std::size_t index) const { return DockJsonPlace(this, nullptr, index); }

    QString toString() const;

private:
    DockJsonPlace(const DockJsonPlace* parent, const char* key, std::size_t index)
        : parent_(parent), key_(key), index_(index) {}

    void appendTo(QString& text) const;

    const DockJsonPlace* parent_ = nullptr;
    const char* key_ = nullptr; // one of the reader's static key names
    std::size_t index_ = 0;     // used when key_ is null and there is a parent
};
