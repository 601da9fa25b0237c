#!/bin/bash
# Builds the helpers of the manual host checks into OUT_DIR:
#   OUT/KestruneSpy.so  the forwarding spy plug-in (tools/KestruneSpy.cpp); it loads OUT/real/Kestrune.so
#   OUT/real/Kestrune.so a copy of the module under test
#   OUT/xdnd-drop       drops a file on a window as a file manager's drag does
#   OUT/alsa-seq-stand-in.so an empty ALSA sequencer for hosts that need one (tools/alsa-seq-stand-in.c)
# Usage: scripts/daw/build-tools.sh PATH/TO/Kestrune.so OUT_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
real="${1:?path of Kestrune.so}"
out="${2:?output folder}"
mkdir -p "$out/real"
cp "$real" "$out/real/Kestrune.so"
flags=(-std=c++17 -O1 -g -Wall -Wextra -Werror -I"$repo")
g++ "${flags[@]}" -fPIC -shared -fvisibility=hidden "$here/tools/KestruneSpy.cpp" -o "$out/KestruneSpy.so" -ldl -lpthread
g++ "${flags[@]}" "$here/tools/xdnd-drop.cpp" "$repo/tests/x11/XdndTestSource.cpp" -o "$out/xdnd-drop" -lX11
gcc -std=c11 -O1 -g -Wall -Wextra -Werror -fPIC -shared -fvisibility=hidden "$here/tools/alsa-seq-stand-in.c" \
  -o "$out/alsa-seq-stand-in.so"
