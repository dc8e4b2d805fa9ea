# The Windows program (MinGW-w64 or MSVC). Included from src/CMakeLists.txt, so paths are relative
# to src/.

# tollvane_win32: the Windows program's platform: the adapters (registry, Beep, files, clock, the
# computer's wake, message boxes), the renderer that draws each window with the Win32 controls, the
# help and shop windows, and the desktop that runs the program on them.
add_library(tollvane_win32 STATIC
  platform/win32/text.cpp
  platform/win32/settings_store.cpp
  platform/win32/tone.cpp
  platform/win32/endpoint_loudness.cpp
  platform/win32/file_system.cpp
  platform/win32/clock.cpp
  platform/win32/window_class.cpp
  platform/win32/theme.cpp
  platform/win32/controls.cpp
  platform/win32/accessibility.cpp
  platform/win32/binding.cpp
  platform/win32/geometry.cpp
  platform/win32/menus.cpp
  platform/win32/program_icon.cpp
  platform/win32/form_window.cpp
  platform/win32/help_window.cpp
  platform/win32/shop_window.cpp
  platform/win32/web_browser_host.cpp
  platform/win32/tone_wait.cpp
  platform/win32/message_box.cpp
  platform/win32/event_log.cpp
  platform/win32/desktop.cpp
  platform/win32/wake.cpp
  platform/win32/session_start.cpp
  platform/win32/single_instance.cpp
)
# Wide-character API throughout; the adapters never call the ANSI variants.
target_compile_definitions(tollvane_win32 PUBLIC UNICODE _UNICODE)

# Windows looks for a library that is not one of its known ones (the KnownDLLs) in the program's
# own folder first, where something planted beside a download would run inside the program. The
# program imports only known ones; these others are loaded at their first use instead
# (delay-loaded), once WinMain has let libraries come from the system's folder alone: comctl32 (the
# manifest's common controls), msimg32 (gradients), powrprof (whether the power plan allows wake
# timers) and uxtheme (the themed option buttons).
set(TOLLVANE_DELAY_LOADED comctl32 msimg32 powrprof uxtheme)
add_library(tollvane_delay_loaded INTERFACE)
if(MSVC)
  list(TRANSFORM TOLLVANE_DELAY_LOADED APPEND .dll OUTPUT_VARIABLE delay_dlls)
  list(TRANSFORM delay_dlls PREPEND /DELAYLOAD:)
  target_link_libraries(tollvane_delay_loaded INTERFACE ${TOLLVANE_DELAY_LOADED} delayimp)
  target_link_options(tollvane_delay_loaded INTERFACE ${delay_dlls})
else()
  # MinGW: a delay-load import library made from its import library with dlltool.
  set(delay_libs "")
  foreach(dll IN LISTS TOLLVANE_DELAY_LOADED)
    find_library(TOLLVANE_IMPORT_LIB_${dll} ${dll} REQUIRED)
    set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
              -DIMPORT_LIB=${TOLLVANE_IMPORT_LIB_${dll}} -DDLL=${dll}.dll -DOUTPUT=${lib}
              -P ${CMAKE_SOURCE_DIR}/cmake/delay_load.cmake
      DEPENDS ${CMAKE_SOURCE_DIR}/cmake/delay_load.cmake ${TOLLVANE_IMPORT_LIB_${dll}}
      COMMENT "Delay-loading ${dll}.dll")
    list(APPEND delay_libs ${lib})
  endforeach()
  add_custom_target(tollvane_delay_libs DEPENDS ${delay_libs})
  add_dependencies(tollvane_delay_loaded tollvane_delay_libs)
  target_link_libraries(tollvane_delay_loaded INTERFACE ${delay_libs})
endif()

# advapi32: the registry. shell32 and ole32: the per-user data folder. uuid: their ids. oleaut32:
# the browser control. oleacc: the screen readers' names.
target_link_libraries(tollvane_win32 PUBLIC tollvane_core advapi32 shell32 ole32 oleaut32 uuid
                      user32 gdi32 oleacc tollvane_delay_loaded
                      PRIVATE tollvane_warnings)

# The icon from the program's artwork, its version and its manifest.
set(TOLLVANE_ICO ${CMAKE_CURRENT_BINARY_DIR}/tollvane.ico)
set(icon_dir ${CMAKE_SOURCE_DIR}/data/icons)
set(icon_pngs ${icon_dir}/tollvane-16.png ${icon_dir}/tollvane-32.png ${icon_dir}/tollvane-48.png
              ${icon_dir}/tollvane-64.png ${icon_dir}/tollvane-256.png)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${TOLLVANE_ICO}
  COMMAND Python3::Interpreter ${icon_dir}/make_ico.py ${TOLLVANE_ICO} ${icon_pngs}
  DEPENDS ${icon_dir}/make_ico.py ${icon_pngs}
  COMMENT "Packing the program's icon")
set(TOLLVANE_MANIFEST ${CMAKE_CURRENT_SOURCE_DIR}/platform/win32/tollvane.manifest)
configure_file(platform/win32/tollvane.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tollvane.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/tollvane.rc PROPERTIES
  OBJECT_DEPENDS "${TOLLVANE_ICO};${TOLLVANE_MANIFEST}")

add_executable(tollvane WIN32 main_win32.cpp ${CMAKE_CURRENT_BINARY_DIR}/tollvane.rc)
target_link_libraries(tollvane PRIVATE tollvane_win32 tollvane_warnings)
set_target_properties(tollvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The help file lives beside the executable.
add_custom_command(TARGET tollvane POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/docs/HelpForBrindle.HLP
          ${CMAKE_BINARY_DIR}/bin/HelpForBrindle.HLP)
