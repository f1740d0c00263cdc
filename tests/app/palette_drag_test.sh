#!/usr/bin/env bash
# End-to-end drag: the real palette and drop-probe as two processes on a private Xvfb
# display, driven by xdotool. The palette starts on a copy of the sample libraries in
# large-icon mode with the first library selected; the pointer presses on its first part,
# moves into the probe, waits for the probe to report the drag entering, and releases.
# The probe must have received the library's absolute path and the part's name.
#
# usage: palette_drag_test.sh QURIX DROP_PROBE EXAMPLES_DIR
# Exits 77 (skipped) when Xvfb or xdotool is missing. Everything it starts is stopped
# on every way out, and a watchdog ends the run after WATCHDOG seconds.
set -euo pipefail

SKIP=77
WATCHDOG=${WATCHDOG:-45}
if [ $# -ne 3 ]; then
  echo "usage: $0 QURIX DROP_PROBE EXAMPLES_DIR" >&2
  exit 2
fi
qurix=$(realpath -- "$1")
probe=$(realpath -- "$2")
examples=$(realpath -- "$3")
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "palette_drag_test: skipped, $tool is missing"
    exit "$SKIP"
  fi
done
for program in "$qurix" "$probe"; do
  [ -x "$program" ] || { echo "palette_drag_test: no $program" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/qurix-drag.XXXXXX")
pids=()
cleanup() {
  local pid
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
trap cleanup EXIT
trap 'echo "palette_drag_test: stopped (watchdog after ${WATCHDOG}s, or a signal)" >&2; exit 1' TERM INT HUP

# The watchdog stops the run; stopped itself, it takes its sleep along, so that nothing
# keeps the test's output open after the end.
(
  trap 'kill "$nap" 2>/dev/null; wait "$nap" 2>/dev/null; exit 0' TERM
  sleep "$WATCHDOG" &
  nap=$!
  wait "$nap"
  kill -TERM $$
) >/dev/null 2>&1 &
pids+=($!)

fail() {
  echo "palette_drag_test: $*" >&2
  for log in "$work"/*.log "$work"/*.out; do
    [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
  done
  exit 1
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

# The palette's folder: the samples and their KIVOX.INI, with a known layout.
mkdir "$work/palette"
cp -R "$examples"/. "$work/palette/"
printf '[qurix]\nwin_width=600\nwin_height=460\nplv_width=160\nplib_last=0\nparts_style=0\n' \
  >>"$work/palette/KIVOX.INI"
folder=$(cd "$work/palette" && pwd -P)
library_path=$folder/passive.lib
part=$(grep -m1 -o '^+COMP,N:[^,]*' "$library_path" | cut -d: -f2 | tr -d '\r')
[ -n "$part" ] || fail "no part found in $library_path"

# A display of our own; Xvfb tells its number once it takes clients.
mkfifo "$work/displayfd"
Xvfb -displayfd 5 -noreset -screen 0 1280x1024x24 -nolisten tcp 5>"$work/displayfd" \
  2>"$work/xvfb.log" &
pids+=($!)
display=""
read -r -t 20 display <"$work/displayfd" || true
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
# Leaks in the X and font libraries are not what this test is about.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

(cd "$work/palette" && exec "$qurix") >"$work/qurix.log" 2>&1 &
qurix_pid=$!
pids+=("$qurix_pid")
# The main window is shown once the thumbnails are built.
shown=""
for _ in $(seq 200); do
  shown=$(xdotool search --onlyvisible --name '^Qurix$' 2>/dev/null | head -n1 || true)
  [ -n "$shown" ] && break
  kill -0 "$qurix_pid" 2>/dev/null || fail "the palette ended at start"
  sleep 0.1
done
[ -n "$shown" ] || fail "the palette window did not appear"

"$probe" --once --timeout 30 --geometry 300x200+760+100 >"$work/probe.out" 2>"$work/probe.log" &
probe_pid=$!
pids+=("$probe_pid")
wait_for "$work/probe.out" '^ready ' 100 || fail "the probe did not get ready"
sleep 0.5

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
if ! wait_for "$work/probe.out" '^enter ' 50; then
  xdotool mouseup 1 || true
  fail "the drag did not reach the probe"
fi
xdotool mousemove 825 195
sleep 0.3
xdotool mouseup 1

probe_status=""
for _ in $(seq 100); do
  if ! kill -0 "$probe_pid" 2>/dev/null; then
    probe_status=0
    wait "$probe_pid" || probe_status=$?
    break
  fi
  sleep 0.1
done
[ -n "$probe_status" ] || fail "the probe did not end after the drop"
cat "$work/probe.out"

status=0
expect() {
  if ! grep -Fxq -- "$1" "$work/probe.out"; then
    echo "palette_drag_test: expected the line: $1" >&2
    status=1
  fi
}
grep -Eq '^enter formats=.*KivoxPartsInfo' "$work/probe.out" ||
  { echo "palette_drag_test: the drag did not offer KivoxPartsInfo" >&2; status=1; }
expect "drop format=KivoxPartsInfo bytes=520"
expect "library=$library_path"
expect "part=$part"
expect "padding=zero"
expect "end"
[ "$probe_status" -eq 0 ] || { echo "palette_drag_test: probe exit $probe_status" >&2; status=1; }
# The palette goes on after the drop.
kill -0 "$qurix_pid" 2>/dev/null || { echo "palette_drag_test: the palette ended" >&2; status=1; }

if [ "$status" -ne 0 ]; then
  fail "FAILED"
fi
echo "palette_drag_test: OK ($part from $library_path)"
