#!/bin/bash
# Manual check of Kestrune's editor sizes in Qtractor 0.9 (Debian's package) under Xvfb, as a musician
# would use it. Not part of CI: it installs a DAW and takes a few minutes.
#
#   scripts/daw/qtractor-check.sh [build/platform/linux/Kestrune.so] [build/tools/kestrune-host/kestrune-host]
#
# Qtractor runs on a JACK server of its own (dummy driver) and, where the kernel has no ALSA sequencer,
# with tools/alsa-seq-stand-in.c preloaded (Qtractor will not start its engine without one). The project
# is written by hand: one MIDI track holding Kestrune. Then:
#  1. for KESTRUNE_SCALE=1, 1.5 and 2: opens the editor from the track list, notes the sizes of the
#     editor and of Qtractor's plug-in window, and compares the editor's picture with the host tool's
#     snapshot at the same scale (differing pixels; a cut or blurred picture differs in most of them);
#  2. without KESTRUNE_SCALE: chooses 200 % and 100 % in the editor's size control, notes whether
#     Qtractor resizes its window and marks the project modified (it should not for a size), turns a
#     knob (it should), chooses 150 %, saves and quits;
#  3. reopens: the editor opens at 150 % (the size kept in ~/.config/kestrune/settings.ini) and shows
#     the same picture as before quitting (the knob's value came back with the project).
#
# Environment: SCREEN=WxHxD sizes the display (2048x1400x24); WORK=DIR keeps the files in DIR (default: a new /tmp/kestrune-daw.* folder); DISPLAY_NUMBER=N (77).
# Results: $WORK/results.txt, screenshots in $WORK/shots/, Qtractor's output in $WORK/qtractor-*.log.

# shellcheck source=scripts/daw/common.sh
source "$(dirname "$0")/common.sh"

MODULE="$(realpath "${1:-$REPO/build/platform/linux/Kestrune.so}")"
HOST_TOOL="$(realpath "${2:-$REPO/build/tools/kestrune-host/kestrune-host}")"
need_packages qtractor jackd2 openbox xdotool wmctrl xvfb x11-utils imagemagick gcc g++ libx11-dev
prepare_work "$MODULE" "$HOST_TOOL"
trap stop_all EXIT
RESULTS="$WORK/results.txt"
: >"$RESULTS"
result() { echo "$*" | tee -a "$RESULTS" >&2; }
unset KESTRUNE_SCALE GDK_SCALE QT_SCALE_FACTOR
SETTINGS="$HOME/.config/kestrune/settings.ini"

# ---- Qtractor's configuration and the project ----
mkdir -p "$HOME/.config/rncbc.org"
cat >"$HOME/.config/rncbc.org/Qtractor.conf" <<EOF
[AutoSave]
Enabled=false

[Plugins]
Vst2Paths=$WORK/plugins
OpenEditor=true

[Program]
Version=0.9.31
EOF
PROJECT_DIR="$WORK/project"
PROJECT="$PROJECT_DIR/kestrune.qtr"
mkdir -p "$PROJECT_DIR"
cat >"$PROJECT" <<EOF
<!DOCTYPE qtractorSession>
<session version="Qtractor 0.9.31" name="kestrune">
 <properties>
  <directory>$PROJECT_DIR</directory>
  <sample-rate>48000</sample-rate>
  <tempo>120</tempo>
  <ticks-per-beat>960</ticks-per-beat>
  <beats-per-bar>4</beats-per-bar>
  <beat-divisor>2</beat-divisor>
 </properties>
 <devices>
  <audio-engine>
   <audio-bus name="Master" mode="duplex"><channels>2</channels><auto-connect>1</auto-connect></audio-bus>
  </audio-engine>
  <midi-engine>
   <midi-bus name="Master" mode="duplex"/>
  </midi-engine>
 </devices>
 <tracks>
  <track name="Kestrune" type="midi">
   <properties>
    <input-bus>Master</input-bus>
    <output-bus>Master</output-bus>
    <midi-omni>1</midi-omni>
    <midi-channel>0</midi-channel>
   </properties>
   <view><height>96</height></view>
   <plugins>
    <plugin type="VST2">
     <filename>$WORK/plugins/Kestrune.so</filename>
     <index>0</index>
     <label>Kestrune</label>
     <activated>1</activated>
     <editor-pos>200,300</editor-pos>
    </plugin>
    <audio-output-bus>0</audio-output-bus>
   </plugins>
  </track>
 </tracks>
</session>
EOF
log "project: $PROJECT"

# ---- JACK with the dummy driver, a server of our own; the sequencer stand-in where there is no kernel one ----
export JACK_DEFAULT_SERVER="kestrune-check-$$"
jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$WORK/jackd.log" 2>&1 &
PIDS+=($!)
sleep 2
PRELOAD=
if [[ ! -e /dev/snd/seq ]]; then
  PRELOAD="$WORK/tools/alsa-seq-stand-in.so"
  log "no /dev/snd/seq: Qtractor runs with the sequencer stand-in"
fi

# Room for the editor at 200 % (1616 x 984) with the window's frame.
SCREEN="${SCREEN:-2048x1400x24}"
start_display

QTRACTOR_PID=
MAIN=
# Starts Qtractor on the project; the first argument names its log, the others go into its environment.
start_qtractor() {
  local name="$1"
  shift
  env ${PRELOAD:+LD_PRELOAD="$PRELOAD"} "$@" qtractor "$PROJECT" >"$WORK/qtractor-$name.log" 2>&1 &
  QTRACTOR_PID=$!
  PIDS+=("$QTRACTOR_PID")
  # The main window's plain name is the project's path (the full title adds " — Qtractor").
  MAIN="$(wait_window 'kestrune\.qtr' 60)" || { shot "qtractor-$name-no-window"; log "Qtractor did not open"; exit 1; }
  sleep 4
  if grep -q 'could not be started' "$WORK/qtractor-$name.log"; then
    shot "qtractor-$name-no-engine"
    log "Qtractor's engine did not start: see $WORK/qtractor-$name.log"
    exit 1
  fi
}

full_title() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME([A-Z0-9_]*) = "\(.*\)"$/\1/p'; }
modified() { [[ "$(full_title "$MAIN")" == *'[modified]'* ]] && echo yes || echo no; }

save() {
  xdotool windowactivate --sync "$MAIN" 2>/dev/null || true
  sleep 0.3
  xdotool key ctrl+s
  sleep 2
}

# A double click on the plug-in in the track's plug-in list (left of the track view, at the places of
# Qtractor 0.9.31's default layout) opens the editor in a window of Qtractor's (with OpenEditor set; else
# the generic form, whose title starts the same way: the window is found as the editor's ancestor).
PLUGIN_ITEM=(179 182)
# The host's top-level window holding a window (the one below the window manager's frame).
top_window() {
  local w="$1" parent
  while parent="$(xwininfo -children -id "$w" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')"; do
    [[ -n "$parent" ]] || return 1
    if [[ "$(window_name "$parent")" == "Kestrune - "* ]]; then
      echo "$parent"
      return 0
    fi
    w="$parent"
  done
  return 1
}
open_editor() {
  local try
  PLUGWIN=
  for try in 1 2 3; do
    xdotool windowactivate --sync "$MAIN" 2>/dev/null || true
    xdotool mousemove --window "$MAIN" "${PLUGIN_ITEM[@]}"
    sleep 0.3
    xdotool click --repeat 2 --delay 40 1
    xdotool mousemove 1590 990
    EDITOR="$(wait_window '^Kestrune$' 10)" && PLUGWIN="$(top_window "$EDITOR")" && break
    shot "no-editor-$try"
    log "no editor window yet (try $try)"
  done
  [[ -n "$PLUGWIN" ]] || { log "editor window did not open"; exit 1; }
  xdotool windowmove "$PLUGWIN" 0 0
  sleep 1.5
}

quit_qtractor() {
  wmctrl -i -c "$PLUGWIN" 2>/dev/null || true
  sleep 1
  wmctrl -i -c "$MAIN"
  local status=running
  for _ in $(seq 30); do kill -0 "$QTRACTOR_PID" 2>/dev/null || { status=ended; break; }; sleep 0.5; done
  if [[ "$status" == ended ]]; then
    wait "$QTRACTOR_PID" && status="exit 0" || status="exit $?"
  else
    # A question (unsaved changes) keeps it open: note it, then end it.
    shot "quit-$1-question"
    kill "$QTRACTOR_PID" 2>/dev/null || true
    sleep 2
    kill -9 "$QTRACTOR_PID" 2>/dev/null || true
  fi
  result "Qtractor quit ($1): $status"
}

size_of() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
sizes() { echo "editor $(size_of "$EDITOR"), Qtractor's window $(size_of "$PLUGWIN")"; }
expected_size() {
  case "$1" in
    1 | 100) echo 808x492 ;;
    1.5 | 150) echo 1212x738 ;;
    2 | 200) echo 1616x984 ;;
  esac
}
# Differing pixels between two pictures of the same size (or "sizes differ").
picture_difference() {
  if [[ "$(identify -format '%wx%h' "$1")" != "$(identify -format '%wx%h' "$2")" ]]; then
    echo "sizes differ: $(identify -format '%wx%h' "$1") and $(identify -format '%wx%h' "$2")"
    return
  fi
  { compare -metric AE "$1" "$2" "${1%.png}-diff.png" >/dev/null; } 2>&1 || true
}
# The editor's picture as the screen shows it (taken while Qtractor's window is on top: after a save its
# main window lies over part of the editor, whose area then reads black).
editor_picture() {
  sleep 1
  import -window "$EDITOR" "$WORK/shots/$1.png"
  log "editor picture $WORK/shots/$1.png"
}

# ---- 1. The three sizes given by KESTRUNE_SCALE ----
result "Qtractor: $(dpkg-query -W -f '${Version}' qtractor)"
for scale in 1 1.5 2; do
  start_qtractor "scale-$scale" KESTRUNE_SCALE="$scale"
  open_editor
  shot "scale-$scale"
  editor_picture "editor-scale-$scale"
  "$HOST_TOOL" snapshot "$MODULE" --scale "$scale" -o "$WORK/shots/snapshot-scale-$scale.png" >/dev/null
  # The editor's own 32-bit visual may carry alpha the snapshot lacks: compare colours only.
  convert "$WORK/shots/editor-scale-$scale.png" -alpha off "$WORK/shots/editor-scale-$scale.png"
  convert "$WORK/shots/snapshot-scale-$scale.png" -alpha off "$WORK/shots/snapshot-scale-$scale.png"
  result "$(printf 'KESTRUNE_SCALE=%-4s %s (expected editor %s); pixels differing from the snapshot: %s; modified: %s' \
    "$scale" "$(sizes)" "$(expected_size "$scale")" \
    "$(picture_difference "$WORK/shots/editor-scale-$scale.png" "$WORK/shots/snapshot-scale-$scale.png")" "$(modified)")"
  quit_qtractor "scale $scale"
done

# ---- 2. The size control while the editor is open, a knob, the last choice ----
rm -f "$SETTINGS"
start_qtractor choices
result "modified at start: $(modified)"
open_editor
result "editor opened (no KESTRUNE_SCALE, no settings file): $(sizes); modified: $(modified)"
# The control's segments (100, 150, 200 %) are 40 x 16 layout units from (664, 36); times the scale.
segment() { echo $(((664 + 20 + 40 * ($2 / 50 - 2)) * $1 / 100)) $((44 * $1 / 100)); }
choose() {
  local now="$1" percent="$2"
  local x y
  read -r x y <<<"$(segment "$now" "$percent")"
  click_at "$EDITOR" "$x" "$y"
  sleep 2
  shot "chose-$percent"
  result "$(printf 'chose %3s %% at %3s %%: %s (expected editor %s); modified: %s; settings: %s' "$percent" "$now" \
    "$(sizes)" "$(expected_size "$percent")" "$(modified)" "$(tr '\n' ' ' <"$SETTINGS" 2>/dev/null || echo none)")"
}
choose 100 200
choose 200 100
knob_drag() {
  local x y
  read -r x y <<<"$(attack_knob 2)"
  xdotool mousemove --window "$EDITOR" "$x" "$y"
  sleep 0.2
  xdotool mousedown 1
  for _ in $(seq 10); do xdotool mousemove_relative -- 0 -4; sleep 0.05; done
  xdotool mouseup 1
  sleep 1
}
knob_drag
shot knob-drag
result "after a knob drag (slot 3's attack): modified: $(modified)"
choose 100 150
editor_picture editor-before-quit
save
result "after saving: modified: $(modified)"
if grep -q '<config key="chunk">' "$PROJECT"; then
  result "saved project holds the plug-in's state: yes"
else
  result "saved project holds the plug-in's state: NO"
fi
quit_qtractor choices

# ---- 3. Reopen ----
start_qtractor reopened
result "modified after reopening: $(modified)"
open_editor
shot reopened
editor_picture editor-reopened
result "editor reopened: $(sizes) (expected editor $(expected_size 150), the last choice)"
result "pixels differing from the picture before quitting: $(picture_difference "$WORK/shots/editor-reopened.png" "$WORK/shots/editor-before-quit.png")"
result "modified after opening the editor: $(modified)"
quit_qtractor reopened
log "done: $RESULTS"
cat "$RESULTS"
