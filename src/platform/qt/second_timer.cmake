# tollvane_second_timer: the wall-clock-aligned one-second tick (QtCore only). Included from
# src/CMakeLists.txt; the paths below are relative to src/ and resolved from this file's own
# location, so any project can include it.
include_guard(GLOBAL)

find_package(Qt6 6.4 REQUIRED COMPONENTS Core)

get_filename_component(_tollvane_src "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)

add_library(tollvane_second_timer STATIC
  ${_tollvane_src}/platform/qt/second_timer.h
  ${_tollvane_src}/platform/qt/second_timer.cpp
  ${_tollvane_src}/platform/qt/second_timer_backend.h
  ${_tollvane_src}/platform/qt/second_timer_backend.cpp
  ${_tollvane_src}/platform/qt/second_timer_qtimer.cpp
)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(tollvane_second_timer PRIVATE ${_tollvane_src}/platform/qt/second_timer_timerfd.cpp)
endif()
target_include_directories(tollvane_second_timer PUBLIC ${_tollvane_src})
target_link_libraries(tollvane_second_timer PUBLIC Qt6::Core PRIVATE tollvane_warnings)
set_target_properties(tollvane_second_timer PROPERTIES AUTOMOC ON)

unset(_tollvane_src)
