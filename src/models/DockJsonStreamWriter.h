// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockJsonWriter.h"

#include <QByteArrayView>

#include <functional>

// Writes the canonical form of docks too many to hold as records: the docks and tabs come from a
// skeleton (their items left out), the items one at a time in document order, and the text goes
// out a chunk at a time. A file is read twice this way, once to check it and keep its skeleton,
// once to hand over its items.
class DockJsonStreamWriter {
public:
    using Output = std::function<bool(QByteArrayView text)>;

    DockJsonStreamWriter(const std::vector<Dock>& skeleton, Output output);

    // The next item, of tab `tab` of dock `dock`. False once the output failed.
    bool item(std::size_t dock, std::size_t tab, const DockItem& item);
    // Writes what is left of the skeleton. False when the output failed or a number could not be
    // written.
    bool finish();

private:
    void openFrom(std::size_t dock);
    void closeTab();
    bool flush(qsizetype atLeast);

    const std::vector<Dock>& skeleton_;
    Output output_;
    DockJsonWriter writer_;
    std::size_t dock_ = 0; // the tab open: tab_ of dock_, until dock_ is past the last dock
    std::size_t tab_ = 0;
    bool firstItem_ = true;
    bool ok_ = true;
};
