#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Tries bad Quotes.txt files against the real program. For each case Solvane must start, stay
# up, press "Quote", reload, press "Quote" again and close cleanly, all within a time limit and
# a memory bound; the trace words on standard error show what it loaded. Prints one table row
# per case and exits non-zero if any case failed.
#   tests/badinput.sh path/to/solvane      (inside a desktop session: scripts/with-desktop)
# shellcheck disable=SC2317 # the prepare_ functions and the edits are called by name
set -euo pipefail
solvane=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/drive.sh"
limit_kib=$((1024 * 1024)) # a bad file must not cost more than this much resident memory
# The trace prints keys through the locale's encoding.
export LC_ALL=C.UTF-8

# What each press of "Quote" traced: "-" for an empty collection, else the message length.
quotes_seen() {
    awk '$0 == "TIME" { if (n++) print q; q = "-" } /^D: / { q = $2 } END { if (n) print q }' \
        "$1" | paste -sd' '
}

failed=0
printf '%-22s %-7s %-6s %-9s %-10s %s\n' case result exit "max RSS" elapsed "quotes seen"

# try NAME EXPECTED [BETWEEN]: runs Solvane on the Quotes.txt that prepare_NAME made; BETWEEN
# runs between the first "Quote" and the reload. EXPECTED matches what the two presses showed.
try() {
    local name=$1 expected=$2 between=${3-}
    local dir=$work/$name
    mkdir -p "$dir"
    cd "$dir"
    "prepare_$name"

    timeout -k 5 60 /usr/bin/time -v -o "$work/$name.time" "$solvane" \
        >"$work/$name.out" 2>"$work/$name.err" &
    pid=$!
    local window problem=
    if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1) ||
        [[ -z $window ]]; then
        problem="no window"
    else
        sleep 1
        if ! kill -0 "$pid" 2>/dev/null; then
            problem="died"
        else
            # "Quote" holds the focus in a fresh window; "Reload Txt File" is next in the chain.
            xdotool windowactivate --sync "$window" key space
            [[ -n $between ]] && "$between"
            xdotool key Tab space shift+Tab space
            sleep 0.5
            kill -0 "$pid" 2>/dev/null || problem="died"
            wmctrl -i -c "$window" || true
        fi
    fi
    local rc=0
    wait "$pid" || rc=$?
    pid=
    cd "$work"

    local rss seconds seen
    rss=$(awk -F': ' '/Maximum resident/ { print $2 }' "$work/$name.time" 2>/dev/null || true)
    seconds=$(awk -F': ' '/Elapsed/ { print $2 }' "$work/$name.time" 2>/dev/null || true)
    seen=$(quotes_seen "$work/$name.err")
    if [[ -z $problem ]]; then
        if ((rc == 124 || rc == 137)); then
            problem="hung"
        elif ((rc != 0)); then
            problem="exit $rc"
        elif (($(grep -cx D "$work/$name.err") != 2)); then
            problem="not loaded twice"
        elif ! [[ $seen =~ ^($expected)$ ]]; then
            problem="saw '$seen', want '$expected'"
        elif ((${rss:-0} > limit_kib)); then
            problem="memory"
        fi
    fi
    local result=ok
    [[ -n $problem ]] && result=FAIL
    printf '%-22s %-7s %-6s %-9s %-10s %s\n' "$name" "$result" "$rc" \
        "$(((${rss:-0} + 512) / 1024)) MiB" "${seconds:-?}" "$seen"
    if [[ -n $problem ]]; then
        failed=1
        echo "  $name: $problem" >&2
        sed 's/^/  err: /' "$work/$name.err" | tail -5 >&2
    fi
}

prepare_empty() { : >Quotes.txt; }
prepare_one_line() { printf 'A lone line\n' >Quotes.txt; }
prepare_blank_lines() { printf '\n\n\n\n\n' >Quotes.txt; }
prepare_nul_bytes() { printf 'a\0b\nc\0d\0e\n' >Quotes.txt; }
prepare_invalid_utf8() { printf 'k\xffy\n\xc3(\xe2\x82\xc0\xaf\n' >Quotes.txt; }
prepare_bom() { printf '\xef\xbb\xbfkey\nvalue\n' >Quotes.txt; }
prepare_lone_crs() { printf 'k\rx\nv\rw\nno\rline\rfeed' >Quotes.txt; }
prepare_50mb_line() { head -c 50M /dev/zero | tr '\0' x >Quotes.txt; }
prepare_2m_lines() { seq 2000000 >Quotes.txt; }
prepare_binary() { cp "$solvane" Quotes.txt; }
prepare_directory() { mkdir Quotes.txt; }
prepare_fifo() { mkfifo Quotes.txt; }
prepare_dev_zero_link() { ln -s /dev/zero Quotes.txt; }
prepare_replaced() { printf 'a\n1\n' >Quotes.txt; }
prepare_deleted() { printf 'a\n1\n' >Quotes.txt; }
replace() {
    printf 'bb\n22\n' >Quotes.new
    mv Quotes.new Quotes.txt
}
delete() { rm Quotes.txt; }

try empty '- -'
try one_line '- -'
try blank_lines '1 1'
try nul_bytes '9 9'
try invalid_utf8 '10 10'
try bom '9 9'
try lone_crs '7 7'
try 50mb_line '- -'
try 2m_lines '[0-9]+ [0-9]+'
try binary '[0-9]+ [0-9]+'
try directory '- -'
try fifo '- -'
try dev_zero_link '- -'
try replaced '3 5' replace
try deleted '3 -' delete

# A pasted essay of 200,000 words: the window answers the next click within half a second, and
# showing the quote costs no more than 30 MiB.
mkdir "$work/essay" && cd "$work/essay"
awk 'BEGIN { srand(1); for (i = 0; i < 200000; i++)
    printf "%s ", substr("abcdefghij", 1 + int(rand() * 5), 1 + int(rand() * 8))
    print "\nAn author" }' >Quotes.txt
"$solvane" 2>err &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$pid/status"; }
sleep 1
before=$(rss)
xdotool windowactivate --sync "$window" key space && start=$(date +%s%N) && xdotool key Tab space
for _ in $(seq 100); do (($(grep -cx D err) == 2)) && break || sleep 0.01; done
answered=$((($(date +%s%N) - start) / 1000000))
sleep 0.5 # the balloon drawn
after=$(rss)
wmctrl -i -c "$window"
wait "$pid" || failed=1
pid=
echo "essay: reload answered after $answered ms; RSS $((before / 1024)) -> $((after / 1024)) MiB"
((answered <= 500 && after - before <= 30 * 1024)) || failed=1
cd "$work"

# The loader says so on standard output when there was nothing to read.
for name in directory fifo dev_zero_link deleted; do
    grep -q 'Unable to open file' "$work/$name.out" || {
        echo "  $name: no 'Unable to open file'" >&2
        failed=1
    }
done
exit $failed
