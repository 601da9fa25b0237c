#!/usr/bin/env bash
# Tries the release packages that `cpack` made in a build folder, as a user would get them:
#   Linux (build):           the .deb unpacked into a temporary root (dpkg -x) and the .tar.gz extracted;
#                            each has exactly the expected files, the module loads with kestrune-host
#                            info from where it was installed, needs no C++ runtime of the system and
#                            exports only its two entry points.
#   Windows (build-windows): the .zip extracted; kestrune-host.exe info on Kestrune_x64.dll under Wine.
#   scripts/package-test.sh <build folder>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?build folder}" && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[ -n "$version" ] || { echo "No project version in $build/CMakeCache.txt" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# expect_files <listing file> <prefix> : the listing holds exactly the package's files under the prefix.
notices=(NOTICES.txt)
expect_files() {
  local listing="$1" prefix="$2" name
  shift 2
  local expected=("$@")
  for name in "${expected[@]}"; do
    grep -qxF "$prefix$name" "$listing" || fail "$prefix$name is missing from the package"
  done
  while read -r name; do
    case " ${expected[*]} " in
    *" ${name#"$prefix"} "*) ;;
    *) fail "unexpected file in the package: $name" ;;
    esac
  done < <(grep -v '/$' "$listing")
}

# check_module <module> <host> : the installed host loads the installed module.
check_module() {
  local module="$1" host="$2" out
  if ! out="$("$host" info "$module" 2>&1)"; then
    fail "kestrune-host info on $module: $out"
    return
  fi
  grep -qx "name: Kestrune" <<<"$out" || fail "kestrune-host info does not name Kestrune: $out"
  echo "$host info $module: $(sed -n 's/^version: //p' <<<"$out")"
  # No C++ runtime or libgcc of the system, and only the two entry points.
  if objdump -p "$module" | grep -E 'NEEDED +lib(stdc\+\+|gcc_s)'; then
    fail "$module needs the system's C++ runtime"
  fi
  local exports
  exports="$(objdump -T "$module" | awk '$2 == "g" && $4 != "*UND*" {print $NF}' | sort | tr '\n' ' ')"
  [ "$exports" = "VSTPluginMain main " ] || fail "$module exports: $exports"
  echo "$module: newest glibc symbol version $(objdump -T "$module" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -1)"
}

if [ -f "$build/platform/linux/Kestrune.so" ]; then
  deb="$build/kestrune_${version}_amd64.deb"
  tgz="$build/Kestrune-${version}-Linux-x86_64.tar.gz"
  doc=share/doc/kestrune
  for n in gcc-runtime libpng zlib libogg libvorbis libflac freetype fontconfig libx11 libxext libsndfile; do
    notices+=("notices/$n.txt")
  done
  files=(lib/vst/Kestrune.so bin/kestrune-host "$doc/README.md")
  for n in "${notices[@]}"; do files+=("$doc/$n"); done

  # The .deb: its files below /usr, its dependencies found by dpkg-shlibdeps, unpacked into a root of
  # its own.
  [ -f "$deb" ] || { echo "No $deb: run cpack in $build" >&2; exit 1; }
  dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/deb.txt"
  expect_files "$work/deb.txt" ./usr/ "${files[@]}"
  depends="$(dpkg-deb -f "$deb" Depends)"
  echo "$(basename "$deb"): Depends: $depends"
  grep -q 'libc6 (>= ' <<<"$depends" || fail "the .deb does not depend on libc6"
  dpkg -x "$deb" "$work/deb-root"
  check_module "$work/deb-root/usr/lib/vst/Kestrune.so" "$work/deb-root/usr/bin/kestrune-host"

  # The .tar.gz: the same files under one folder.
  [ -f "$tgz" ] || { echo "No $tgz: run cpack in $build" >&2; exit 1; }
  top="Kestrune-${version}-Linux-x86_64/"
  tar -tzf "$tgz" >"$work/tgz.txt"
  expect_files "$work/tgz.txt" "$top" "${files[@]}"
  mkdir "$work/tgz-root"
  tar -xzf "$tgz" -C "$work/tgz-root"
  check_module "$work/tgz-root/${top}lib/vst/Kestrune.so" "$work/tgz-root/${top}bin/kestrune-host"
elif [ -f "$build/platform/windows/module/Kestrune_x64.dll" ]; then
  zip="$build/Kestrune-${version}-Windows-x64.zip"
  top="Kestrune-${version}-Windows-x64/"
  for n in libpng zlib libogg libvorbis libflac libsndfile gcc-runtime mingw-w64; do notices+=("notices/$n.txt"); done
  files=(Kestrune_x64.dll kestrune-host.exe README.md "${notices[@]}")
  [ -f "$zip" ] || { echo "No $zip: run cpack in $build" >&2; exit 1; }
  (cd "$work" && cmake -E tar tf "$zip") >"$work/zip.txt"
  expect_files "$work/zip.txt" "$top" "${files[@]}"
  mkdir "$work/zip-root"
  (cd "$work/zip-root" && cmake -E tar xf "$zip")
  # Wine as scripts/windows-test.sh sets it up (the build's prefix), on a virtual display of its own.
  bash "$root/scripts/deps.sh" wine
  export WINEPREFIX="${WINEPREFIX:-$build/wine-prefix}" WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  out="$(cd "$work/zip-root/$top" && xvfb-run -a /usr/lib/wine/wine64 kestrune-host.exe info Kestrune_x64.dll 2>&1)" ||
    fail "kestrune-host.exe info Kestrune_x64.dll under Wine: $out"
  grep -q "^name: Kestrune" <<<"$out" || fail "kestrune-host.exe info does not name Kestrune: $out"
  echo "kestrune-host.exe info Kestrune_x64.dll (from the .zip, under Wine): $(sed -n 's/^version: //p' <<<"$out" | tr -d '\r')"
else
  echo "$build holds neither the Linux module nor the Windows DLL" >&2
  exit 1
fi

if [ "$failures" -ne 0 ]; then
  echo "Package test: $failures failures" >&2
  exit 1
fi
echo "Package test: the packages of Kestrune $version install and their module loads"
