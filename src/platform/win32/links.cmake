# The help window and the shop window on Windows, for tollvane.exe to link. Included from
# src/CMakeLists.txt, so paths are relative to src/.
add_library(tollvane_win32_links STATIC
  platform/win32/help_window.cpp
  platform/win32/shop_window.cpp
  platform/win32/web_browser_host.cpp
)
target_compile_definitions(tollvane_win32_links PRIVATE UNICODE _UNICODE)
# user32 and gdi32: the windows. ole32, oleaut32 and uuid: the browser control. shell32: the
# program's icon for the help window.
target_link_libraries(tollvane_win32_links PUBLIC tollvane_core user32 gdi32 ole32 oleaut32 uuid
  shell32 PRIVATE tollvane_warnings)
