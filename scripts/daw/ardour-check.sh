#!/bin/bash
# Manual check of Kestrune in Ardour 7 (Debian's package) under Xvfb, as a musician would use it. Not part
# of CI: it installs a DAW and takes a few minutes.
#
#   scripts/daw/ardour-check.sh [build/platform/linux/Kestrune.so] [build/tools/kestrune-host/kestrune-host]
#
# It makes a session with one MIDI track holding Kestrune (Ardour's Lua tool), opens it in Ardour with the
# Dummy engine, opens Kestrune's editor from the mixer strip, and then, saving between steps, loads samples
# the four ways the editor offers (a click answered in the file dialog, a drop, the previous and next
# buttons, the close button), turns a knob and changes the editor's size (200 %, then 100 % again, noting
# the editor window's size). After each step it notes whether Ardour marks the session modified ('*'
# before the window title). Then it saves, quits, checks the session file holds the sample path (inside
# the plug-in's state), reopens the session and shows the editor again. SCREEN=WxHxD sizes the display.
#
# Environment: SPY=1 puts the forwarding spy plug-in (tools/KestruneSpy.cpp) in front of Kestrune: every
# call in both directions is logged with its thread to $WORK/spy.log (a census of the host's threads).
# WORK=DIR keeps the files in DIR (default: a new /tmp/kestrune-daw.* folder); DISPLAY_NUMBER=N (77).
# Results: $WORK/results.txt, screenshots in $WORK/shots/, Ardour's output in $WORK/ardour*.log.

source "$(dirname "$0")/common.sh"
source "$DAW_DIR/ardour-config.sh"

MODULE="$(realpath "${1:-$REPO/build/platform/linux/Kestrune.so}")"
HOST_TOOL="$(realpath "${2:-$REPO/build/tools/kestrune-host/kestrune-host}")"
need_packages ardour openbox xdotool wmctrl xvfb x11-utils zenity imagemagick g++ libx11-dev
prepare_work "$MODULE" "$HOST_TOOL"
trap stop_all EXIT
RESULTS="$WORK/results.txt"
: >"$RESULTS"
result() { echo "$*" | tee -a "$RESULTS" >&2; }

# ---- Ardour's configuration, its plug-in cache, and a session made by its Lua tool ----
ardour_config "$WORK/plugins"
# The cache entry counts only when it is newer than the module; the scanner stamps whole seconds.
touch -d '-1 min' "$WORK/plugins/Kestrune.so"
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -q "$WORK/plugins/Kestrune.so"
SESSION_DIR="$WORK/session"
cat >"$WORK/make-session.lua" <<EOF
AudioEngine:set_backend("None (Dummy)", "", "")
local s = create_session("$SESSION_DIR", "kestrune", 48000)
assert(s, "no session")
local pi = ARDOUR.LuaAPI.new_plugin_info("Kestrune", ARDOUR.PluginType.LXVST)
assert(not pi:isnil(), "Kestrune not found among the scanned plug-ins")
local tl = s:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1), ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2),
  true, pi, nil, nil, 1, "Kestrune", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
assert(tl:size() == 1, "no track")
s:save_state("", false, false, false, false, false)
close_session()
EOF
ardour7-lua "$WORK/make-session.lua" >"$WORK/lua.log" 2>&1
SESSION_FILE="$SESSION_DIR/kestrune.ardour"
[[ -f "$SESSION_FILE" ]] || { log "no session made: see $WORK/lua.log"; exit 1; }
log "session: $SESSION_FILE"

start_display

ARDOUR_PID=
start_ardour() {
  ardour "$SESSION_FILE" >"$WORK/ardour-$1.log" 2>&1 &
  ARDOUR_PID=$!
  PIDS+=("$ARDOUR_PID")
  MAIN="$(wait_window '^\*?kestrune - Ardour$' 90)" || { shot "ardour-$1-no-window"; log "Ardour did not open"; exit 1; }
  sleep 8 # the session is still loading when the window shows
}

modified() { [[ "$(window_name "$MAIN")" == \** ]] && echo yes || echo no; }

save() {
  xdotool windowactivate --sync "$MAIN" 2>/dev/null || true
  sleep 0.3
  xdotool key ctrl+s
  sleep 2
}

# The mixer (its button at the top right of the main window), then a double click on the plug-in in the
# track's strip. The places are those of Ardour 7.3's default layout at this screen size.
open_editor() {
  local try
  for try in 1 2 3; do
    xdotool windowactivate --sync "$MAIN" 2>/dev/null || true
    click_at "$MAIN" 1326 72
    sleep 3
    xdotool mousemove --window "$MAIN" 331 187
    sleep 0.3
    # A quick double click, then the pointer leaves: the editor opens under it and must not take a click.
    xdotool click --repeat 2 --delay 30 1
    xdotool mousemove 1590 990
    PLUGWIN="$(wait_window '^Kestrune: Kestrune' 10)" && break
    shot "no-editor-$try"
    log "no editor window yet (try $try)"
  done
  [[ -n "${PLUGWIN:-}" ]] || { log "editor window did not open"; exit 1; }
  EDITOR="$(wait_window '^Kestrune$' 10)" || { shot "no-editor-view"; log "Kestrune's view is not in the window"; exit 1; }
  sleep 1
}

close_editor() {
  xdotool windowactivate --sync "$PLUGWIN" 2>/dev/null || true
  # Through the window manager (a polite close request), never by destroying the host's window.
  wmctrl -i -c "$PLUGWIN"
  sleep 1
}

# Closes the editor through the window manager, then quits; notes how Ardour ended.
quit_ardour() {
  close_editor
  xdotool windowactivate --sync "$MAIN" 2>/dev/null || true
  xdotool key ctrl+q
  local status=running
  for _ in $(seq 60); do kill -0 "$ARDOUR_PID" 2>/dev/null || { status=ended; break; }; sleep 0.5; done
  if [[ "$status" == ended ]]; then
    wait "$ARDOUR_PID" && status="exit 0" || status="exit $?"
  fi
  result "Ardour quit ($1 run): $status"
  grep -q 'BadWindow' "$WORK/ardour-$1.log" && result "  X error on the way out: $(grep -m1 -A0 'The error was' "$WORK/ardour-$1.log")"
  return 0
}

# Runs one editor action ($2...) and notes whether the session is marked modified afterwards.
step() {
  local name="$1"
  shift
  spy_mark "step $name"
  "$@"
  sleep 2
  shot "step-$name"
  result "$(printf '%-28s modified: %s' "$name" "$(modified)")"
  save
  [[ "$(modified)" == no ]] || log "still modified after saving"
}

KIT="$WORK/kit"
load_by_dialog() {
  click_at "$EDITOR" $(slot_view_centre 0)
  answer_chooser "$KIT/pluck.wav"
}
load_by_drop() { "$WORK/tools/xdnd-drop" "$EDITOR" $(slot_view_centre 1) "$KIT/bass.wav" | tee -a "$WORK/steps.log" >&2; }
previous_button() { click_at "$EDITOR" $(slot_previous_button 0); }
next_button() { click_at "$EDITOR" $(slot_next_button 0); }
close_button() { click_at "$EDITOR" $(slot_close_button 1); }
knob_drag() {
  xdotool mousemove --window "$EDITOR" $(attack_knob 2)
  sleep 0.2
  xdotool mousedown 1
  for _ in $(seq 10); do xdotool mousemove_relative -- 0 -4; sleep 0.05; done
  xdotool mouseup 1
}
cancel_dialog() {
  click_at "$EDITOR" $(slot_view_centre 3)
  answer_chooser cancel
}
dialog_after_cancel() {
  click_at "$EDITOR" $(slot_view_centre 4)
  if [[ -n "$(chooser_processes)" ]]; then
    result "file dialog opens again after a cancel: yes"
    answer_chooser "$KIT/drum.wav"
  else
    result "file dialog opens again after a cancel: NO"
  fi
}

# The editor's size control (100 %, 150 %, 200 % in the top band, at 100 % pixels here): a choice asks the
# host to resize the editor's window while it is open. A size is the user's preference, not the state.
editor_size() { xdotool getwindowgeometry "$EDITOR" | sed -n 's/.*Geometry: //p'; }
size_200() {
  click_at "$EDITOR" 764 44
  sleep 2
  result "editor window after choosing 200 %: $(editor_size)"
}
size_100() {
  click_at "$EDITOR" $((684 * 2)) $((44 * 2))
  sleep 2
  result "editor window after choosing 100 % again: $(editor_size)"
}

# ---- First run: load, check the modified mark, save ----
start_ardour first
shot "ardour-started"
result "Ardour: $(dpkg-query -W -f '${Version}' ardour); modified at start: $(modified)"
open_editor
shot "editor-open"
step dialog-load load_by_dialog
step drop-load load_by_drop
step previous-button previous_button
step next-button next_button
step close-button close_button
step knob-drag knob_drag
step dialog-cancel cancel_dialog
step dialog-after-cancel dialog_after_cancel
result "editor window at the start: $(editor_size)"
step size-200 size_200
step size-100 size_100
slot0="$(grep -aoE "$KIT/[a-z]+\.(wav|ogg)" <(base64 -d <<<"$(grep -oE '<chunk[^>]*>[^<]*' "$SESSION_FILE" | sed 's/<chunk[^>]*>//')" 2>/dev/null) | head -1 || true)"
quit_ardour first

# ---- The saved session holds the paths ----
for f in pluck.wav drum.wav; do
  if project_has_path "$SESSION_FILE" "$KIT/$f"; then result "saved session holds $f: yes"; else result "saved session holds $f: NO"; fi
done
project_has_path "$SESSION_FILE" "$KIT/bass.wav" && result "closed slot's bass.wav still in the session: yes" ||
  result "closed slot's bass.wav still in the session: no"
log "first slot's path in the saved chunk: ${slot0:-none}"

# ---- Reopen ----
start_ardour second
result "modified after reopening: $(modified)"
open_editor
shot "editor-reopened"
log "look at $WORK/shots/editor-reopened.png: slots 1 and 5 show their samples again"
quit_ardour second
log "done: $RESULTS"
cat "$RESULTS"
