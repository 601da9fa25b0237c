#!/usr/bin/env bash
# Builds the static libraries the macOS bundle links (zlib, libpng, libogg, libvorbis with vorbisfile,
# libFLAC)
# for x86_64 and arm64 macOS from Debian's source packages, with Debian's clang against the folders of
# scripts/mac-sdk.sh, into <work>/deps-<arch>/{include,lib}. Each library is a handful of C files and
# is compiled directly (no configure step runs for a foreign system). Later runs find the libraries and
# return at once.
#   scripts/build-mac-deps.sh <work folder>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mkdir -p "$1" && cd "$1" && pwd)"
jobs="${JOBS:-$(nproc)}"
clang="$(command -v clang-14 || command -v clang)"
ar="$(command -v llvm-ar-14 || command -v llvm-ar)"

complete() {
  for arch in x86_64 arm64; do
    for lib in libz.a libpng16.a libogg.a libvorbis.a libvorbisfile.a libFLAC.a; do
      [ -f "$work/deps-$arch/lib/$lib" ] || return 1
    done
  done
}
complete && exit 0

# Source packages: one deb-src entry for the release's main archive.
if ! grep -rqs "^Types:.*deb-src\|^deb-src" /etc/apt/sources.list /etc/apt/sources.list.d/; then
  [ "$(id -u)" -eq 0 ] || { echo "Needs root once to add a deb-src entry" >&2; exit 1; }
  cat > /etc/apt/sources.list.d/kestrune-deb-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -q >/dev/null
fi
mkdir -p "$work/src"
cd "$work/src"
for pkg in zlib libpng1.6 libogg libvorbis flac; do
  ls -d "$pkg"-*/ >/dev/null 2>&1 || apt-get source -q "$pkg" >/dev/null 2>&1
done
zlib="$work/src/$(ls -d zlib-*/ | head -1)"
png="$work/src/$(ls -d libpng1.6-*/ | head -1)"
ogg="$work/src/$(ls -d libogg-*/ | head -1)"
vorbis="$work/src/$(ls -d libvorbis-*/ | head -1)"
flac="$work/src/$(ls -d flac-*/ | head -1)"

# library <arch> <name> <include flags> <sources...>: compiles in parallel, archives lib<name>.a.
library() {
  local arch="$1" name="$2" flags="$3"
  shift 3
  local min=$([ "$arch" = arm64 ] && echo 11.0 || echo 10.13)
  local objs="$work/obj-$arch/$name"
  rm -rf "$objs" && mkdir -p "$objs"
  printf '%s\n' "$@" | xargs -P "$jobs" -I{} sh -c \
    "'$clang' -target $arch-apple-macos$min -isysroot '$work/sdk-$arch' -O2 -fPIC -fvisibility=hidden \
      -w $flags -c '{}' -o '$objs/'\$(basename '{}' .c).o"
  "$ar" rcs "$work/deps-$arch/lib/lib$name.a" "$objs"/*.o
}

for arch in x86_64 arm64; do
  prefix="$work/deps-$arch"
  mkdir -p "$prefix/include/ogg" "$prefix/include/vorbis" "$prefix/include/FLAC" "$prefix/lib"
  # zlib
  cp "$zlib"/zlib.h "$zlib"/zconf.h "$prefix/include/"
  library "$arch" z "-DHAVE_UNISTD_H -DHAVE_STDARG_H -I$zlib" \
    $(for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
      inftrees trees uncompr zutil; do echo "$zlib/$f.c"; done)
  # libpng: the default configuration of its prebuilt header; no NEON code.
  cp "$png"/scripts/pnglibconf.h.prebuilt "$prefix/include/pnglibconf.h"
  cp "$png"/png.h "$png"/pngconf.h "$prefix/include/"
  library "$arch" png16 "-DPNG_ARM_NEON_OPT=0 -I$prefix/include" \
    $(for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans \
      pngwio pngwrite pngwtran pngwutil; do echo "$png/$f.c"; done)
  # libogg: config_types.h as its configure writes it for a system with stdint.h.
  cp "$ogg"/include/ogg/ogg.h "$ogg"/include/ogg/os_types.h "$prefix/include/ogg/"
  cat > "$prefix/include/ogg/config_types.h" <<'TYPES'
#ifndef __CONFIG_TYPES_H__
#define __CONFIG_TYPES_H__
#include <stdint.h>
typedef int16_t ogg_int16_t;
typedef uint16_t ogg_uint16_t;
typedef int32_t ogg_int32_t;
typedef uint32_t ogg_uint32_t;
typedef int64_t ogg_int64_t;
typedef uint64_t ogg_uint64_t;
#endif
TYPES
  library "$arch" ogg "-I$prefix/include" "$ogg/src/bitwise.c" "$ogg/src/framing.c"
  # libvorbis: the decoder and vorbisfile.
  cp "$vorbis"/include/vorbis/codec.h "$vorbis"/include/vorbis/vorbisfile.h "$prefix/include/vorbis/"
  library "$arch" vorbis "-I$prefix/include -I$vorbis/lib" \
    $(for f in analysis bitrate block codebook envelope floor0 floor1 info lookup lpc lsp mapping0 mdct \
      psy registry res0 sharedbook smallft synthesis window; do echo "$vorbis/lib/$f.c"; done)
  library "$arch" vorbisfile "-I$prefix/include -I$vorbis/lib" "$vorbis/lib/vorbisfile.c"
  # libFLAC: native FLAC only (no Ogg FLAC), portable C (its intrinsics files compile to nothing without
  # their configure switches), symbols not exported (FLAC__NO_DLL).
  cp "$flac"/include/FLAC/*.h "$prefix/include/FLAC/"
  library "$arch" FLAC "-DFLAC__NO_DLL -DFLAC__HAS_OGG=0 -DPACKAGE_VERSION='\"1.4.2\"' -DHAVE_LROUND=1 \
    -DHAVE_STDINT_H=1 -DHAVE_INTTYPES_H=1 -DHAVE_FSEEKO=1 -I$prefix/include -I$flac/include -I$flac/src/libFLAC/include" \
    $(ls "$flac"/src/libFLAC/*.c | grep -v -e '/ogg_' -e 'windows_unicode')
done
rm -rf "$work"/obj-*
complete
echo "macOS libraries in $work/deps-x86_64 and $work/deps-arm64"
