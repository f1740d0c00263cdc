#!/usr/bin/env bash
# Drags a part from a small Qt drag source (the DragSourceForProbe test of
# qurix_app_tests) into drop-probe, two processes under Xvfb driven by xdotool, and
# checks what the probe received. Not part of ctest yet.
#
# usage: tests/app/drag_probe_check.sh [BUILD_DIR]
#   BUILD_DIR defaults to ./build; DROP_PROBE and DRAG_SOURCE override the two programs.
set -euo pipefail

build=${1:-build}
probe=${DROP_PROBE:-$build/drop-probe}
source_tests=${DRAG_SOURCE:-$build/tests/qurix_app_tests}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "drag_probe_check: $tool is missing" >&2; exit 2; }
done
[ -x "$probe" ] || { echo "drag_probe_check: no $probe" >&2; exit 2; }
[ -x "$source_tests" ] || { echo "drag_probe_check: no $source_tests" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own; Xvfb tells its number when it is ready to take clients.
mkfifo "$work/displayfd"
Xvfb -displayfd 5 -noreset -screen 0 1024x768x24 -nolisten tcp 5>"$work/displayfd" \
  2>"$work/xvfb.log" &
pids+=($!)
read -r -t 20 display <"$work/displayfd" || { echo "drag_probe_check: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb

# Waits until FILE has a line matching PATTERN (extended regex).
wait_for() {
  local file=$1 pattern=$2 tries=${3:-100}
  for _ in $(seq "$tries"); do
    grep -Eq "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "drag_probe_check: no '$pattern' in $file:" >&2
  cat "$file" >&2 || true
  return 1
}

# One drag: the part NAME of the library PATH from the source window (0,0 200x200) into
# the probe (400,100 300x200); leaves the probe's report in $work/probe.out.
drag_once() {
  local path=$1 name=$2
  : >"$work/probe.out"
  : >"$work/source.out"
  "$probe" --once --timeout 30 --geometry 300x200+400+100 >"$work/probe.out" 2>"$work/probe.err" &
  local probe_pid=$!
  pids+=("$probe_pid")
  QURIX_DRAG_SOURCE_PATH=$path QURIX_DRAG_SOURCE_PART=$name \
    "$source_tests" --gtest_filter=DragSourceForProbe.PressToDrag >"$work/source.out" 2>&1 &
  local source_pid=$!
  pids+=("$source_pid")
  wait_for "$work/probe.out" '^ready '
  wait_for "$work/source.out" '^source ready'
  sleep 0.3

  xdotool mousemove 100 100
  sleep 0.2
  xdotool mousedown 1
  sleep 0.3
  for x in 150 250 350 450 550; do
    xdotool mousemove "$x" 200
    sleep 0.1
  done
  wait_for "$work/probe.out" '^enter '
  xdotool mousemove 555 205
  sleep 0.2
  xdotool mouseup 1

  local status=0
  wait "$probe_pid" || status=$?
  wait_for "$work/source.out" '^source drag ended'
  wait "$source_pid" || true
  echo "probe exit $status" >>"$work/probe.out"
}

fail=0
expect() {
  local report=$1 line=$2
  if ! grep -Fxq -- "$line" <<<"$report"; then
    echo "drag_probe_check: expected line: $line" >&2
    fail=1
  fi
}

drag_once "/srv/lib dir/std.lib" "NAND2"
report=$(cat "$work/probe.out")
echo "$report"
expect "$report" "drop format=KivoxPartsInfo bytes=520"
expect "$report" "library=/srv/lib dir/std.lib"
expect "$report" "part=NAND2"
expect "$report" "padding=zero"
expect "$report" "probe exit 0"

# Longest path that fits (259 bytes) and a Shift-JIS part name.
long_path=/$(printf 'p%.0s' $(seq 254)).lib
sjis_name=$(printf '\x92\xEF\x8D\x52')
drag_once "$long_path" "$sjis_name"
report=$(cat "$work/probe.out")
echo "$report"
expect "$report" "library=$long_path"
expect "$report" "part=$sjis_name"
expect "$report" "padding=zero"
expect "$report" "probe exit 0"

if [ "$fail" -ne 0 ]; then
  echo "drag_probe_check: FAILED" >&2
  exit 1
fi
echo "drag_probe_check: OK"
