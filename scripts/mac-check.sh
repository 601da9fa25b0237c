#!/usr/bin/env bash
# The macOS deliverable's checks on Linux (make mac-check). No Mac and no Apple SDK are at hand; three
# checks together come close, each catching faults the others miss:
#   1. compile: every macOS source compiled against GNUstep's AppKit and Foundation with gobjc++ and
#      warnings as errors (build-gnustep), and again with clang, which refuses a message no declared
#      class answers (-Werror=objc-method-access).
#   2. bundle: the universal Kestrune.vst cross-built for x86_64 and arm64 macOS with clang and ld64.lld
#      against text stubs that list only what we use (build-mac), then inspected as a Mac would first
#      (scripts/check-mac-bundle.py).
#   3. run: the GNUstep build's bundle opened in an NSWindow by our host on a virtual X display with a
#      window manager and driven with xdotool (scripts/gnustep-run.sh).
# Each step prints its time; the last line counts the steps that passed and failed.
#   scripts/mac-check.sh [compile] [bundle] [run]     (all three by default)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(compile bundle run)
jobs="${JOBS:-$(nproc)}"
gnustep="$root/build-gnustep"
work="$root/build-mac"
bundle_id="com.kestrune.vst.Kestrune"
# Warnings are errors unless the caller says otherwise (make mac-check WERROR=OFF).
werror=(-DKESTRUNE_WERROR="${KESTRUNE_WERROR:-ON}")
# Libraries compiled a few files at a time as one unit (CMake's unity build) when asked (make mac-check).
unity=()
[ "${KESTRUNE_UNITY:-OFF}" = ON ] && unity=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  -DCMAKE_OBJCXX_COMPILER_LAUNCHER=ccache)

bash scripts/deps.sh mac

gnustep_build() {
  # -O1 without debug information: this build is only compiled and run here, and CI's time counts.
  cmake -S . -B "$gnustep" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS=-O1 -DCMAKE_CXX_FLAGS=-O1 \
    -DCMAKE_OBJCXX_FLAGS=-O1 -DKESTRUNE_GNUSTEP=ON "${werror[@]}" "${unity[@]}" \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_OBJCXX_COMPILER=g++ "${launcher[@]}" >/dev/null
  cmake --build "$gnustep" -j "$jobs"
}

compile() {
  gnustep_build
  # clang over the same Objective-C++ sources with the same flags (GNU runtime, gcc's objc headers).
  python3 - "$gnustep/compile_commands.json" "$(gcc -print-file-name=include)" <<'PY'
import json, shlex, subprocess, sys
commands, gcc_include = json.load(open(sys.argv[1])), sys.argv[2]
failed = 0
for c in commands:
    if not c["file"].endswith(".mm"):
        continue
    args, kept, skip = shlex.split(c["command"]), [], False
    while args and not args[0].startswith("-"):  # the launcher and the compiler
        args = args[1:]
    for a in args:
        if skip:
            skip = False
        elif a in ("-o", "-MT", "-MF"):
            skip = True
        elif a not in ("-c", "-MD"):
            kept.append(a)
    cmd = ["clang++", "-fsyntax-only", "-fobjc-runtime=gcc", "-Werror=objc-method-access", "-Werror",
           "-isystem", gcc_include] + kept
    r = subprocess.run(cmd, cwd=c["directory"], capture_output=True, text=True)
    print(("ok     clang " if r.returncode == 0 else "FAILED clang ") + c["file"])
    if r.returncode:
        print(r.stderr)
        failed += 1
sys.exit(1 if failed else 0)
PY
}

bundle() {
  bash scripts/mac-sdk.sh "$work"
  bash scripts/build-mac-deps.sh "$work"
  for arch in x86_64 arm64; do
    cmake -S . -B "$work/build-$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/macos-cross.cmake" -DKESTRUNE_MAC_ARCH="$arch" \
      -DKESTRUNE_MAC_SDK="$work/sdk-$arch" -DKESTRUNE_MAC_DEPS="$work/deps-$arch" \
      -DKESTRUNE_BUNDLE_ID="$bundle_id" "${werror[@]}" "${unity[@]}" "${launcher[@]}" >/dev/null
    cmake --build "$work/build-$arch" -j "$jobs"
  done
  # The universal bundle: the x86_64 build's (its Info.plist names the lower minimum) with both slices.
  rm -rf "$work/Kestrune.vst"
  cp -r "$work/build-x86_64/Kestrune.vst" "$work/Kestrune.vst"
  "$(command -v llvm-lipo-14 || command -v llvm-lipo)" -create \
    "$work/build-x86_64/Kestrune.vst/Contents/MacOS/Kestrune" "$work/build-arm64/Kestrune.vst/Contents/MacOS/Kestrune" \
    -output "$work/Kestrune.vst/Contents/MacOS/Kestrune"
  python3 scripts/check-mac-bundle.py "$work/Kestrune.vst" "$bundle_id"
  echo "Universal bundle: $work/Kestrune.vst"
}

run() {
  [ -f "$gnustep/build.ninja" ] || gnustep_build
  cmake --build "$gnustep" -j "$jobs"
  bash scripts/gnustep-run.sh "$gnustep"
}

passed=0
failed=0
for step in "${steps[@]}"; do
  start=$(date +%s)
  echo "== mac-check $step"
  # In a subshell of its own, so that the first failing command ends the step (a condition would not).
  set +e
  (
    set -e
    "$step"
  )
  status=$?
  set -e
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
    echo "== mac-check $step passed in $(($(date +%s) - start)) s"
  else
    failed=$((failed + 1))
    echo "== mac-check $step FAILED after $(($(date +%s) - start)) s"
  fi
done
echo "mac-check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
