# Cross-building for 64-bit Windows with Debian's MinGW-w64 (posix thread model: std::mutex and
# std::thread work). Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTRUNE_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KESTRUNE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUNE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUNE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${KESTRUNE_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${KESTRUNE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

# Libraries come from the MinGW sysroot and from the prefix the dependency script fills
# (KESTRUNE_WINDOWS_DEPS, default build-windows-deps/prefix); programs from the build machine.
if(NOT KESTRUNE_WINDOWS_DEPS)
  get_filename_component(KESTRUNE_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-windows-deps/prefix" ABSOLUTE)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUNE_MINGW_TRIPLE} ${KESTRUNE_WINDOWS_DEPS})
set(CMAKE_PREFIX_PATH ${KESTRUNE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib from libz-mingw-w64-dev is linked statically; without this FindZLIB picks the import library
# and the module would need zlib1.dll next to it.
set(ZLIB_USE_STATIC_LIBS ON)

# Unit tests built for Windows run under Wine when it is installed.
find_program(KESTRUNE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KESTRUNE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRUNE_WINE})
endif()

# Programs and modules carry the compiler runtimes (libgcc, libstdc++, winpthread) inside, so they
# run with system DLLs only (under Wine, too).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
