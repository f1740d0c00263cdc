#!/usr/bin/env bash
# Beside the editor under Wine with a Japanese code page: a Win32 program of ours
# (tests/wine/WineIniWriter.cpp) writes the editor's KIVOX.INI through the platform's
# profile functions into the prefix, naming libraries by C:\, Z:\ and relative Windows
# paths, some in folders with Japanese names (bytes in CP932). The palette, started
# natively in a folder without an INI, must find that INI, load every library, and drag
# a part into a Win32 drop target under Wine that opens the block's path with
# CreateFileA in code page 932.
#
# usage: palette_wine_ini_test.sh QURIX QURIX_LIB DROP_TARGET_EXE INI_WRITER_EXE EXAMPLES_DIR WINEPREFIX
# Exits 77 (skipped) when Wine, Xvfb, xdotool or a ja_JP locale source is missing.
set -euo pipefail

# shellcheck source=tests/ui_qt/drag_test_lib.sh
. "$(dirname -- "$0")/drag_test_lib.sh"
take_paths "QURIX QURIX_LIB DROP_TARGET_EXE INI_WRITER_EXE EXAMPLES_DIR WINEPREFIX" 6 "$@"
qurix=${args[0]} qurix_lib=${args[1]} target=${args[2]} writer=${args[3]} examples=${args[4]}
skip_unless_tools Xvfb xdotool wine wineserver localedef iconv
[ -f "$target" ] && [ -f "$writer" ] || { echo "$TEST_NAME: no $target or $writer" >&2; exit 1; }

start_scratch
use_wine_prefix "${args[5]}"
start_xvfb
make_wine_prefix

# Wine takes its ANSI code page from the locale: ja_JP gives 932.
locales="$prefix.locales"
if [ ! -d "$locales/ja_JP.UTF-8" ]; then
  mkdir -p "$locales"
  localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1 ||
    { echo "$TEST_NAME: skipped, no ja_JP locale source"; exit "$SKIP"; }
fi
japanese() { LOCPATH="$locales" LC_ALL=ja_JP.UTF-8 "$@"; }

user=${USER:-$(id -un)}
export USER=$user
tolmera="$prefix/drive_c/users/$user/AppData/Local/Tolmera"
buhin="部品"
remove_files() { rm -rf -- "$prefix/drive_c/$buhin" "$prefix/drive_c/Kivox" "$tolmera"; }
cleanup_hooks+=(remove_files)
remove_files
mkdir -p "$prefix/drive_c/$buhin" "$prefix/drive_c/Kivox/Lib" "$work/$buhin" "$tolmera"
cp "$examples/logic.lib" "$prefix/drive_c/$buhin/logic.lib"
cp "$examples/analog.lib" "$prefix/drive_c/Kivox/Lib/Analog.lib"
cp "$examples/passive.lib" "$work/$buhin/passive.lib"
cp "$examples/connector.lib" "$tolmera/local.lib"
work_windows="Z:${work//\//\\}"

(cd "$work" && japanese wine "$writer" "LIB0=C:\\$buhin\\logic.lib" \
  'LIB1=c:\kivox\lib\ANALOG.LIB' "LIB2=$work_windows\\$buhin\\passive.lib" \
  'LIB3=.\local.lib') >"$work/writer.out" 2>"$work/writer.log" &
wait $! || fail "the INI writer failed"
ini="$tolmera/KIVOX.INI"
[ -f "$ini" ] || fail "the INI writer wrote no $ini"

# Every library loads through its Windows path.
"$qurix_lib" list "$ini" >"$work/list.out" 2>&1 || true
libraries=$(wc -l <"$work/list.out")
[ "$libraries" -eq 4 ] || fail "expected 4 libraries, got: $(cat "$work/list.out")"

# The palette started where there is no KIVOX.INI finds the editor's own.
mkdir "$work/elsewhere" "$work/xdg"
(cd "$work/elsewhere" && XDG_CONFIG_HOME="$work/xdg" exec "$qurix") >"$work/qurix.log" 2>&1 &
qurix_pid=$!
pids+=("$qurix_pid")
wait_window "Qurix( - .*)?" "$qurix_pid" "the palette"
grep -q '^\[qurix\]' "$ini" || fail "the palette did not take $ini"

start_wine_drop_target "$target" japanese

drag_first_part "$work/target.out" '^enter '
wait_exit "$target_pid" || fail "the drop target did not end after the drop"
cat "$work/target.out"

expected=$(printf 'C:\\%s\\logic.lib' "$buhin" | iconv -f UTF-8 -t CP932)
got=$(head -c 260 "$work/block.bin" | tr -d '\0')
status=0
[ "$got" = "$expected" ] ||
  { echo "$TEST_NAME: the block names $(printf %s "$got" | od -c | head -3)" >&2; status=1; }
grep -Fxq "open ok" "$work/target.out" ||
  { echo "$TEST_NAME: the drop target could not open the block's path" >&2; status=1; }
[ "$status" -eq 0 ] || fail "FAILED"
echo "$TEST_NAME: OK (4 libraries; dropped $(printf %s "$got" | iconv -f CP932 -t UTF-8))"
