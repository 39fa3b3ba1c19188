// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

// The moorline-docks command line: checks a hand-edited docks.json or prints its canonical form,
// with the same reader and writer as the program itself.
class DocksCommand {
public:
    enum ExitCode { success = 0, unreadableDocks = 1, usageOrInputOutput = 2 };

    DocksCommand(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    // `arguments` excludes the program name.
    int run(const QStringList& arguments);

private:
    int check(const QString& fileName);
    int format(const QString& fileName);
    // The whole file, or nothing after reporting the failure.
    bool readFile(const QString& fileName, QByteArray& contents);
    // Reads one byte past the largest file Moorline reads, no more.
    static bool readWhole(QFile& file, QByteArray& contents);
    static QString tooLargeProblem();
    int usageError(const QString& problem);
    bool write(std::FILE* stream, QByteArrayView bytes);

    std::FILE* out_;
    std::FILE* err_;
};
