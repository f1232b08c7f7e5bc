#!/bin/bash
# End-to-end check of the real program, driven only from outside, inside a desktop session:
#   scripts/with-desktop tests/smoke.sh path/to/solvane [screenshot.png]
set -euo pipefail
solvane=$(realpath "$1")
shot=${2:+$(realpath "$2")}

work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
printf 'Smoke gets in your eyes\nThe Solvane team\n' >Quotes.txt

# A stand-in browser that only writes down what it was asked to open.
mkdir bin
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$work" >bin/xdg-open
chmod +x bin/xdg-open

fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  stderr: /' err >&2
    exit 1
}
mapped() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
wait_for() {
    for _ in $(seq 100); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}
# xdotool gives up when a window vanishes while it searches; the callers retry.
search() { xdotool search "$@" 2>/dev/null || true; }
visible_windows() { search --onlyvisible --pid "$pid" | wc -l; }
main_window() { search --onlyvisible --name '^Solvane Free vs 2.0 Tarnwick$' | head -1; }

PATH=$work/bin:$PATH QT_MESSAGE_PATTERN='%{type} %{file}: %{message}' "$solvane" 2>err &
pid=$!
wait_for eval 'test -n "$(main_window)"' || fail "no window"
window=$(main_window)
xdotool windowactivate --sync "$window"
sleep 0.3
before=$(visible_windows)

# "Quote" holds the keyboard focus in a fresh window.
xdotool key space
wait_for grep -q 'debug solvane: D: 40' err || fail "no quote traced"
grep 'debug solvane:' err | tail -3 | cut -d' ' -f3- >traces
printf 'TIME\nSmoke gets in your eyes\nD: 40\n' | diff - traces || fail "quote traces"
wait_for eval 'test "$(visible_windows)" -gt "$before"' || fail "no balloon window"
[[ -z $shot ]] || import -window root png:- | convert - -trim +repage "$shot"

xdotool windowminimize "$window"
wait_for eval '! mapped "$window"' || fail "minimise did not hide the window"
icon=$(search --class solvane | while read -r w; do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Width: \(1[0-9]\|2[0-9]\|3[0-2]\)$' && echo "$w"
done | head -1)
[[ -n $icon ]] || fail "no tray icon"
sleep 0.5
xdotool mousemove --window "$icon" 5 5 click 1
wait_for mapped "$window" || fail "a tray click did not bring the window back"

# The link buttons sit just before "Quote" in the focus chain.
xdotool windowactivate --sync "$window"
sleep 0.3
xdotool key shift+Tab space
wait_for test -s opened || fail "no address handed over"
xdotool key shift+Tab space
wait_for eval 'test "$(wc -l <opened)" -eq 2' || fail "one address missing"
sleep 0.3
printf '%s\n' www.tarnwick.com \
    'http://www.tarnwick.com/store/index.php?route=product/product&product_id=50' |
    diff - opened || fail "addresses"

wmctrl -i -c "$window"
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "still running after close"
wait "$pid" || status=$?
((status == 0)) || fail "exit code $status"
echo "smoke: PASS"
