# SPDX-License-Identifier: GPL-3.0-or-later
# Installation by freedesktop's and Debian's conventions (cmake --install, DESTDIR staging) and
# the Debian package made from the same rules (cpack -G DEB).
include(GNUInstallDirs)

set(MOORLINE_RELEASE_DATE 2026-12-06)
set(MOORLINE_RELEASE_DATE_RFC2822 "Sun, 06 Dec 2026 12:00:00 +0000")
set(MOORLINE_PACKAGE_MAINTAINER "Moorline Developers <moorline@example.org>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")

# A packager's umask must not leak into the package: directories are always rwxr-xr-x.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(_moorline_staged "${PROJECT_BINARY_DIR}/install")
file(MAKE_DIRECTORY "${_moorline_staged}")
find_program(MOORLINE_GZIP gzip REQUIRED)

# Debian wants manual pages and changelogs compressed at the highest level and without a
# timestamp, so that two builds of one version give the same bytes.
function(moorline_gzip source output)
  execute_process(COMMAND "${MOORLINE_GZIP}" -9n -c INPUT_FILE "${source}" OUTPUT_FILE "${output}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
endfunction()

# Version and date go into the metainfo, the manual pages and the changelog; configure_file makes
# each one a configure dependency, so an edit re-runs this.
configure_file(data/${MOORLINE_APP_ID}.metainfo.xml.in
               "${_moorline_staged}/${MOORLINE_APP_ID}.metainfo.xml" @ONLY)
foreach(page moorline.1 moorline-docks.1)
  configure_file(data/${page} "${_moorline_staged}/${page}" @ONLY)
  moorline_gzip("${_moorline_staged}/${page}" "${_moorline_staged}/${page}.gz")
endforeach()
configure_file(data/changelog.in "${_moorline_staged}/changelog" @ONLY)
moorline_gzip("${_moorline_staged}/changelog" "${_moorline_staged}/changelog.gz")

install(TARGETS moorline moorline-docks RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# KWin hands its window list only to a program whose desktop entry names the interface and whose
# Exec is the very file that runs, as an absolute path: the entry gets the prefix of the install
# it is part of (given at install time for the package), not the configured one.
install(CODE "
  file(READ \"${PROJECT_SOURCE_DIR}/data/${MOORLINE_APP_ID}.desktop\" entry)
  string(REPLACE \"\nExec=moorline\n\"
                 \"\nExec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/moorline\n\"
                 entry \"\${entry}\")
  if(NOT entry MATCHES \"\nExec=/\")
    message(FATAL_ERROR \"the desktop entry's Exec line is not the one this rule knows\")
  endif()
  file(WRITE \"${_moorline_staged}/${MOORLINE_APP_ID}.desktop\" \"\${entry}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
       TYPE FILE PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
       FILES \"${_moorline_staged}/${MOORLINE_APP_ID}.desktop\")")
# The program draws its own copy from its resources; this one is for launchers and menus.
install(FILES data/icons/moorline.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MOORLINE_APP_ID}.svg)
install(FILES "${_moorline_staged}/${MOORLINE_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${_moorline_staged}/moorline.1.gz" "${_moorline_staged}/moorline-docks.1.gz"
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Named after the package, not the project (GNUInstallDirs' DOCDIR would say "Moorline").
install(FILES data/copyright "${_moorline_staged}/changelog.gz"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/moorline)

# The Debian package. Version without a Debian revision: the package is native, its changelog
# is changelog.gz above.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME moorline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${MOORLINE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
# Debian wants the long description wrapped below 80 columns; CPack keeps the lines as they are.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "floating docks of applications, files, folders, URLs and docklets"
  "Moorline keeps floating docks on the desktop: launcher docks of applications,"
  "files, folders, web addresses, text clippings and live docklets (a clock, the"
  "trash, the free disk space, a processor meter), an application dock of the"
  "running applications, and a clippings dock for text and files dropped onto it."
  ""
  "Each dock can have a global hot key and can hide toward a screen edge."
  "Moorline lives in the system tray and runs on X11 desktops with an EWMH window"
  "manager. The moorline-docks command checks and formats its docks.json.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins at run time, so invisible to dpkg-shlibdeps: the X11 platform plugin and the
# SVG image plugin that draws every icon of ours.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
# Our icon lives in the hicolor theme; the symbols fall back to Adwaita's where the desktop's
# own theme has none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, adwaita-icon-theme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# For scripts/check-install: whether the installed icon is found by name through the theme.
if(MOORLINE_TESTS)
  add_executable(moorline_icon_lookup tests/install/IconThemeLookup.cpp)
  target_link_libraries(moorline_icon_lookup PRIVATE Qt6::Gui)
endif()
