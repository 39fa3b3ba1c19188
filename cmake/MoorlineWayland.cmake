# SPDX-License-Identifier: GPL-3.0-or-later
# The Wayland protocols Moorline speaks, turned into C code by wayland-scanner at build time:
# the wlroots ones from our own descriptions (Debian ships none), xdg-shell from the
# wayland-protocols package, KWin's window list from the plasma-wayland-protocols package.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR)
  message(FATAL_ERROR "wayland-protocols not found")
endif()
find_package(PlasmaWaylandProtocols REQUIRED)

set(MOORLINE_PROTOCOL_DIR "${PROJECT_BINARY_DIR}/wayland-protocols")
file(MAKE_DIRECTORY "${MOORLINE_PROTOCOL_DIR}")
set(MOORLINE_PROTOCOL_SOURCES)
function(moorline_wayland_protocol xml)
  get_filename_component(base "${xml}" NAME_WE)
  set(header "${MOORLINE_PROTOCOL_DIR}/${base}-client-protocol.h")
  set(code "${MOORLINE_PROTOCOL_DIR}/${base}-protocol.c")
  add_custom_command(OUTPUT "${header}" "${code}"
    COMMAND ${WAYLAND_SCANNER} client-header "${xml}" "${header}"
    COMMAND ${WAYLAND_SCANNER} private-code "${xml}" "${code}"
    DEPENDS "${xml}" VERBATIM)
  set(MOORLINE_PROTOCOL_SOURCES ${MOORLINE_PROTOCOL_SOURCES} "${header}" "${code}" PARENT_SCOPE)
endfunction()

moorline_wayland_protocol("${PROJECT_SOURCE_DIR}/src/backends/wayland/protocols/wlr-layer-shell-unstable-v1.xml")
moorline_wayland_protocol("${PROJECT_SOURCE_DIR}/src/backends/wayland/protocols/wlr-foreign-toplevel-management-unstable-v1.xml")
moorline_wayland_protocol("${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml")
moorline_wayland_protocol("${WAYLAND_PROTOCOLS_DIR}/staging/xdg-activation/xdg-activation-v1.xml")
moorline_wayland_protocol("${PLASMA_WAYLAND_PROTOCOLS_DIR}/plasma-window-management.xml")

add_library(moorline_wayland_protocols STATIC ${MOORLINE_PROTOCOL_SOURCES})
set_target_properties(moorline_wayland_protocols PROPERTIES LINKER_LANGUAGE C)
target_include_directories(moorline_wayland_protocols PUBLIC "${MOORLINE_PROTOCOL_DIR}")
target_link_libraries(moorline_wayland_protocols PUBLIC PkgConfig::WAYLAND_CLIENT)
