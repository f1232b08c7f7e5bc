#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# The Windows build under Wine, in a private desktop session with trayer: the reader test, the
# real program (window, tray, balloon, exit code) and the installer, silently in and out.
#   scripts/with-desktop tests/windows.sh build-win
set -euo pipefail
build=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/drive.sh"
# A fresh prefix without the Mono and Gecko installers; the platform choice is Linux Qt's.
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset QT_QPA_PLATFORM
timeout 300 wineboot -i >/dev/null 2>&1 || fail "no Wine prefix"

timeout 120 wine "$build/tests/tst_quotefile.exe" >"$work/reader" 2>&1 || fail "$(<"$work/reader")"

cd "$work"
printf 'Wine gets in your eyes\nThe Solvane team\n' >Quotes.txt
tray=$(xdotool search --classname trayer | head -1)
docked() { xwininfo -tree -id "$tray" | grep -c 'child'; }
empty=$(docked)
timeout 300 wine "$build/src/solvane.exe" 2>"$work/err" &
pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name "^$title\$" | head -1) ||
    fail "no window"
xdotool getwindowgeometry "$window" | grep -q 'Geometry: 351x168' ||
    fail "size: $(xdotool getwindowgeometry "$window")"
# Wine docks the icon in the XEmbed tray (and draws it as an empty slot).
await eval '[[ $(docked) -gt $empty ]]' || fail "not docked"
before=$(xdotool search --onlyvisible --name '' | wc -l)
xdotool windowactivate --sync "$window" key space
await eval '[[ $(xdotool search --onlyvisible --name "" | wc -l) -gt $before ]]' || fail "no balloon"
wmctrl -i -c "$window"
wait "$pid" || fail "exit code $?"
pid=

installer=$(echo "$build"/Solvane-*-win64.exe)
program=$WINEPREFIX/drive_c/Program\ Files/Solvane
timeout 300 wine "$installer" /S || fail "install"
[[ -f $program/bin/solvane.exe && -f $program/bin/Quotes.txt ]] || fail "not installed"
find "$WINEPREFIX/drive_c" -name Solvane.lnk | grep -q . || fail "no Start-menu entry"
# In place, so that it has finished when it returns.
timeout 300 wine "$program/Uninstall.exe" /S "_?=C:\\Program Files\\Solvane" || fail "uninstall"
[[ ! -e $program/bin ]] || fail "left behind: $(ls -R "$program")"
echo "windows: PASS"
