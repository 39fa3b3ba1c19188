// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonStreamWriter.h"

namespace {

// Large enough that writing costs few system calls, small beside a file worth streaming.
constexpr qsizetype chunkSize = 1024 * 1024;

} // namespace

DockJsonStreamWriter::DockJsonStreamWriter(const std::vector<Dock>& skeleton, Output output)
    : skeleton_(skeleton), output_(std::move(output)), writer_(chunkSize + chunkSize / 4, false) {
    writer_.raw('[');
    openFrom(0);
}

bool DockJsonStreamWriter::item(std::size_t dock, std::size_t tab, const DockItem& item) {
    while (dock_ < skeleton_.size() && (dock_ != dock || tab_ != tab))
        closeTab();
    if (!firstItem_)
        writer_.raw(',');
    firstItem_ = false;
    writer_.writeItem(item);
    return flush(chunkSize);
}

bool DockJsonStreamWriter::finish() {
    while (dock_ < skeleton_.size())
        closeTab();
    writer_.raw(']');
    return flush(0) && writer_.writable_;
}

// Opens the first tab of the first dock from `dock` on that has one, writing whole the docks
// without tabs on the way.
void DockJsonStreamWriter::openFrom(std::size_t dock) {
    for (dock_ = dock; dock_ < skeleton_.size(); ++dock_) {
        if (dock_ > 0)
            writer_.raw(',');
        writer_.writeDockHead(skeleton_[dock_]);
        if (!skeleton_[dock_].tabs.empty()) {
            tab_ = 0;
            writer_.writeTabHead(skeleton_[dock_].tabs[0]);
            firstItem_ = true;
            return;
        }
        writer_.writeDockTail(skeleton_[dock_]);
    }
}

// Closes the open tab and opens the next one.
void DockJsonStreamWriter::closeTab() {
    writer_.raw("]}");
    const Dock& dock = skeleton_[dock_];
    if (tab_ + 1 < dock.tabs.size()) {
        writer_.raw(',');
        writer_.writeTabHead(dock.tabs[++tab_]);
        firstItem_ = true;
        return;
    }
    writer_.writeDockTail(dock);
    openFrom(dock_ + 1);
}

bool DockJsonStreamWriter::flush(qsizetype atLeast) {
    if (writer_.used_ < atLeast || !ok_)
        return ok_;
    ok_ = output_(QByteArrayView(writer_.data_, writer_.used_));
    writer_.used_ = 0;
    return ok_;
}
