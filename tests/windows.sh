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
# Wine's tray, started here, says what each balloon shows.
WINEDEBUG=-all,+tooltips timeout 300 wineboot -i >/dev/null 2>"$work/tray" || fail "no Wine prefix"

# Wine does not pass a console program's output through a pipe; the test writes it to a file.
timeout 120 wine "$build/tests/tst_quotefile.exe" -o "$(winepath -w "$work/reader")",txt ||
    fail "reader test: $(cat "$work/reader")"
grep -q '^Totals: [1-9][0-9]* passed, 0 failed' "$work/reader" || fail "$(<"$work/reader")"

cd "$work"
# 400 characters: a balloon holds 255, so the quote is cut after a word and marked.
printf '%.0sabcdefghi ' {1..40} >Quotes.txt && printf '\nThe Solvane team\n' >>Quotes.txt
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
# prefixed PGREP-OPTION...: the processes pgrep finds that run in this test's Wine prefix, not
# those of another test or of the user's own Wine.
prefixed() {
    local p
    for p in $(pgrep "$@"); do
        if grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null; then echo "$p"; fi
    done
}
copies() { prefixed -x solvane.exe | wc -l; }
# The window, its tray icon and a balloon after "Quote"; then it is closed. Given a command for a
# second start, that start, with the window hidden, shows it and ends.
check_session() {
    local window empty before icons
    empty=$1
    shift
    window=$(settled xdotool search --onlyvisible --name "^$title\$" | head -1) || fail "no window"
    xdotool getwindowgeometry "$window" | grep -q 'Geometry: 351x168' ||
        fail "size: $(xdotool getwindowgeometry "$window")"
    # Wine docks the icon in the XEmbed tray.
    await eval '[[ $(docked) -gt $empty ]]' || fail "not docked"
    if (($#)); then
        icons=$(docked)
        xdotool windowminimize "$window"
        await eval '! state "$window" IsViewable' || fail "not hidden"
        "$@" || fail "second start: $?"
        await state "$window" IsViewable || fail "not shown at a second start"
        await eval '[[ $(copies) == 1 ]]' || fail "$(copies) copies"
        await eval '[[ $(xdotool getactivewindow) == "$window" ]]' || fail "not active"
        [[ $(docked) == "$icons" ]] || fail "tray icons at a second start: $icons -> $(docked)"
    fi
    before=$(visible)
    xdotool windowactivate --sync "$window" key space
    await eval '[[ $(visible) -gt $before ]]' || fail "no balloon"
    wmctrl -i -c "$window"
}
empty=$(docked)
timeout 300 wine "$build/src/solvane.exe" 2>"$work/err" &
pid=$!
check_session "$empty" timeout 60 wine "$build/src/solvane.exe"
wait "$pid" || fail "exit code $?"
grep -qE 'add text L"(abcdefghi ){22}abcdefghi\\2026\\nThe Solvane team"' "$work/tray" ||
    fail "balloon text"
# A first copy that does not answer (stopped) does not keep a second start from running.
timeout 300 wine "$build/src/solvane.exe" 2>"$work/err" &
pid=$!
settled xdotool search --onlyvisible --name "^$title\$" >/dev/null || fail "no window"
kill -STOP "$(pgrep -P "$pid")"
timeout 300 wine "$build/src/solvane.exe" 2>>"$work/err" &
await eval '[[ $(settled xdotool search --onlyvisible --name "^$title\$" | wc -l) == 2 ]]' ||
    fail "a stopped first copy kept the second from running"
# When the stopped copy ends, the second takes the folder over: a third start shows it and ends.
second=$! && kill -KILL "$(pgrep -P "$pid")"
await eval '[[ $(settled xdotool search --onlyvisible --name "^$title\$" | wc -l) == 1 ]]'
timeout 60 wine "$build/src/solvane.exe" 2>>"$work/err" || fail "third start: $?"
kill "$second" && wait || true
pid=

# Explorer's view of each file: its version strings, and the manifest's execution level, DPI
# awareness and Windows versions; all of them GUI programs (subsystem 2).
pe() {
    /usr/bin/python3 - "$1" <<'PY'
import sys, pefile
pe = pefile.PE(sys.argv[1])
for info in pe.FileInfo[0]:
    for table in getattr(info, 'StringTable', []):
        for key, value in table.entries.items():
            print(key.decode() + '=' + value.decode())
print('Subsystem=%d' % pe.OPTIONAL_HEADER.Subsystem)
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    if kind.id == 24:  # RT_MANIFEST
        data = kind.directory.entries[0].directory.entries[0].data.struct
        print(pe.get_data(data.OffsetToData, data.Size).decode())
PY
}
installer=$(ls -t "$build"/Solvane-*-win64.exe | head -1)
version=${installer##*/Solvane-}
version=${version%-win64.exe}
while IFS='|' read -r file description level os; do
    info=$(pe "$file")
    for want in CompanyName=Tarnwick ProductName=Solvane "FileDescription=$description" \
        "FileVersion=$version" "ProductVersion=$version" "OriginalFilename=${file##*/}" \
        "LegalCopyright=Copyright (c) 2026 Tarnwick" Subsystem=2; do
        grep -qxF "$want" <<<"$info" || fail "${file##*/}: no $want in: $info"
    done
    grep -q "level=\"$level\"" <<<"$info" && [[ $(grep -c '<supportedOS' <<<"$info") -ge $os ]] ||
        fail "${file##*/}: manifest: $info"
    [[ $level == highestAvailable ]] || grep -q '>PerMonitor</dpiAwareness>' <<<"$info" ||
        fail "${file##*/}: DPI awareness: $info"
done <<ROWS
$build/src/solvane.exe|Solvane|asInvoker|4
$build/src/solvane-launch.exe|Solvane launcher|asInvoker|4
$installer|Solvane Setup|highestAvailable|1
ROWS

# For this user only, with the start at sign-in: the defaults, as a user without administrator
# rights gets them.
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
timeout 300 wine "$installer" /S || fail "install"
program=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Programs/Solvane' -type d)
[[ -f $program/bin/solvane.exe && -f $program/bin/Quotes.txt ]] || fail "not installed"
entry=$(find "$WINEPREFIX/drive_c" -name Solvane.lnk)
[[ -n $entry ]] || fail "no Start-menu entry"
launcher=$(timeout 60 wine reg query "$run" /v Solvane | sed -n 's/.*REG_SZ *"\(.*\)"\r*$/\1/p')
[[ $(winepath -u "$launcher") -ef $program/bin/solvane-launch.exe ]] ||
    fail "sign-in start: '$launcher'"
grep -qaF "${launcher##*\\}" "$entry" && pe "$program/bin/${launcher##*\\}" | grep -qx Subsystem=2 ||
    fail "the Start-menu entry runs another program"
# From the Start menu, a first start shows the sample quotes from the user's own folder; the
# start at sign-in, there too, shows that copy.
empty=$(docked)
timeout 300 wine start /unix "$entry" 2>"$work/err" || fail "Start-menu entry"
check_session "$empty" timeout 60 wine "$launcher"
mine=$(find "$WINEPREFIX/drive_c/users" -path '*/Solvane/Quotes.txt' ! -path "$program/*")
cmp -s "$mine" "$program/bin/Quotes.txt" || fail "no quotes of the user's own"
await eval '[[ -z $(prefixed -f solvane.exe) ]]' || fail "still running"
# The uninstaller finishes from a copy of itself, after this returns. (Run in place with
# "_?=", it gets that argument quoted by Wine, as the path has a space, and ignores it.)
timeout 300 wine "$program/Uninstall.exe" /S || fail "uninstall"
await eval '[[ ! -e $program/bin && ! -e $entry ]]' ||
    fail "left behind: $(ls -R "$program" "$entry")"
! timeout 60 wine reg query "$run" /v Solvane >/dev/null 2>&1 || fail "sign-in start left behind"
[[ -f $mine ]] || fail "the user's own quotes were removed"
echo "windows: PASS"
