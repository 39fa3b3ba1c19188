// SPDX-License-Identifier: GPL-3.0-or-later
// Looks an icon up by name through the icon theme, as menus and launchers do, and tells whether
// what the theme answers is the given file: moorline_icon_lookup NAME FILE. Exit status 0 when it
// is, 1 when the theme has no such icon or another one, 2 on wrong arguments.
#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: moorline_icon_lookup NAME FILE\n", stderr);
        return 2;
    }
    const QString& name = arguments[1];
    const QByteArray printable = name.toUtf8();
    if (!QIcon::hasThemeIcon(name)) {
        std::fprintf(stderr, "%s: not found in the icon theme; searched %s\n",
                     printable.constData(),
                     QIcon::themeSearchPaths().join(u':').toUtf8().constData());
        return 1;
    }
    // The theme draws a scalable icon from its file: the same pixels prove it is this file.
    const QSize size(64, 64);
    const QImage found = QIcon::fromTheme(name).pixmap(size).toImage();
    const QImage expected = QIcon(arguments[2]).pixmap(size).toImage();
    if (expected.isNull() || found != expected) {
        std::fprintf(stderr, "%s: the theme answers another icon than %s\n", printable.constData(),
                     arguments[2].toUtf8().constData());
        return 1;
    }
    std::printf("%s: found in the icon theme\n", printable.constData());
    return 0;
}
