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
# A fresh prefix without the Mono and Gecko installers, and without menu entries in the user's
# own desktop menu; the platform choice is Linux Qt's.
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
unset QT_QPA_PLATFORM
# Wine's own processes go with the session, before its prefix does.
trap 'wineserver -k 2>/dev/null; timeout 30 wineserver -w; cleanup' EXIT
timeout 300 wineboot -i >/dev/null 2>&1 || fail "no Wine prefix"

# Wine does not pass a console program's output through a pipe; the test writes it to a file.
timeout 120 wine "$build/tests/tst_quotefile.exe" -o "$(winepath -w "$work/reader")",txt ||
    fail "reader test: $(cat "$work/reader")"
grep -q '^Totals: [1-9][0-9]* passed, 0 failed' "$work/reader" || fail "$(<"$work/reader")"

cd "$work"
printf 'Wine gets in your eyes\nThe Solvane team\n' >Quotes.txt
# Wine makes and drops windows all the time, and a listing that meets a window as it goes fails;
# it is taken again, for up to a minute.
settled() {
    local command=("$@") out
    await eval 'out=$("${command[@]}")' && printf '%s\n' "$out"
}
# Docked icons are windows within trayer's panel, all of them nameless under Wine.
panel=$(settled xdotool search --classname '^panel$' | head -1)
docked() { settled xwininfo -tree -id "$panel" | grep -c '^ *0x' || true; }
visible() { settled xdotool search --onlyvisible --name '' | wc -l; }
# The window, its tray icon and a balloon after "Quote"; then it is closed.
check_session() {
    local window empty before
    empty=$1
    window=$(settled xdotool search --onlyvisible --name "^$title\$" | head -1) || fail "no window"
    xdotool getwindowgeometry "$window" | grep -q 'Geometry: 351x168' ||
        fail "size: $(xdotool getwindowgeometry "$window")"
    # Wine docks the icon in the XEmbed tray.
    await eval '[[ $(docked) -gt $empty ]]' || fail "not docked"
    before=$(visible)
    xdotool windowactivate --sync "$window" key space
    await eval '[[ $(visible) -gt $before ]]' || fail "no balloon"
    wmctrl -i -c "$window"
}
empty=$(docked)
timeout 300 wine "$build/src/solvane.exe" 2>"$work/err" &
pid=$!
check_session "$empty"
wait "$pid" || fail "exit code $?"
pid=

installer=$(ls -t "$build"/Solvane-*-win64.exe | head -1)
program=$WINEPREFIX/drive_c/Program\ Files/Solvane
timeout 300 wine "$installer" /S || fail "install"
[[ -f $program/bin/solvane.exe && -f $program/bin/Quotes.txt ]] || fail "not installed"
entry=$(find "$WINEPREFIX/drive_c" -name Solvane.lnk)
[[ -n $entry ]] || fail "no Start-menu entry"
# From the Start menu, a first start shows the sample quotes from the user's own folder.
empty=$(docked)
timeout 300 wine start /unix "$entry" 2>"$work/err" || fail "Start-menu entry"
check_session "$empty"
mine=$(find "$WINEPREFIX/drive_c/users" -path '*/Solvane/Quotes.txt')
cmp -s "$mine" "$program/bin/Quotes.txt" || fail "no quotes of the user's own"
await eval '! pgrep -f solvane.exe' || fail "still running"
# The uninstaller finishes from a copy of itself, after this returns. (Run in place with
# "_?=", it gets that argument quoted by Wine, as the path has a space, and ignores it.)
timeout 300 wine "$program/Uninstall.exe" /S || fail "uninstall"
await eval '[[ ! -e $program/bin && ! -e $entry ]]' ||
    fail "left behind: $(ls -R "$program" "$entry")"
[[ -f $mine ]] || fail "the user's own quotes were removed"
echo "windows: PASS"
