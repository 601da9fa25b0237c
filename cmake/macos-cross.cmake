# Cross-building the macOS bundle on Linux with Debian's clang and ld64.lld, one architecture per build
# tree (scripts/mac-check.sh joins them with llvm-lipo). There is no Apple SDK here:
#   KESTRUNE_MAC_ARCH  x86_64 or arm64
#   KESTRUNE_MAC_SDK   the folder scripts/mac-sdk.sh assembles for that architecture: usr/include (the
#                      macOS C library headers and libc++'s), usr/lib and System/Library/Frameworks
#                      (text stubs: libSystem's and ours, which list only the symbols we use)
#   KESTRUNE_MAC_DEPS  prefix of the static libpng, zlib, libogg, libvorbis and libFLAC for that architecture
# The Cocoa classes are declared by GNUstep's headers, compiled for Apple's runtime; Core Foundation,
# Core Graphics and Core Text by platform/mac/MacCoreDecls.h (KESTRUNE_NO_APPLE_SDK).
set(CMAKE_SYSTEM_NAME Darwin)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRUNE_MAC_ARCH KESTRUNE_MAC_SDK KESTRUNE_MAC_DEPS)
# Compiler checks build static libraries: there is nothing here to run a program on.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
if(NOT KESTRUNE_MAC_ARCH OR NOT KESTRUNE_MAC_SDK)
  message(FATAL_ERROR "macos-cross.cmake needs KESTRUNE_MAC_ARCH and KESTRUNE_MAC_SDK")
endif()
set(CMAKE_SYSTEM_PROCESSOR ${KESTRUNE_MAC_ARCH})
set(CMAKE_OSX_ARCHITECTURES ${KESTRUNE_MAC_ARCH})
set(CMAKE_OSX_SYSROOT ${KESTRUNE_MAC_SDK})
# arm64 Macs start at macOS 11.
if(KESTRUNE_MAC_ARCH STREQUAL "arm64")
  set(CMAKE_OSX_DEPLOYMENT_TARGET 11.0)
else()
  set(CMAKE_OSX_DEPLOYMENT_TARGET 10.13)
endif()
set(triple ${KESTRUNE_MAC_ARCH}-apple-macos${CMAKE_OSX_DEPLOYMENT_TARGET})

find_program(KESTRUNE_CLANG NAMES clang-14 clang REQUIRED)
find_program(KESTRUNE_CLANGXX NAMES clang++-14 clang++ REQUIRED)
find_program(KESTRUNE_LD64 NAMES ld64.lld-14 ld64.lld REQUIRED)
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)
find_program(CMAKE_INSTALL_NAME_TOOL NAMES llvm-install-name-tool-14 llvm-install-name-tool)
set(CMAKE_C_COMPILER ${KESTRUNE_CLANG})
set(CMAKE_CXX_COMPILER ${KESTRUNE_CLANGXX})
set(CMAKE_OBJCXX_COMPILER ${KESTRUNE_CLANGXX})
foreach(lang C CXX OBJCXX)
  set(CMAKE_${lang}_COMPILER_TARGET ${triple})
endforeach()

# libc++'s site configuration (the SDK's headers carry none): Apple's ABI.
set(libcxx_site "-D_LIBCPP_ABI_VERSION=1 -D_LIBCPP_ABI_NAMESPACE=__1")
# GNUstep's headers for Apple's runtime: Apple's objc headers, without the definitions that would
# collide with GNUstep's own NSObject.
set(gnustep_for_apple "-DKESTRUNE_NO_APPLE_SDK -DNeXT_RUNTIME=1 -DOBJC2_UNAVAILABLE= -DOS_OBJECT_USE_OBJC=0 \
-isystem ${KESTRUNE_MAC_SDK}/gnustep-shim -isystem /usr/include/GNUstep")
set(CMAKE_C_FLAGS_INIT "-DKESTRUNE_NO_APPLE_SDK")
set(CMAKE_CXX_FLAGS_INIT "-stdlib=libc++ ${libcxx_site} -DKESTRUNE_NO_APPLE_SDK")
set(CMAKE_OBJCXX_FLAGS_INIT "-stdlib=libc++ ${libcxx_site} ${gnustep_for_apple}")
# ld64.lld takes the modern -platform_version form, which clang passes to linkers it knows are recent.
set(link_flags "-fuse-ld=lld --ld-path=${KESTRUNE_LD64} -mlinker-version=711 -stdlib=libc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${link_flags}")

set(CMAKE_FIND_ROOT_PATH ${KESTRUNE_MAC_SDK} ${KESTRUNE_MAC_DEPS})
set(CMAKE_PREFIX_PATH ${KESTRUNE_MAC_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ZLIB_USE_STATIC_LIBS ON)
