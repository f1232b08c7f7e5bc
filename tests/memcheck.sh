#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Memory checks of the real program, inside a desktop session:
#   scripts/with-desktop tests/memcheck.sh <build dir>
# 1. valgrind's memcheck over a whole session driven from outside: start, "Quote" three times,
#    reload, "Quote", minimise to the tray, restore with a click on the tray icon, close. Fails
#    on any error or definitely or indirectly lost block whose stack holds one of Solvane's own
#    frames; third-party reports without them are listed only.
# 2. The soak: 100,000 picks in one process keep the resident size flat (needs SOLVANE_BENCH).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR
source "$root/tests/drive.sh"
cd "$work"
cp "$root/resources/Quotes.txt" "$root/resources/icon.png" .

# seen WORD N: the trace holds WORD on a line of its own N times.
seen() { (($(grep -cx "$1" "$work/err") == $2)); }

valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --num-callers=50 \
    --suppressions="$root/tests/valgrind.supp" --log-file="$work/memcheck.log" \
    "$build/src/solvane" >"$work/out" 2>"$work/err" &
pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name "^$title\$" | head -1) ||
    fail "no window"
xdotool windowactivate --sync "$window"

# "Quote" holds the focus in a fresh window; "Reload Txt File" is next in the chain.
for n in 1 2 3; do
    xdotool key space
    await seen TIME "$n" || fail "Quote $n"
done
xdotool key Tab space
await seen D 2 || fail "reload"
xdotool key shift+Tab space
await seen TIME 4 || fail "Quote after reload"

xdotool windowminimize "$window"
await state "$window" IsUnMapped || fail "minimise"
icon=$(tray_icon) || fail "no tray icon"
xdotool mousemove --window "$icon" 5 5 click 1
await state "$window" IsViewable || fail "restore from the tray"

wmctrl -i -c "$window"
rc=0
timeout 120 tail --pid="$pid" -f /dev/null || fail "did not end"
wait "$pid" || rc=$?
pid=
((rc == 0)) || fail "exit code $rc"

# Each report is a block of lines; one of ours names a Solvane function or source file, or is
# allocated by main itself. main alone is at the bottom of every stack and does not count.
summary=$(grep -E 'ERROR SUMMARY|definitely lost:|indirectly lost:' "$work/memcheck.log" |
    sed 's/^==[0-9]*== *//')
echo "$summary"
ours=$(awk '
    /^==[0-9]+== *$/ { flush(); next }
    { sub(/^==[0-9]+== /, ""); block = block $0 "\n" }
    /^ *(at|by) / {
        frame = $0
        if (frame ~ /\((solvane|quotefile|main|moc_solvane|ui_solvane|qrc_solvane)\.(cpp|h):[0-9]+\)/ ||
            frame ~ /\(in [^)]*\/solvane\)/) {
            if (frame !~ /: main \(/ || !seen) own = 1
        }
        if (frame !~ /(malloc|calloc|realloc|operator new|memalign)/) seen = 1
    }
    function flush() {
        if (own && block ~ /(Invalid|uninitialised|Mismatched|overlap|fishy|definitely lost|indirectly lost|Syscall param)/)
            printf "%s\n", block
        block = ""; own = 0; seen = 0
    }
    END { flush() }
' "$work/memcheck.log")
if [[ -n $ours ]]; then
    echo "$ours"
    fail "memcheck reports with Solvane's own frames"
fi
others=$(grep -cE 'are (definitely|indirectly) lost|^==[0-9]+== (Invalid|Conditional|Use of uninit|Syscall)' \
    "$work/memcheck.log" || true)
echo "memcheck: nothing from Solvane's own code; $others third-party report(s)"

if [[ -x $build/bench/solvane_soak ]]; then
    # The tray's balloon costs milliseconds a pick; the offscreen platform has no tray, so this
    # soak covers the pick and the message, not the balloon (scripts/bench runs that one).
    QT_QPA_PLATFORM=offscreen "$build/bench/solvane_soak" 2000
else
    echo "soak: skipped, $build was configured without SOLVANE_BENCH" >&2
    exit 1
fi
