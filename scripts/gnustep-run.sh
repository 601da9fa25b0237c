#!/usr/bin/env bash
# The GNUstep run of the macOS editor: the GNUstep build's Kestrune.vst opened by our host
# (kestrune-gnustep-host) in an NSWindow on a virtual X display with a window manager, and driven with
# xdotool as a user would: hover, click, double click, drags with and without Shift, the wheel, a right
# click and a Command-click opening the value field, typing and Return, the timer's redraws (right side
# up), the open panel, a pasteboard round trip with another program, a file dropped from that program,
# the alert of an instrument file with a missing sample, and closing. Then the editor on a screen of
# two device pixels per point (GNUstep's GSScaleFactor, its HiDPI setting): the editor's size in
# points from the display's density, and the environment before it. The host logs the
# messages the view receives and the host callbacks (see tests/gnustep/EditorHost.mm); each check reads
# that log.
#   scripts/gnustep-run.sh <GNUstep build folder>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
host="$build/tests/gnustep/kestrune-gnustep-host"
drag="$build/tests/gnustep/kestrune-gnustep-drag"
tmp="$(mktemp -d)"
log="$tmp/host.log"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

passed=0
failed=0
check() { # check <name> <command...>
  local name="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok     $name"
  else
    failed=$((failed + 1))
    echo "FAILED $name"
  fi
}

# ---- The display, a window manager, and GNUstep's settings in a home of the run's own ----
export HOME="$tmp/home"
mkdir -p "$HOME"
# Command is the Super key (GNUstep's default, Alt, is the window manager's move gesture).
defaults write NSGlobalDomain GSFirstCommandKey Super_L >/dev/null
defaults write NSGlobalDomain GSSecondCommandKey Super_R >/dev/null
display=""
for n in $(seq 91 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n" && break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
# Large enough for the editor at 200 % on a screen of two pixels per point (1616 x 984 pixels).
Xvfb "$display" -screen 0 2048x1536x24 -dpi 96 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$tmp/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# ---- The drawing layer as macOS has it (pixel order, bitmap context, PNG rows, font) ----
check "the macOS drawing layer's suites (kestrune_gnustep_tests)" \
  "$build/tests/gnustep/kestrune_gnustep_tests" --gtest_brief=1

# ---- Files: two samples to drop, one to open, an instrument naming a missing sample ----
mkdir -p "$tmp/drop" "$tmp/panel" "$tmp/alert"
python3 - "$tmp" <<'PY'
import math, struct, sys, wave
for path, freq in (("drop/b.wav", 660), ("drop/a.wav", 440), ("panel/c.wav", 330)):
    w = wave.open(sys.argv[1] + "/" + path, "wb")
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(44100)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * freq * i / 44100)))
                           for i in range(4410)))
    w.close()
PY
printf '<region>\nsample=missing.wav\nlokey=36\n' >"$tmp/alert/bad.sfz"

# ---- Helpers ----
mark=0
since() { tail -n +$((mark + 1)) "$log"; }
remember() { mark=$(wc -l <"$log"); }
# waitfor <pattern> [seconds]: a log line after the mark matching the extended pattern.
waitfor() {
  local end=$((SECONDS + ${2:-10}))
  while [ $SECONDS -le "$end" ]; do
    since | grep -qE "$1" && return 0
    sleep 0.2
  done
  echo "  (no line matching '$1'; since the mark:)"
  since | grep -v Moved | tail -15 | sed 's/^/  | /'
  return 1
}
# The last value of an automate line for a parameter after the mark.
automated() { since | awk -v p="$1" '$1 == "automate" && $2 == p { v = $3 } END { print v }'; }
at() { xdotool mousemove $((ex + $1)) $((ey + $2)); } # editor coordinates
settle() { sleep "${1:-0.6}"; }
paste_text() { KESTRUNE_DRAG_PASTE=1 timeout 30 "$drag" 2>/dev/null; }
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
wait_window() { # wait_window <name regex>: prints the window id
  local w=""
  for _ in $(seq 50); do
    w="$(window_named "$1")" && [ -n "$w" ] && break
    sleep 0.2
  done
  echo "$w"
}
# choose <folder>: in the open panel, go to the folder and take its first file.
choose() {
  local panel
  panel="$(wait_window '^Open$')"
  [ -n "$panel" ] || return 1
  xdotool windowraise "$panel"
  settle 0.3
  xdotool mousemove --window "$panel" 200 396 click 1 key End
  for _ in $(seq 80); do xdotool key BackSpace; done
  xdotool type --delay 20 "$1/"
  settle
  # The folder's files are in the browser's last column; its first row is the folder's only file. The
  # panel's layout keeps to its bottom edge (a panel shown again can be taller at the top).
  local height
  height=$(xdotool getwindowgeometry "$panel" | awk -F'[x ]' '/Geometry/ { print $NF }')
  xdotool mousemove --window "$panel" 245 $((height - 322)) click 1
  settle 0.4
  xdotool key Return
}
bc_lt() { python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) < float(sys.argv[2]) else 1)" "$1" "$2"; }

# ---- The host ----
KESTRUNE_BUNDLE="$build/Kestrune.vst" KESTRUNE_HOST_LOG="$log" "$host" >"$tmp/host.out" 2>&1 &
hostpid=$!
pids+=("$hostpid")
touch "$log"
check "the editor opens in the host's window (viewDidMoveToWindow)" waitfor '^ready ' 20
read -r ex ey _ _ < <(grep '^ready ' "$log" | head -1 | cut -d' ' -f2-)
check "viewDidMoveToWindow" grep -q '^done viewDidMoveToWindow' "$log"
default5=$(awk '$1 == "param" && $2 == 5 { print $3 }' "$log")
default9=$(awk '$1 == "param" && $2 == 9 { print $3 }' "$log")

# The timer: 24 ticks a second, each redrawing the activity strips through drawRect:. Counted over
# 3 s once the first pictures (and their glyphs) are drawn; a loaded machine may fall behind, so the
# bounds only catch a timer that is missing or runs at a wrong rate.
sleep 2
remember
kill -USR1 "$hostpid"
waitfor '^ticks ' 5 >/dev/null
t0=$(since | awk '/^ticks/ { print $2 }' | tail -1)
d0=$(since | awk '/^ticks/ { print $4 }' | tail -1)
sleep 3
remember
kill -USR1 "$hostpid"
waitfor '^ticks ' 5 >/dev/null
t1=$(since | awk '/^ticks/ { print $2 }' | tail -1)
d1=$(since | awk '/^ticks/ { print $4 }' | tail -1)
top=$(since | awk '/^ticks/ { print $6 }' | tail -1)
echo "  timer: $((t1 - t0)) ticks and $((d1 - d0)) draws in 3 s; last area drawn reaches view y $top"
check "the timer ticks about 24 times a second in the run loop" test $((t1 - t0)) -ge 24 -a $((t1 - t0)) -le 90
check "each tick redraws the activity strips (drawRect:)" test $((d1 - d0)) -ge 24
# Activity strips at editor y 73..77 are view y 415..419 (y up): the conversion through the height.
check "drawRect: areas are flipped through the editor height" test "$top" -eq 419

# Right side up: the window's picture is the background image upright, not mirrored.
import -window root -crop "808x492+$ex+$ey" +repage "$tmp/shot.png"
cp "$tmp/shot.png" "$build/gnustep-editor.png"
convert "$root/img/bg.png" -flip "$tmp/bg-flipped.png"
# (compare answers 1 for images that differ at all.)
upright=$( (compare -metric RMSE "$tmp/shot.png" "$root/img/bg.png" null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
mirrored=$( (compare -metric RMSE "$tmp/shot.png" "$tmp/bg-flipped.png" null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
echo "  picture against the background: $upright upright, $mirrored mirrored (RMSE)"
check "the editor is drawn right side up" python3 -c "import sys; sys.exit(0 if float('$upright') * 2 < float('$mirrored') else 1)"

# Hover.
remember
at 60 300; settle 0.2; at 69 309; settle
check "hover: mouseMoved:" waitfor '^done mouseMoved:'

# Clicks: slot 1's on/off button switches the slot off, and on again (parameter 0).
remember
at 60 342; xdotool click 1; settle
check "click: mouseDown: switches slot 1 off (automate 0 0)" waitfor '^automate 0 0\.0000'
remember
xdotool click 1; settle
check "click: and on again (automate 0 1)" waitfor '^automate 0 1\.0000'
check "click: mouseUp:" waitfor '^done mouseUp:'

# Drags on slot 1's attack knob, 20 pixels up: plain, then with Shift (finer).
remember
at 69 309; xdotool mousedown 1; settle 0.2
for dy in 4 8 12 16 20; do at 69 $((309 - dy)); settle 0.1; done
xdotool mouseup 1; settle
plain=$(automated 5)
check "drag: mouseDragged: moves the attack knob" waitfor '^done mouseDragged:'
remember
at 69 309; xdotool keydown shift mousedown 1; settle 0.2
for dy in 4 8 12 16 20; do at 69 $((309 - dy)); settle 0.1; done
xdotool mouseup 1 keyup shift; settle
fine=$(automated 5)
echo "  attack: default $default5, after a plain drag $plain, after a Shift-drag $fine"
check "Shift-drag moves the knob ten times finer" python3 -c "
d, p, f = float('$default5'), float('$plain'), float('$fine')
import sys; sys.exit(0 if p - d > 0.05 and 0 < f - p < (p - d) / 5 else 1)"

# Double click restores the default.
remember
at 69 309; xdotool click --repeat 2 --delay 80 1; settle
check "double click: the attack knob returns to its default" waitfor "^automate 5 $default5"

# Wheel on slot 1's volume knob.
remember
at 130 388; xdotool click 4; settle
check "wheel: scrollWheel: moves the volume knob" waitfor '^automate 9 '
echo "  volume: $default9 -> $(automated 9)"

# Right click: the attack knob's value field; typing and Return apply it.
remember
at 69 309; xdotool click 3; settle
check "right click opens the value field (promptUserInput:param:center:)" waitfor '^done promptUserInput:param:center:'
for _ in $(seq 8); do xdotool key BackSpace; done
xdotool type --delay 40 "0.5"
xdotool key Return
settle
check "typing and Return: controlTextDidEndEditing: applies the value" waitfor '^call controlTextDidEndEditing:'
typed=$(automated 5)
check "the typed value reaches the host (automate 5)" test -n "$typed" -a "$typed" != "$default5"
check "the field is let go after editing ends (endUserInput inside, no crash)" waitfor '^done controlTextDidEndEditing:'

# The keyboard view's note field: a click opens a free-text entry (promptUserInput:); the typed
# note number becomes slot 1's root note (parameter 3).
remember
at 100 243; xdotool click 1; settle
check "a click on the note field opens a free-text entry (promptUserInput:)" waitfor '^done promptUserInput:$'
for _ in $(seq 8); do xdotool key BackSpace; done
xdotool type --delay 40 "72"
xdotool key Return
settle
check "Return applies the typed note (controlTextDidEndEditing:, automate 3)" waitfor '^automate 3 '

# Command-click on the release knob opens its value field like a right click; a right click closes it.
remember
at 131 309; xdotool keydown super click 1 keyup super; settle
check "Command-click opens the value field" waitfor '^done promptUserInput:param:center:'
at 300 460; xdotool click 3; settle
check "a right click closes the open field" waitfor '^done endUserInput'

# The open panel: a click on slot 1's empty sample view; the file chosen loads into the slot.
remember
at 101 138; xdotool click 1
check "a click on an empty sample view opens the open panel" test -n "$(wait_window '^Open$')"
choose "$tmp/panel"
check "the chosen file loads (mouseDown: returns)" waitfor '^done mouseDown:' 15

# The pasteboard: a right click on the sample view copies its path; another program reads it.
remember
at 101 138; xdotool click 3; settle
pasted="$(paste_text)"
echo "  pasteboard: $pasted"
check "pasteboard round trip: the other program reads the loaded path" test "$pasted" = "$tmp/panel/c.wav"

# A drop from another program: two files on slot 2, only the first loads.
KESTRUNE_DRAG_FILES="$tmp/drop/b.wav:$tmp/drop/a.wav" "$drag" >"$tmp/drag.out" 2>&1 &
dragpid=$!
pids+=("$dragpid")
for _ in $(seq 50); do grep -q '^ready' "$tmp/drag.out" && break; sleep 0.2; done
read -r sx sy < <(awk '/^ready/ { print $2, $3 }' "$tmp/drag.out")
remember
xdotool mousemove "$sx" "$sy" mousedown 1 sleep 0.3 mousemove $((sx - 40)) $((sy + 10)) sleep 0.3
at 250 140; settle 0.3; at 253 138; settle 0.5
xdotool mouseup 1
check "draggingEntered: offers a link for file names" waitfor '^done draggingEntered: 2'
check "performDragOperation: takes the drop" waitfor '^done performDragOperation:'
remember
at 253 138; xdotool click 3; settle
pasted="$(paste_text)"
echo "  slot 2 after the drop: $pasted"
check "the first dropped file loads into slot 2" test "$pasted" = "$tmp/drop/b.wav"
kill "$dragpid" 2>/dev/null || true

# The alert: an instrument file whose first region names a missing sample, opened into slot 1.
remember
at 101 138; xdotool click 1
choose "$tmp/alert"
settle 1.5
names="$(xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done)"
echo "  windows: $(echo "$names" | tr '\n' '|')"
check "the missing sample shows an alert" grep -qiE 'wrong sample|alert' <<<"$names"
xdotool key Return
check "the alert's OK lets the load finish" waitfor '^done mouseDown:' 15

# Closing: the host closes its window; the editor closes and the view leaves its superview.
remember
kill -USR2 "$hostpid"
check "closing removes the view (removeFromSuperview, killTimer)" waitfor '^done removeFromSuperview' 10
check "the host ends cleanly" waitfor '^closed' 10
status=124
for _ in $(seq 50); do
  if ! kill -0 "$hostpid" 2>/dev/null; then
    wait "$hostpid" && status=0 || status=$?
    break
  fi
  sleep 0.2
done
check "the host exits with 0" test "$status" -eq 0
cp "$log" "$tmp/host-100.log"

# ---- Two device pixels per point (the host sets GNUstep's factor for itself) ----
# start_host <log> [VAR=value...]: the host on that screen, with the environment given; waits for it.
start_host() {
  log="$1"
  shift
  mark=0
  : >"$log"
  env "$@" KESTRUNE_BUNDLE="$build/Kestrune.vst" KESTRUNE_HOST_LOG="$log" "$host" >>"$tmp/host.out" 2>&1 &
  hostpid=$!
  pids+=("$hostpid")
  waitfor '^ready ' 20 >/dev/null
}
stop_host() {
  kill -USR2 "$hostpid"
  waitfor '^closed' 10 >/dev/null
  wait "$hostpid" 2>/dev/null || true
}
# sizes <word>: the two numbers after the word (view, rect, at) on the last line read that has it.
sizes() { awk -v w="$1" '{ for (i = 1; i < NF; ++i) if ($i == w) print $(i + 1), $(i + 2) }' | tail -1; }

start_host "$tmp/host-200.log" KESTRUNE_HOST_SCALE_FACTOR=2
echo "  on two pixels per point: $(grep '^ready ' "$log" | head -1)"
check "two pixels per point: the display's density opens the editor at 200 %, 808 x 492 points" \
  test "$(sizes rect <"$log")" = "808 492" -a "$(sizes view <"$log")" = "808 492"
stop_host

# The environment before the display.
start_host "$tmp/host-env.log" KESTRUNE_HOST_SCALE_FACTOR=2 KESTRUNE_SCALE=1.5
check "KESTRUNE_SCALE=1.5 comes before the display (606 x 369 points)" test "$(sizes rect <"$log")" = "606 369"
stop_host
[ "$failed" -eq 0 ] || { echo "host output:"; tail -20 "$tmp/host.out"; cp "$log" "$build/gnustep-run.log" 2>/dev/null || true; }
echo "selectors seen: $(grep -oE '^call [^ ]+' "$log" | cut -d' ' -f2 | sort -u | tr '\n' ' ')"
echo "The editor as the run saw it: $build/gnustep-editor.png"
echo "gnustep-run: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
