// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/DocksCommand.h"

#include <QFile>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return DocksCommand(stdout, stderr).run(arguments);
}
