// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether one of our own menus, dialogs or drags is open. While one is, the pointer over it is
// the user working with a dock, and no dock hides itself from under it.
class OwnPopups {
public:
    static bool isOpen();

    // Held for the length of a drag that a dock started.
    class DragScope {
    public:
        DragScope() { ++drags_; }
        ~DragScope() { --drags_; }
        DragScope(const DragScope&) = delete;
        DragScope& operator=(const DragScope&) = delete;
    };

private:
    static inline int drags_ = 0;
};
