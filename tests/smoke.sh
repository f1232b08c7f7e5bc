#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# End-to-end check of the real program, driven only from outside, inside a desktop session:
#   scripts/with-desktop tests/smoke.sh path/to/solvane [screenshot.png]
set -euo pipefail
solvane=$(realpath "$1")
shot=${2:+$(realpath "$2")}

# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/drive.sh"
cd "$work"
printf 'Smoke gets in your eyes\nThe Solvane team\n' >Quotes.txt

# A stand-in browser that only writes down what it was asked to open, and any launch variable it
# inherited.
mkdir bin
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\nenv | grep -E "^(DESKTOP_|XDG_ACT)" >>"%s/opened"\n' \
    "$work" "$work" >bin/xdg-open
chmod +x bin/xdg-open

# xdotool gives up when a window vanishes while it searches; the callers retry.
search() { xdotool search "$@" 2>/dev/null || true; }
visible_windows() { search --onlyvisible --pid "$pid" | wc -l; }
main_window() { search --onlyvisible --name "^$title\$" | head -1; }

PATH=$work/bin:$PATH QT_MESSAGE_PATTERN='%{type} %{file}: %{message}' DESKTOP_AUTOSTART_ID=a \
    DESKTOP_STARTUP_ID=s XDG_ACTIVATION_TOKEN=t "$solvane" >out 2>err &
pid=$!
await eval 'test -n "$(main_window)"' || fail "no window"
window=$(main_window)
xdotool windowactivate --sync "$window"
sleep 0.3
before=$(visible_windows)

# "Quote" holds the keyboard focus in a fresh window.
xdotool key space
await grep -q 'debug solvane: D: 40' err || fail "no quote traced"
grep 'debug solvane:' err | tail -3 | cut -d' ' -f3- >traces
printf 'TIME\nSmoke gets in your eyes\nD: 40\n' | diff - traces || fail "quote traces"
await eval 'test "$(visible_windows)" -gt "$before"' || fail "no balloon window"
[[ -z $shot ]] || import -window root png:- | convert - -trim +repage "$shot"

xdotool windowminimize "$window"
await eval '! state "$window" IsViewable' || fail "minimise did not hide the window"
icon=$(tray_icon) || fail "no tray icon"
sleep 0.5
xdotool mousemove --window "$icon" 5 5 click 1
await state "$window" IsViewable || fail "a tray click did not bring the window back"

# The link buttons sit just before "Quote" in the focus chain.
xdotool windowactivate --sync "$window"
sleep 0.3
xdotool key shift+Tab space
await test -s opened || fail "no address handed over"
xdotool key shift+Tab space
await eval 'test "$(wc -l <opened)" -eq 2' || fail "one address missing"
sleep 0.3
printf '%s\n' http://www.tarnwick.com \
    'http://www.tarnwick.com/store/index.php?route=product/product&product_id=50' |
    diff - opened || fail "addresses"

# A quote file gone at a reload is reported at once, not when the program ends. The link buttons
# come just before "Quote" and "Reload Txt File" just after it.
rm Quotes.txt
xdotool key Tab Tab Tab space
await grep -q 'Unable to open file' out || fail "no word on standard output"

wmctrl -i -c "$window"
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "still running after close"
wait "$pid" || status=$?
((status == 0)) || fail "exit code $status"
echo "smoke: PASS"
