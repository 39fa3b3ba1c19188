// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor, built by bench/startup.sh: a Qt Widgets program that shows one frameless
// label of a panel's size and nothing else. Moorline's start-up is measured against it.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Moorline"));
    label.setWindowFlag(Qt::FramelessWindowHint);
    label.resize(180, 420);
    label.show();
    return QApplication::exec();
}
