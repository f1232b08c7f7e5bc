#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# A real one-minute reminder, driven from outside: after "Mins" is chosen (count 1) the quote
# comes 60 s later. Takes a minute, so only `ctest --test-dir build -C slow -L slow` runs it.
set -euo pipefail
solvane=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/drive.sh"
cd "$work"
printf 'On time\nThe Solvane team\n' >Quotes.txt
QT_MESSAGE_PATTERN='%{type} %{file}: %{message}' "$solvane" 2>err &
pid=$!
await xdotool search --onlyvisible --name "^$title\$" || fail "no window"
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name "^$title\$" | head -1)"
sleep 0.3
xdotool key Tab Tab space # "Quote" holds the focus in a fresh window; two tabs reach "Mins"
chosen=$(date +%s.%N)
tenths=900 await grep -q 'debug solvane: TIME' err || fail "no quote within 90 s"
after=$(awk -v a="$chosen" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
awk -v s="$after" 'BEGIN { exit !(s >= 59.5 && s <= 61.5) }' || fail "quote after $after s"
echo "minute: PASS, quote after $after s"
