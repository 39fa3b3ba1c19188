// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Lets the user pick an image file. Asynchronous: the answer comes later, from the event loop,
// and the caller may be gone by then (the callback must check).
class ImageFileChooser {
public:
    using Answer = std::function<void(std::optional<QString> path)>;

    virtual ~ImageFileChooser() = default;

    // Opens the chooser over `parent` (may be null). `answer` gets the chosen file's path, or
    // nothing when the user cancelled; it is called at most once.
    virtual void chooseImage(QWidget* parent, Answer answer) = 0;
};
