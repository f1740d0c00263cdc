#!/usr/bin/env bash
# End-to-end click-to-place: the real palette and drop-probe on a private Xvfb display,
# driven by xdotool with no mouse button held through the drag. A click selects the
# palette's first part and Enter starts the drag; the pointer moves into the probe, which
# must see the drag enter. Esc then cancels (nothing arrives); a second time a click drops,
# and the probe must receive the 520-byte block and the palette count the part as used.
#
# usage: palette_place_test.sh QURIX DROP_PROBE EXAMPLES_DIR
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

TEST_NAME=palette_place_test
WATCHDOG=${WATCHDOG:-60}
# shellcheck source=tests/ui_qt/drag_test_lib.sh
. "$(dirname -- "$0")/drag_test_lib.sh"
take_paths "QURIX DROP_PROBE EXAMPLES_DIR" 3 "$@"
qurix=${args[0]} probe=${args[1]} examples=${args[2]}
skip_unless_tools Xvfb xdotool
for program in "$qurix" "$probe"; do
  [ -x "$program" ] || { echo "$TEST_NAME: no $program" >&2; exit 1; }
done

start_scratch
prepare_palette "$examples"
start_xvfb
export WINEPREFIX=$work/no-wine-prefix
start_palette "$qurix"

"$probe" --once --timeout 40 --geometry 300x200+760+100 >"$work/probe.out" 2>"$work/probe.log" &
probe_pid=$!
pids+=("$probe_pid")
wait_for "$work/probe.out" '^ready ' 100 || fail "the probe did not get ready"
sleep 0.5

carry_first_part "$work/probe.out" '^enter ' 1
xdotool key Escape
sleep 1
grep -q '^drop ' "$work/probe.out" && fail "Esc dropped the part"
kill -0 "$probe_pid" 2>/dev/null || fail "the probe ended after Esc"

carry_first_part "$work/probe.out" '^enter ' 2
xdotool click 1
wait_exit "$probe_pid" || fail "the probe did not end after the click"
probe_status=$exit_status
cat "$work/probe.out"

status=0
expect() {
  if ! grep -Fxq -- "$1" "$work/probe.out"; then
    echo "$TEST_NAME: expected the line: $1" >&2
    status=1
  fi
}
expect "drop format=KivoxPartsInfo bytes=520"
expect "library=$editor_path"
expect "part=$part"
expect "padding=zero"
[ "$(grep -c '^drop ' "$work/probe.out")" -eq 1 ] ||
  { echo "$TEST_NAME: expected exactly one drop" >&2; status=1; }
[ "$probe_status" -eq 0 ] || { echo "$TEST_NAME: probe exit $probe_status" >&2; status=1; }
kill -0 "$qurix_pid" 2>/dev/null || { echo "$TEST_NAME: the palette ended" >&2; status=1; }
# The accepted drop is the part's first use, kept in the palette's own file.
history=$XDG_CONFIG_HOME/qurix/parts-history.txt
wait_for "$history" "^R	1	$library_path	$part\$" 30 ||
  { echo "$TEST_NAME: the drop was not kept among the recent parts" >&2; status=1; }

if [ "$status" -ne 0 ]; then
  fail "FAILED"
fi
echo "$TEST_NAME: OK ($part from $library_path)"
