// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopFileIcons.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "support/IconResolver.h"

#include <QDir>

#include <gtest/gtest.h>

// Under plain X the theme is hicolor; the Adwaita fallback makes named icons resolve. (An entry's
// own icon file, and who may show one, is DesktopTest's.)
TEST(DesktopIconsTest, FilesFoldersAndDesktopEntriesGetTheDesktopsIcons) {
    IconResolver::prepareIconTheme();
    const DesktopFileIcons icons;
    const QString home = QDir::homePath();
    ASSERT_TRUE(Session::writeFile(home + u"/notes.txt"_qs, "text\n"));
    EXPECT_FALSE(icons.iconForFile(home + u"/notes.txt"_qs).isNull());
    EXPECT_FALSE(icons.iconForFile(home).isNull());
    // Executable: the user's own launchers, which the desktop trusts to show their own icons.
    ASSERT_TRUE(Session::writeFile(
        home + u"/themed.desktop"_qs,
        "[Desktop Entry]\nType=Application\nName=Themed\nExec=true\nIcon=utilities-terminal\n",
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_FALSE(icons.iconForFile(home + u"/themed.desktop"_qs).isNull());
    EXPECT_FALSE(IconResolver::symbol(u"trash"_qs).isNull());
}
