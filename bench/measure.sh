#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Takes every measurement and prints one table, each figure beside its reference from the same
# run. Runs inside a desktop session with a tray, a session bus and a notification server;
# scripts/bench builds and starts it:
#   scripts/with-desktop --dunst bench/measure.sh <build dir>
# SOAK=0 leaves out the five-minute soak with balloons.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
bench=$build/bench
title='Solvane Free vs 2.0 Tarnwick'
minimal_title='Minimal tray program'
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# Both programs run with Qt's defaults; Solvane makes its own choice about the GL integration.
unset QT_XCB_GL_INTEGRATION
cp "$root/resources/Quotes.txt" "$root/resources/icon.png" "$work/"
cd "$work"
note() { echo "$*" >&2; }

# --- In-process: Google Benchmark, median of five repetitions.
note "in-process benchmark (about a minute)"
"$bench/solvane_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null >bench.csv
median() { # median real time of a benchmark, in its unit
    awk -F, -v name="\"$1_median\"" '$1 == name { print $3 }' bench.csv
}

# --- Start-up to the window mapped, median of seven starts each, taken in turns.
# launch TITLE PROGRAM: starts it under mapwait; sets started="ms pid window".
launch() {
    local title=$1 log
    log=$(mktemp -p "$work")
    "$bench/mapwait" "$@" >"$log" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 300); do
        [[ -s $log ]] && break
        sleep 0.1
    done
    started=$(cat "$log")
    [[ -n $started ]] || {
        note "no window \"$title\""
        exit 1
    }
}
close() { # closes the window and waits for its program to end
    wmctrl -i -c "$(echo "$started" | cut -d' ' -f3)"
    tail --pid="$(echo "$started" | cut -d' ' -f2)" -f /dev/null
}
note "start-up, 7 starts each"
ours=()
theirs=()
for _ in $(seq 7); do
    launch "$title" "$build/src/solvane"
    ours+=("${started%% *}")
    sleep 1
    close
    launch "$minimal_title" "$bench/minimal_tray"
    theirs+=("${started%% *}")
    sleep 1
    close
done
middle() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
start_ours=$(middle "${ours[@]}")
start_theirs=$(middle "${theirs[@]}")

# --- Idle: memory after settling, and context switches of every thread over 30 s. The wait
# first lets Qt's thread pool, used for scaling the icon at start-up, retire its threads.
kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/smaps_rollup"; }
switches() { # "thread-id count" for each thread
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(awk '/_ctxt_switches/ { n += $2 } END { print n }' "$task/status")"
    done | sort
}
woken() { join "$1" "$2" | awk '{ n += $3 - $2 } END { print n + 0 }'; }
note "idle: settling for 35 s, then 30 s of measuring"
launch "$title" "$build/src/solvane"
idle_ours=$started
launch "$minimal_title" "$bench/minimal_tray"
idle_theirs=$started
pid_ours=$(echo "$idle_ours" | cut -d' ' -f2)
pid_theirs=$(echo "$idle_theirs" | cut -d' ' -f2)
sleep 35
rss_ours=$(kib "$pid_ours" Rss)
pss_ours=$(kib "$pid_ours" Pss)
rss_theirs=$(kib "$pid_theirs" Rss)
pss_theirs=$(kib "$pid_theirs" Pss)
gl_ours=$(grep -c 'libGLX_mesa\|/dri/' "/proc/$pid_ours/maps" || true)
gl_theirs=$(grep -c 'libGLX_mesa\|/dri/' "/proc/$pid_theirs/maps" || true)
switches "$pid_ours" >ours.0
switches "$pid_theirs" >theirs.0
sleep 30
switches "$pid_ours" >ours.1
switches "$pid_theirs" >theirs.1
wake_ours=$(woken ours.0 ours.1)
wake_theirs=$(woken theirs.0 theirs.1)
threads_ours=$(wc -l <ours.1)
threads_theirs=$(wc -l <theirs.1)

# --- Long run: the idle program presents 5,000 quotes with the real balloon, "Quote" pressed
# every 10 ms, and keeps what it is left with. The minimal program still runs, so that the
# libraries both map count as shared, as at idle.
note "long run: 5,000 quotes (about a minute)"
window_ours=$(echo "$idle_ours" | cut -d' ' -f3)
xdotool windowactivate --sync "$window_ours"
# "Quote" holds the focus in a fresh window. One xdotool for all keys: no process per press.
mapfile -t presses < <(yes space | head -n 5000)
xdotool key --delay 10 "${presses[@]}"
sleep 3
long_rss_ours=$(kib "$pid_ours" Rss)
long_pss_ours=$(kib "$pid_ours" Pss)
started=$idle_ours
close
started=$idle_theirs
close

# --- Soak: 100,000 picks with the balloon shown each time.
soak="(left out: SOAK=0)"
if [[ ${SOAK-1} != 0 ]]; then
    note "soak, 100,000 picks with balloons (about five minutes)"
    soak=$("$bench/solvane_soak" || true)
fi

# --- The table.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "-" }'; }
row() { printf '| %-44s | %14s | %-34s | %7s |\n' "$1" "$2" "$3" "$4"; }
ms() { awk -v v="$1" 'BEGIN { printf(v < 10 ? "%.2f ms" : "%.0f ms", v) }'; }
mib() { awk -v v="$1" 'BEGIN { printf "%.1f MiB", v / 1024 }'; }

echo
row Figure Solvane Reference Ratio
row "$(printf '%.44s' -------------------------------------------------)" -------------- \
    ---------------------------------- -------
for pairs in 1,000 20,000 500,000; do
    load=$(median "load/${pairs//,/}")
    sort=$(median "sortUnique/${pairs//,/}/real_time")
    row "Load Quotes.txt, $pairs pairs" "$(ms "$load")" \
        "LC_ALL=C sort -u: $(ms "$sort")" "$(ratio "$load" "$sort")"
done
us() { awk -v v="$1" 'BEGIN { printf(v < 10 ? "%.2f us" : "%.0f us", v) }'; }
pick=$(median "pickOnly/40000")
pick1=$(median "pickOnly/1")
row "Pick (no balloon), 40,000 entries, per call" "$(us "$pick")" "same at 1 entry: $(us "$pick1")" \
    "$(ratio "$pick" "$pick1")"
pick=$(median "pick/40000/real_time")
pick1=$(median "pick/1/real_time")
row "Pick and present, 40,000 entries, per call" "$(ms "$(awk -v v="$pick" 'BEGIN { print v / 1000 }')")" \
    "same at 1 entry: $(ms "$(awk -v v="$pick1" 'BEGIN { print v / 1000 }')")" \
    "$(ratio "$pick" "$pick1")"
row "Start-up to window mapped, with a bus (of 7)" "$(ms "$start_ours")" \
    "minimal program: $(ms "$start_theirs")" "$(ratio "$start_ours" "$start_theirs")"
row "Idle RSS" "$(mib "$rss_ours")" "minimal program: $(mib "$rss_theirs")" \
    "$(ratio "$rss_ours" "$rss_theirs")"
row "Idle PSS" "$(mib "$pss_ours")" "minimal program: $(mib "$pss_theirs")" \
    "$(ratio "$pss_ours" "$pss_theirs")"
row "RSS after 5,000 quotes with balloons" "$(mib "$long_rss_ours")" "idle: $(mib "$rss_ours")" \
    "$(ratio "$long_rss_ours" "$rss_ours")"
row "PSS after 5,000 quotes with balloons" "$(mib "$long_pss_ours")" "idle: $(mib "$pss_ours")" \
    "$(ratio "$long_pss_ours" "$pss_ours")"
row "Wake-ups (context switches) idle for 30 s" "$wake_ours" "minimal program: $wake_theirs" \
    "$(ratio "$wake_ours" "$wake_theirs")"
echo
echo "Threads while idle: Solvane $threads_ours, minimal program $threads_theirs." \
    "Mesa (GL) mappings: Solvane $gl_ours, minimal program $gl_theirs."
echo "$soak"
echo "Qt: $(basename "$(readlink -f "$(ldd "$build/src/solvane" | awk '/libQt.Core/ { print $3 }')")")"
