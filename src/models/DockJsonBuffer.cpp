// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonBuffer.h"

#include <cstdint>

#include <sys/mman.h>

namespace {

constexpr std::uintptr_t hugePage = 2 * 1024 * 1024;
constexpr std::uintptr_t page = 4096;

} // namespace

void DockJsonBuffer::allocate(QByteArray& bytes, qsizetype size, qsizetype spare, bool filling) {
    bytes.clear();
    bytes.reserve(size + spare);
    bytes.resize(size);
    if (std::uintptr_t(size) < hugePage)
        return;
    // Advice on whole pages inside the buffer; only the 2 MB-aligned stretches can be huge. The
    // advice is only that: where the kernel declines it, nothing changes but the speed.
    const auto start = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t end = (start + std::uintptr_t(size)) & ~(page - 1);
    auto* address = reinterpret_cast<void*>(first);
    ::madvise(address, end - first, MADV_HUGEPAGE);
    if (filling)
        ::madvise(address, end - first, MADV_POPULATE_WRITE);
}
