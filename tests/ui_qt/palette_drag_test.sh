#!/usr/bin/env bash
# End-to-end drag: the real palette and drop-probe as two processes on a private Xvfb
# display, driven by xdotool. The palette starts on a copy of the sample libraries in
# large-icon mode with the first library selected; the pointer presses on its first part,
# moves into the probe, waits for the probe to report the drag entering, and releases.
# The probe must have received the library's absolute path and the part's name.
#
# With --place the part is placed by click instead, with no button held: a click picks it,
# Enter starts the drag, the pointer carries it into the probe; Esc cancels there (nothing
# may arrive), then a second time a click drops it, and the palette must keep the drop as
# the part's first use among its recent parts.
#
# usage: palette_drag_test.sh QURIX DROP_PROBE EXAMPLES_DIR [--place]
# Exits 77 (skipped) when Xvfb or xdotool is missing. Everything it starts is stopped
# on every way out, and a watchdog ends the run after WATCHDOG seconds.
set -euo pipefail

WATCHDOG=${WATCHDOG:-45}
# shellcheck source=tests/ui_qt/drag_test_lib.sh
. "$(dirname -- "$0")/drag_test_lib.sh"
take_paths "QURIX DROP_PROBE EXAMPLES_DIR [--place]" 3 "$@"
qurix=${args[0]} probe=${args[1]} examples=${args[2]}
skip_unless_tools Xvfb xdotool
for program in "$qurix" "$probe"; do
  [ -x "$program" ] || { echo "$TEST_NAME: no $program" >&2; exit 1; }
done

start_scratch
prepare_palette "$examples"
start_xvfb
# No prefix of the user's decides the drive the block names: Z:, Wine's root.
export WINEPREFIX=$work/no-wine-prefix
start_palette "$qurix"

"$probe" --once --timeout 30 --geometry 300x200+760+100 >"$work/probe.out" 2>"$work/probe.log" &
probe_pid=$!
pids+=("$probe_pid")
wait_for "$work/probe.out" '^ready ' 100 || fail "the probe did not get ready"
sleep 0.5

if [ "$place" = yes ]; then
  carry_first_part "$work/probe.out" '^enter ' 1
  xdotool key Escape
  sleep 1
  grep -q '^drop ' "$work/probe.out" && fail "Esc dropped the part"
  kill -0 "$probe_pid" 2>/dev/null || fail "the probe ended after Esc"
  carry_first_part "$work/probe.out" '^enter ' 2
  xdotool click 1
else
  drag_first_part "$work/probe.out" '^enter '
fi
wait_exit "$probe_pid" || fail "the probe did not end after the drop"
probe_status=$exit_status
cat "$work/probe.out"

status=0
expect() {
  if ! grep -Fxq -- "$1" "$work/probe.out"; then
    echo "$TEST_NAME: expected the line: $1" >&2
    status=1
  fi
}
grep -Eq '^enter formats=.*KivoxPartsInfo' "$work/probe.out" ||
  { echo "$TEST_NAME: the drag did not offer KivoxPartsInfo" >&2; status=1; }
expect "drop format=KivoxPartsInfo bytes=520"
expect "library=$editor_path"
expect "part=$part"
expect "padding=zero"
expect "end"
[ "$probe_status" -eq 0 ] || { echo "$TEST_NAME: probe exit $probe_status" >&2; status=1; }
[ "$(grep -c '^drop ' "$work/probe.out")" -eq 1 ] ||
  { echo "$TEST_NAME: expected exactly one drop" >&2; status=1; }
# The accepted drop is the part's first use, kept in the palette's own file.
history=$XDG_CONFIG_HOME/qurix/parts-history.txt
wait_for "$history" "^R	1	$library_path	$part\$" 30 ||
  { echo "$TEST_NAME: the drop was not kept among the recent parts" >&2; status=1; }
# The palette goes on after the drop.
kill -0 "$qurix_pid" 2>/dev/null || { echo "$TEST_NAME: the palette ended" >&2; status=1; }

if [ "$status" -ne 0 ]; then
  fail "FAILED"
fi
echo "$TEST_NAME: OK ($part from $library_path)"
