# The Windows program built with clang rather than GCC: clang for the x86_64-w64-mingw32 target,
# over MinGW-w64's headers, C++ library and linker (Debian's mingw-w64 packages). Clang reads the
# code as the other Windows compilers do, and warns of what GCC lets through. Used by
# scripts/windows-clang.sh.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TOLLVANE_MINGW_TRIPLET})
set(CMAKE_CXX_COMPILER_TARGET ${TOLLVANE_MINGW_TRIPLET})

# Clang 14 does not find MinGW's GCC folder under Debian's name for it (12-posix): its C++ library
# and its runtime are given.
file(GLOB gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${TOLLVANE_MINGW_TRIPLET}/*-posix)
list(SORT gcc_dirs COMPARE NATURAL)
list(POP_BACK gcc_dirs gcc_dir)
if(NOT gcc_dir)
  message(FATAL_ERROR "MinGW-w64's posix GCC is missing (Debian: g++-mingw-w64-x86-64-posix)")
endif()
set(cxx ${gcc_dir}/include/c++)
set(CMAKE_SYSROOT /usr/${TOLLVANE_MINGW_TRIPLET})
set(CMAKE_CXX_FLAGS_INIT
    "-nostdinc++ -isystem ${cxx} -isystem ${cxx}/${TOLLVANE_MINGW_TRIPLET} -isystem ${cxx}/backward")
# MinGW's binutils: its linker (which clang calls), and the tools that make the delay-load import
# libraries (LLVM's dlltool cannot).
set(CMAKE_DLLTOOL ${TOLLVANE_MINGW_TRIPLET}-dlltool)
set(CMAKE_NM ${TOLLVANE_MINGW_TRIPLET}-nm)
# -pthread: the posix threads library, inside the linker's group of runtime libraries.
# -Qunused-arguments: the compile flags above come along to the link, where they mean nothing.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -pthread -L${gcc_dir} -Qunused-arguments")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -pthread -L${gcc_dir} -Qunused-arguments")
