// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// Lets the user pick files and folders to put in a dock. Asynchronous: the answer comes later,
// from the event loop, and the caller may be gone by then (the callback must check).
class PathChooser {
public:
    using Answer = std::function<void(const QStringList& paths)>;

    virtual ~PathChooser() = default;

    // Opens the chooser over `parent` (may be null). `answer` gets the chosen paths, none when
    // the user cancelled; it is called at most once.
    virtual void choosePaths(QWidget* parent, Answer answer) = 0;
};
