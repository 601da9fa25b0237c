#!/usr/bin/env bash
# Builds the static libraries the Windows build links for x86_64-w64-mingw32 from Debian's source
# packages, into build-windows-deps/prefix: libogg, libvorbis (with vorbisfile and vorbisenc), libFLAC
# and libpng for the module, libsndfile (WAV and the other PCM formats, no external codecs) for kestrune-host. zlib is Debian's
# libz-mingw-w64-dev. Run as root on a fresh machine (it adds a deb-src entry and installs the cross
# compiler); later runs find the prefix complete and return at once.
#   scripts/build-windows-deps.sh [build folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-$root/build-windows-deps}"
prefix="$work/prefix"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs="${JOBS:-2}"

complete() {
  for lib in libogg.a libvorbisfile.a libvorbisenc.a libFLAC.a libpng16.a libsndfile.a; do
    [ -f "$prefix/lib/$lib" ] || return 1
  done
}
# The cross compiler and the tools the Windows build needs, also when the libraries are already built.
bash "$root/scripts/deps.sh" windows
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
for pkg in libogg libvorbis flac libpng1.6 libsndfile; do
  ls -d "$pkg"-*/ >/dev/null 2>&1 || apt-get source -q "$pkg" >/dev/null 2>&1
done

# cmake_build <source folder> <extra cmake arguments...>
cmake_build() {
  local src="$1"
  shift
  cmake -S "$src" -B "$work/build/$(basename "$src")" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKESTRUNE_WINDOWS_DEPS="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" >/dev/null
  cmake --build "$work/build/$(basename "$src")" -j "$jobs" >/dev/null
  cmake --install "$work/build/$(basename "$src")" >/dev/null
}

# Each library is built once; a run after an interrupted one goes on with the missing ones.
[ -f "$prefix/lib/libogg.a" ] || cmake_build "$(ls -d libogg-*/ | head -1)" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
[ -f "$prefix/lib/libvorbisenc.a" ] || cmake_build "$(ls -d libvorbis-*/ | head -1)" -DOGG_ROOT="$prefix" \
  -DBUILD_TESTING=OFF
# libFLAC alone (the decoder and encoder library), without Ogg FLAC: the module reads native FLAC files.
# Without the stack protector and fortified sources, whose libssp the package would link dynamically
# around the runtime.
[ -f "$prefix/lib/libFLAC.a" ] || cmake_build "$(ls -d flac-*/ | head -1)" -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF \
  -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF -DWITH_STACK_PROTECTOR=OFF \
  -DWITH_FORTIFY_SOURCE=OFF
[ -f "$prefix/lib/libpng16.a" ] || cmake_build "$(ls -d libpng1.6-*/ | head -1)" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
  -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF -DSKIP_INSTALL_PROGRAMS=ON
[ -f "$prefix/lib/libsndfile.a" ] || cmake_build "$(ls -d libsndfile-*/ | head -1)" -DENABLE_EXTERNAL_LIBS=OFF \
  -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON -DINSTALL_PKGCONFIG_MODULE=ON
complete
echo "Windows libraries in $prefix"
