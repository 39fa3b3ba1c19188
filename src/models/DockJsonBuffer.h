// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Room for the text of docks.json, which runs to tens of megabytes for a heavy user of clippings.
// Each page touched for the first time costs a page fault of microseconds (several times that
// under some virtual machines): a 12 MB file read in a fresh process spent more time in faults
// than in parsing. Large buffers are therefore backed by transparent huge pages where the kernel
// gives them on request (one fault per 2 MB instead of 512).
namespace DockJsonBuffer {

// Sets `bytes` to `size` bytes of undefined content with room for `spare` more after them. With
// `filling`, the caller is about to write every byte, and the pages are mapped in one go.
void allocate(QByteArray& bytes, qsizetype size, qsizetype spare, bool filling);

} // namespace DockJsonBuffer
