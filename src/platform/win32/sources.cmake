# The Win32 adapters, built into the core for Windows (MinGW-w64 or MSVC). Included from
# src/CMakeLists.txt, so paths are relative to src/.
target_sources(tollvane_core PRIVATE
  platform/win32/win32_text.cpp
  platform/win32/win32_settings_store.cpp
  platform/win32/win32_tone.cpp
  platform/win32/win32_file_system.cpp
  platform/win32/win32_clock.cpp
)
# Wide-character API throughout; the adapters never call the ANSI variants.
target_compile_definitions(tollvane_core PRIVATE UNICODE _UNICODE)
# advapi32: registry. shell32 and ole32: the per-user data folder. uuid: its folder id.
target_link_libraries(tollvane_core PUBLIC advapi32 shell32 ole32 uuid)
