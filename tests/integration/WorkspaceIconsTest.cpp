#include "backends/desktop/DesktopFileIcons.h"
#include "integration/support/XSession.h"
#include "support/IconResolver.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    // Executable: the user's own launchers, which the desktop trusts to show their own icons.
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

// Under plain X the theme is hicolor; the Adwaita fallback makes named icons resolve.
TEST(WorkspaceIconsTest, FilesFoldersAndDesktopEntriesGetTheDesktopsIcons) {
    IconResolver::prepareIconTheme();
    DesktopFileIcons icons;
    const QString home = QDir::homePath();
    write(home + QStringLiteral("/notes.txt"), "text\n");
    EXPECT_FALSE(icons.iconForFile(home + QStringLiteral("/notes.txt")).isNull());
    EXPECT_FALSE(icons.iconForFile(home).isNull());

    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(home + QStringLiteral("/red.png")));
    write(home + QStringLiteral("/own.desktop"), "[Desktop Entry]\nType=Application\nName=Own\n"
                                                 "Exec=true\nIcon=" +
                                                     home.toUtf8() + "/red.png\n");
    const QIcon own = icons.iconForFile(home + QStringLiteral("/own.desktop"));
    ASSERT_FALSE(own.isNull());
    EXPECT_EQ(QColor(own.pixmap(8, 8).toImage().pixel(4, 4)), QColor(Qt::red));

    write(home + QStringLiteral("/themed.desktop"),
          "[Desktop Entry]\nType=Application\nName=Themed\nExec=true\nIcon=utilities-terminal\n");
    EXPECT_FALSE(icons.iconForFile(home + QStringLiteral("/themed.desktop")).isNull());
    EXPECT_FALSE(IconResolver::symbol(QStringLiteral("trash")).isNull());
}
