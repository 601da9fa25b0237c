# Shared steps of the manual host checks (sourced by ardour-check.sh and qtractor-check.sh).
# Everything runs in a temporary folder $WORK with its own HOME, on a private X display.

set -euo pipefail

DAW_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO="$(cd "$DAW_DIR/../.." && pwd)"
DISPLAY_NUMBER="${DISPLAY_NUMBER:-77}"
PIDS=()

log() { printf '[%s] %s\n' "$(date +%T)" "$*" | tee -a "$WORK/steps.log" >&2; }

# Installs the Debian packages given, when one of them is missing.
need_packages() {
  local missing=()
  for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
  if ((${#missing[@]})); then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  fi
}

# $WORK, its HOME, the tools and the sample kit. Arguments: the plug-in module, the kestrune-host tool.
prepare_work() {
  local module="$1" host_tool="$2"
  WORK="${WORK:-$(mktemp -d /tmp/kestrune-daw.XXXXXX)}"
  mkdir -p "$WORK/home" "$WORK/shots" "$WORK/plugins" "$WORK/kit"
  export HOME="$WORK/home"
  unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME DBUS_SESSION_BUS_ADDRESS
  "$DAW_DIR/build-tools.sh" "$module" "$WORK/tools" >/dev/null
  "$host_tool" kit "$WORK/kit" >/dev/null
  export KESTRUNE_SPY_LOG="$WORK/spy.log" KESTRUNE_SPY_INJECT="$WORK/spy.inject"
  export KESTRUNE_SPY_TARGET="$WORK/tools/real/Kestrune.so"
  # The host scans $WORK/plugins: the spy when asked for (the real module stays outside), else the module.
  if [[ "${SPY:-0}" == 1 ]]; then
    cp "$WORK/tools/KestruneSpy.so" "$WORK/plugins/Kestrune.so"
  else
    cp "$module" "$WORK/plugins/Kestrune.so"
  fi
  log "work folder: $WORK (spy: ${SPY:-0})"
}

start_display() {
  export DISPLAY=":$DISPLAY_NUMBER"
  Xvfb "$DISPLAY" -screen 0 "${SCREEN:-1600x1000x24}" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >"$WORK/openbox.log" 2>&1 &
  PIDS+=($!)
  sleep 1
}

# Ends what this script started, newest first, by process id.
stop_all() {
  local i
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[$i]}" 2>/dev/null || true; done
  sleep 1
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill -9 "${PIDS[$i]}" 2>/dev/null || true; done
}

shot() {
  import -window root "$WORK/shots/$1.png"
  log "screenshot $WORK/shots/$1.png"
}

# Prints the first window whose name matches the pattern, waiting up to $2 seconds (default 30).
wait_window() {
  local pattern="$1" seconds="${2:-30}" w
  for _ in $(seq $((seconds * 4))); do
    w="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1 || true)"
    if [[ -n "$w" ]]; then
      echo "$w"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

window_name() { xdotool getwindowname "$1" 2>/dev/null || true; }

# Clicks at (x, y) of a window (its own coordinates).
click_at() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.2
  xdotool click 1
}

# The centre of slot N's sample view (editor coordinates); the close, previous and next buttons are
# 14 px squares in its top-right, lower-left and lower-right corners (above the name line).
SLOT_PITCH=152
slot_view_centre() { echo $((101 + SLOT_PITCH * $1)) 110; }
slot_close_button() { echo $((169 + SLOT_PITCH * $1)) 85; }
slot_previous_button() { echo $((33 + SLOT_PITCH * $1)) 143; }
slot_next_button() { echo $((169 + SLOT_PITCH * $1)) 143; }
attack_knob() { echo $((69 + SLOT_PITCH * $1)) 309; }

# Answers the open file dialog (zenity's GTK chooser) with a path, or cancels it with "cancel".
answer_chooser() {
  local answer="$1" w
  if ! w="$(wait_window '^Select audio sample$' 15)"; then
    log "no file dialog appeared"
    return 1
  fi
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  sleep 2
  if [[ "$answer" == cancel ]]; then
    xdotool key Escape
  else
    xdotool key ctrl+l
    sleep 0.5
    xdotool type --delay 20 "$answer"
    sleep 0.5
    xdotool key Return
  fi
  sleep 1.5
}

chooser_processes() { pgrep -f -- '--title=Select audio sample' || true; }

# Whether a saved project holds the path (also inside a plug-in state kept as base64, compressed or not).
project_has_path() { python3 "$DAW_DIR/tools/project-has-path.py" "$1" "$2"; }

# Writes host-call requests for the spy plug-in (see tools/KestruneSpy.cpp).
spy_request() {
  printf '%s\n' "$@" >"$KESTRUNE_SPY_INJECT"
  for _ in $(seq 40); do [[ -e "$KESTRUNE_SPY_INJECT" ]] || return 0; sleep 0.1; done
  log "spy did not take the request"
}
spy_mark() { [[ -n "${KESTRUNE_SPY_LOG:-}" ]] && echo "######## $*" >>"$KESTRUNE_SPY_LOG" || true; }
