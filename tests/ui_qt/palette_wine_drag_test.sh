#!/usr/bin/env bash
# End-to-end drag into Windows: the real palette and a Win32 OLE drop target
# (tests/wine/WineDropTarget.cpp) run by Wine on a private Xvfb display, driven by
# xdotool. The target asks for "KivoxPartsInfo" as a global-memory block, the way the
# editor does under Wine; it must get the 520 bytes: the library's absolute path in the
# first 260, the part's name in the next 260, zeros behind each.
#
# usage: palette_wine_drag_test.sh QURIX DROP_TARGET_EXE EXAMPLES_DIR WINEPREFIX [--place]
# With --place the part is placed by click instead: Enter, move, click, no button held.
# The Wine prefix is made on the first run (wineboot, the slow part) and kept; runs that
# share it wait for each other. Exits 77 (skipped) when Wine, the MinGW cross-compiler,
# Xvfb or xdotool is missing. WINEDEBUG=+xdnd,+clipboard shows Wine's side of the drag.
set -euo pipefail

# shellcheck source=tests/ui_qt/drag_test_lib.sh
. "$(dirname -- "$0")/drag_test_lib.sh"
take_paths "QURIX DROP_TARGET_EXE EXAMPLES_DIR WINEPREFIX [--place]" 4 "$@"
qurix=${args[0]} target=${args[1]} examples=${args[2]} prefix=${args[3]}
skip_unless_tools Xvfb xdotool wine wineserver x86_64-w64-mingw32-g++
[ -x "$qurix" ] || { echo "$TEST_NAME: no $qurix" >&2; exit 1; }
if [ ! -f "$target" ]; then
  echo "$TEST_NAME: no $target (configure again once the cross-compiler is installed)" >&2
  exit 1
fi

start_scratch
use_wine_prefix "$prefix"
prepare_palette "$examples"
start_xvfb
make_wine_prefix

start_palette "$qurix"
start_wine_drop_target "$target"

if [ "$place" = yes ]; then
  carry_first_part "$work/target.out" '^enter ' 1
  xdotool click 1
else
  drag_first_part "$work/target.out" '^enter '
fi
# Without the format the target refuses the drop and waits on.
grep -Eq '^enter formats=(.*,)?KivoxPartsInfo(,.*)? kivox=yes$' "$work/target.out" ||
  fail "Wine did not offer KivoxPartsInfo"
wait_exit "$target_pid" || fail "the drop target did not end after the drop"
cat "$work/target.out"

check_dropped_block
[ "$exit_status" -eq 0 ] || { echo "$TEST_NAME: drop target exit $exit_status" >&2; status=1; }
kill -0 "$qurix_pid" 2>/dev/null || { echo "$TEST_NAME: the palette ended" >&2; status=1; }

if [ "$status" -ne 0 ]; then
  fail "FAILED"
fi
echo "$TEST_NAME: OK ($part from $library_path)"
