# The program on Wayland desktops (wayland_session, wayland_frame): Qt's own connection to the
# compositor, and the xdg-activation protocol's client code generated from Debian's
# wayland-protocols. Included from src/CMakeLists.txt after tollvane_qt is defined.
# Debian: libwayland-dev, wayland-protocols, qt6-base-private-dev (the platform's native interface).
include_guard(GLOBAL)

find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)
if(NOT WAYLAND_PROTOCOLS_DIR)
  message(FATAL_ERROR "wayland-protocols not found (Debian: wayland-protocols)")
endif()
enable_language(C)

set(_xml ${WAYLAND_PROTOCOLS_DIR}/staging/xdg-activation/xdg-activation-v1.xml)
set(_gen ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
file(MAKE_DIRECTORY ${_gen})
add_custom_command(
  OUTPUT ${_gen}/xdg-activation-v1-client-protocol.h ${_gen}/xdg-activation-v1-protocol.c
  COMMAND ${WAYLAND_SCANNER} client-header ${_xml} ${_gen}/xdg-activation-v1-client-protocol.h
  COMMAND ${WAYLAND_SCANNER} private-code ${_xml} ${_gen}/xdg-activation-v1-protocol.c
  DEPENDS ${_xml}
  COMMENT "Generating the xdg-activation client code")

# The generated code is C, built without the program's C++ warnings; its header is included as a
# system header for the same reason.
add_library(tollvane_wayland_protocols STATIC
  ${_gen}/xdg-activation-v1-client-protocol.h
  ${_gen}/xdg-activation-v1-protocol.c)
target_include_directories(tollvane_wayland_protocols SYSTEM PUBLIC ${_gen})
target_link_libraries(tollvane_wayland_protocols PUBLIC PkgConfig::WAYLAND_CLIENT)

get_filename_component(_tollvane_qt_dir "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
target_sources(tollvane_qt PRIVATE
  ${_tollvane_qt_dir}/wayland_session.cpp
  ${_tollvane_qt_dir}/wayland_frame.cpp)
target_link_libraries(tollvane_qt PRIVATE tollvane_wayland_protocols Qt6::GuiPrivate)

unset(_xml)
unset(_gen)
unset(_tollvane_qt_dir)
