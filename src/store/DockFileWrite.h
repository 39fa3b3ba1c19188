// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"

#include <QString>

#include <vector>

class FileSystem;

// One save of docks.json, start to end: encodes the docks, makes sure the next start could read
// the file back, makes the folder, moves an unreadable file aside first when asked, and writes
// the file atomically. It uses nothing but its arguments, so the store runs it on a worker from a
// snapshot of the docks, with a file system that is safe to use there.
class DockFileWrite {
public:
    enum class Result { saved, failed, tooLarge };
    struct Outcome {
        Result result = Result::saved;
        QString problem;         // for the user, when not saved
        bool movedAside = false; // the unreadable file is out of the way
    };

    static Outcome run(const std::vector<Dock>& docks, FileSystem& fileSystem,
                       const QString& dataDirectory, const QString& filePath,
                       bool moveUnreadableFirst);

private:
    static bool moveUnreadableFileAside(FileSystem& fileSystem, const QString& filePath);
};
