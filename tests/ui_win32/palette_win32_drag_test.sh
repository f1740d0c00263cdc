#!/usr/bin/env bash
# End-to-end test of the native Windows palette under Wine: qurix.exe on a copy of the
# samples and the Win32 OLE drop target (tests/wine/WineDropTarget.cpp) on a private Xvfb
# display, driven by xdotool. A part dragged from the parts list must arrive as the
# 520-byte "KivoxPartsInfo" block; the palette is then closed through its menu
# (Alt+F, X) and KIVOX.INI must differ only in section [qurix].
# With --place the part is placed by click instead: a click picks it, Enter starts placing
# it with no button held, it is carried into the target and Esc cancels (nothing arrives);
# placed again, a click drops it.
#
# usage: palette_win32_drag_test.sh QURIX_EXE DROP_TARGET_EXE EXAMPLES_DIR WINEPREFIX [--place]
# Exits 77 (skipped) when Wine, Xvfb or xdotool is missing.
set -euo pipefail

# shellcheck source=tests/ui_qt/drag_test_lib.sh
. "$(dirname -- "$0")/../ui_qt/drag_test_lib.sh"
take_paths "QURIX_EXE DROP_TARGET_EXE EXAMPLES_DIR WINEPREFIX [--place]" 4 "$@"
qurix=${args[0]} target=${args[1]} examples=${args[2]}
skip_unless_tools Xvfb xdotool wine wineserver
for f in "$qurix" "$target"; do [ -f "$f" ] || { echo "$TEST_NAME: no $f" >&2; exit 1; }; done

# The INI without section [qurix]: what the palette must leave as it was.
without_qurix() {
  awk '/^\[/ { skip = ($0 ~ /^\[qurix\]/) } !skip' "$1"
}

start_scratch
use_wine_prefix "${args[3]}"
prepare_palette "$examples"
start_xvfb
make_wine_prefix
ini="$work/palette/KIVOX.INI"
cp "$ini" "$work/before.ini"

(cd "$work/palette" && exec wine "$qurix") >"$work/qurix.log" 2>&1 &
qurix_pid=$!
pids+=("$qurix_pid")
# The title names the INI in use.
wait_window "Qurix - .*" "$qurix_pid" "the palette"
start_wine_drop_target "$target"

# Without a window manager Wine places the window itself: the first large icon lies right
# of the 160-pixel library column, below the menu, toolbar and search field.
eval "$(xdotool search --onlyvisible --name '^Qurix - ' getwindowgeometry --shell | head -5)"
# Carries the part placed by Enter, no button held, into the target until it has COUNT
# "enter" lines.
carry_placed_part() {
  local count=$1 x
  xdotool mousemove $((X + 210)) $((Y + 100)) click 1
  sleep 0.5
  xdotool key Return
  sleep 0.5
  for x in 220 240 300 400 500 600 700 780 820; do
    xdotool mousemove "$x" 190
    sleep 0.1
  done
  for _ in $(seq 50); do
    [ "$(grep -c '^enter ' "$work/target.out")" -ge "$count" ] && break
    xdotool mousemove 822 192
    sleep 0.1
  done
  [ "$(grep -c '^enter ' "$work/target.out")" -ge "$count" ] ||
    fail "the placed part did not follow the pointer into the drop target"
  xdotool mousemove 825 195
  sleep 0.3
}
if [ "$place" = yes ]; then
  carry_placed_part 1
  xdotool key Escape
  sleep 1
  grep -q '^drop ' "$work/target.out" && fail "Esc dropped the part"
  kill -0 "$target_pid" 2>/dev/null || fail "the drop target ended after Esc"
  carry_placed_part 2
  xdotool mousedown 1
  sleep 0.3
  xdotool mouseup 1
else
  xdotool mousemove $((X + 210)) $((Y + 100))
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  for x in 220 240 300 400 500 600 700 780 820; do
    xdotool mousemove "$x" 190
    sleep 0.1
  done
  if ! wait_for "$work/target.out" '^enter ' 50; then
    xdotool mouseup 1 || true
    fail "the drag did not reach the drop target"
  fi
  xdotool mousemove 825 195
  sleep 0.3
  xdotool mouseup 1
fi
grep -Eq '^enter formats=(.*,)?KivoxPartsInfo(,.*)? kivox=yes$' "$work/target.out" ||
  fail "the palette did not offer KivoxPartsInfo"
wait_exit "$target_pid" || fail "the drop target did not end after the drop"
cat "$work/target.out"

check_dropped_block

# Closed through the menu, from the keyboard.
xdotool search --onlyvisible --name '^Qurix - ' windowactivate --sync 2>/dev/null ||
  xdotool mousemove $((X + 80)) $((Y + 300)) click 1
sleep 0.3
xdotool key alt+f
sleep 0.5
xdotool key x
wait_exit "$qurix_pid" 150 || fail "the palette did not close through its menu"
grep -q '^\[qurix\]' "$ini" || { echo "$TEST_NAME: no section [qurix] after the close" >&2; status=1; }
if ! cmp -s <(without_qurix "$work/before.ini") <(without_qurix "$ini"); then
  echo "$TEST_NAME: KIVOX.INI changed outside section [qurix]:" >&2
  diff <(without_qurix "$work/before.ini") <(without_qurix "$ini") | head -10 >&2 || true
  status=1
fi
[ "$status" -eq 0 ] || fail "FAILED"
echo "$TEST_NAME: OK ($part from $library_path; INI changed only in [qurix])"
