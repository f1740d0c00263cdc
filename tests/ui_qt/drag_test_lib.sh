# shellcheck shell=bash disable=SC2034  # sets variables for the sourcing script
# Shared by the end-to-end drag tests (sourced, not run): a scratch folder, a watchdog,
# a private Xvfb display and the real palette on a copy of the sample libraries, and the
# pointer moves of one drag. Everything started through these helpers is stopped on every
# way out. Messages name the script; a watchdog ends it after WATCHDOG seconds (240
# unless the script sets fewer first).

TEST_NAME=$(basename -- "$0" .sh)
WATCHDOG=${WATCHDOG:-240}
SKIP=77
pids=()
# Extra clean-up the sourcing script may add, run before the processes are stopped.
cleanup_hooks=()

# Sets args to the script's arguments made absolute; exits 2 with USAGE unless there are
# COUNT of them.
take_paths() {
  local usage=$1 count=$2 path
  shift 2
  # A last "--place": place by click (Enter, move, click) instead of a held drag.
  place=no
  if [ $# -eq $((count + 1)) ] && [ "${!#}" = --place ]; then
    place=yes
    set -- "${@:1:count}"
  fi
  if [ $# -ne "$count" ]; then
    echo "usage: $TEST_NAME $usage" >&2
    exit 2
  fi
  args=()
  for path in "$@"; do args+=("$(realpath -m -- "$path")"); done
}

# Exits 77 (skipped) when one of the named programs is missing.
skip_unless_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "$TEST_NAME: skipped, $tool is missing"
      exit "$SKIP"
    fi
  done
}

fail() {
  local log
  echo "$TEST_NAME: $*" >&2
  for log in "$work"/*.log "$work"/*.out; do
    [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
  done
  exit 1
}

cleanup() {
  local pid hook
  for hook in "${cleanup_hooks[@]}"; do "$hook" || true; done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}

# Makes the scratch folder $work, arms the clean-up and starts the watchdog.
start_scratch() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/qurix-drag.XXXXXX")
  trap cleanup EXIT
  trap 'echo "$TEST_NAME: stopped (watchdog after ${WATCHDOG}s, or a signal)" >&2; exit 1' \
    TERM INT HUP
  # Stopped itself, the watchdog takes its sleep along, so that nothing keeps the test's
  # output open after the end.
  (
    trap 'kill "$nap" 2>/dev/null; wait "$nap" 2>/dev/null; exit 0' TERM
    sleep "$WATCHDOG" &
    nap=$!
    wait "$nap"
    kill -TERM $$
  ) >/dev/null 2>&1 &
  pids+=($!)
}

# Waits until FILE has a line matching PATTERN (extended regex), TRIES tenths of a second.
wait_for() {
  local file=$1 pattern=$2 tries=${3:-100}
  for _ in $(seq "$tries"); do
    grep -Eq -- "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to TRIES tenths of a second for PID to end; sets exit_status, empty if it did not.
wait_exit() {
  local pid=$1 tries=${2:-100}
  exit_status=""
  for _ in $(seq "$tries"); do
    if ! kill -0 "$pid" 2>/dev/null; then
      exit_status=0
      wait "$pid" || exit_status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# The palette's folder $work/palette: the samples and their KIVOX.INI, with a known layout.
# Sets library_path (absolute, links resolved), editor_path (the same as the editor under
# Wine opens it: on the Z: drive, which the test prefixes map to /) and part (the first
# part of that library).
prepare_palette() {
  local examples=$1 folder
  mkdir "$work/palette"
  cp -R "$examples"/. "$work/palette/"
  printf '[qurix]\nwin_width=600\nwin_height=460\nplv_width=160\nplib_last=0\nparts_style=0\n' \
    >>"$work/palette/KIVOX.INI"
  folder=$(cd "$work/palette" && pwd -P)
  library_path=$folder/passive.lib
  editor_path="Z:${library_path//\//\\}"
  part=$(grep -m1 -o '^+COMP,N:[^,]*' "$library_path" | cut -d: -f2 | tr -d '\r')
  [ -n "$part" ] || fail "no part found in $library_path"
}

# A display of our own; Xvfb tells its number once it takes clients. Exports DISPLAY and
# what the Qt programs need on it.
start_xvfb() {
  local display=""
  mkfifo "$work/displayfd"
  Xvfb -displayfd 5 -noreset -screen 0 1280x1024x24 -nolisten tcp 5>"$work/displayfd" \
    2>"$work/xvfb.log" &
  pids+=($!)
  read -r -t 20 display <"$work/displayfd" || true
  [ -n "$display" ] || fail "Xvfb did not start"
  export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
  # Leaks in the X and font libraries are not what these tests are about.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
}

# Waits up to 20 seconds for a mapped window titled TITLE of the program PID (named WHO
# in messages).
wait_window() {
  local title=$1 pid=$2 who=$3
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && return 0
    kill -0 "$pid" 2>/dev/null || fail "$who ended at start"
    sleep 0.1
  done
  fail "the window of $who did not appear"
}

# Starts the palette in $work/palette and waits for its window; sets qurix_pid.
start_palette() {
  local qurix=$1
  # The palette keeps its recent parts in the per-user folder: the test's own, not the user's.
  export XDG_CONFIG_HOME=$work/config
  (cd "$work/palette" && exec "$qurix") >"$work/qurix.log" 2>&1 &
  qurix_pid=$!
  pids+=("$qurix_pid")
  # The main window is shown once the thumbnails are built.
  wait_window "Qurix( - .*)?" "$qurix_pid" "the palette"
}

# Drags the palette's first large icon to the right, into a drop target whose window
# covers (820,190) of the screen, and drops it there once the target writes a line
# matching ENTERED into LOG.
drag_first_part() {
  local log=$1 entered=$2 x
  # No window manager: the palette's client area starts at the screen's origin. The first
  # large icon lies right of the 160-pixel library column, below the menu and toolbar.
  xdotool mousemove 205 90
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  for x in 212 220 240 300 400 500 600 700 780 820; do
    xdotool mousemove "$x" 190
    sleep 0.1
  done
  if ! wait_for "$log" "$entered" 50; then
    xdotool mouseup 1 || true
    fail "the drag did not reach the drop target"
  fi
  xdotool mousemove 825 195
  sleep 0.3
  xdotool mouseup 1
}

# Click-to-place: picks the palette's first large icon with a click, starts placing it
# with Enter and carries it with no button held into a drop target whose window covers
# (820,190), until LOG has COUNT lines matching ENTERED. The caller clicks (drop) or
# presses Esc (cancel).
carry_first_part() {
  local log=$1 entered=$2 count=$3 x
  xdotool mousemove 205 90 click 1
  sleep 0.3
  xdotool key Return
  sleep 0.3
  for x in 212 220 240 300 400 500 600 700 780 820; do
    xdotool mousemove "$x" 190
    sleep 0.1
  done
  for _ in $(seq 50); do
    [ "$(grep -Ec -- "$entered" "$log")" -ge "$count" ] && break
    sleep 0.1
  done
  [ "$(grep -Ec -- "$entered" "$log")" -ge "$count" ] ||
    fail "the part did not follow the pointer into the drop target"
  xdotool mousemove 825 195
  sleep 0.3
}

# Takes the Wine prefix PREFIX for this test: exports what Wine needs and locks it against
# the other tests that share it; the lock stays with the shell's descriptor 8.
use_wine_prefix() {
  prefix=$1
  # No Mono or Gecko download dialogs, no menu entries or file types in the user's home.
  export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  mkdir -p "$(dirname -- "$prefix")"
  exec 8>"$prefix.lock"
  # Long steps run in the background: bash holds a signal, and so the watchdog, until a
  # foreground command ends.
  flock 8 &
  wait $! || fail "could not lock $prefix.lock"
  cleanup_hooks+=(stop_wine)
}

stop_wine() { wineserver -k 2>/dev/null; }

# Makes the prefix on the first run (wineboot, the slow part); a prefix without the mark
# is left over from a broken start and made again.
make_wine_prefix() {
  local started
  [ -e "$prefix/qurix-ready" ] && return 0
  rm -rf -- "$prefix"
  started=$SECONDS
  wine wineboot --init >"$work/wineboot.log" 2>&1 &
  wait $! || fail "wineboot failed"
  wineserver -w &
  wait $!
  touch "$prefix/qurix-ready"
  echo "$TEST_NAME: made the Wine prefix in $((SECONDS - started)) s"
}

# Starts the Win32 drop target TARGET_EXE under Wine, covering (760..1060, 100..300), and
# waits until its window is there; sets target_pid. The target writes its report to
# $work/target.out and the block to $work/block.bin. A WRAPPER command (optional) runs Wine,
# for a locale of its own.
start_wine_drop_target() {
  local exe=$1 wrapper=${2:-}
  (cd "$work" && $wrapper exec wine "$exe" 760 100 300 200 block.bin) >"$work/target.out" \
    2>"$work/target.log" &
  target_pid=$!
  pids+=("$target_pid")
  wait_for "$work/target.out" '^ready$' 600 || fail "the drop target did not get ready"
  # Wine maps the window on its own time; a drag that arrives before finds no target.
  wait_window wine-drop-target "$target_pid" "the drop target"
  sleep 0.5
}

# After a drop into the Win32 drop target: the block it wrote to $work/block.bin must be
# the one the editor expects (editor_path in the first 260 bytes, part in the next 260,
# zeros behind each), 520 bytes, with a path the target could open. Sets status to 1 on a
# difference (0 otherwise), saying what differs.
check_dropped_block() {
  printf '%s' "$editor_path" >"$work/expected.bin"
  truncate -s 260 "$work/expected.bin"
  printf '%s' "$part" >>"$work/expected.bin"
  truncate -s 520 "$work/expected.bin"
  status=0
  grep -Fxq "drop bytes=520" "$work/target.out" ||
    { echo "$TEST_NAME: expected a block of 520 bytes" >&2; status=1; }
  grep -Fxq "open ok" "$work/target.out" ||
    { echo "$TEST_NAME: the drop target could not open the block's path" >&2; status=1; }
  if ! cmp -s "$work/expected.bin" "$work/block.bin"; then
    echo "$TEST_NAME: the block differs from the expected one:" >&2
    od -A d -c "$work/block.bin" >&2 || true
    status=1
  fi
}
