# shellcheck shell=bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Sourced by the scripts that drive the real program from outside, inside a desktop session
# (scripts/with-desktop). They keep the program's pid in $pid, so that it is stopped with the
# scratch folder $work on any exit, and its standard error in $work/err.
# shellcheck disable=SC2034 # read by the sourcing scripts
title='Solvane Free vs 2.0 Tarnwick'
work=$(mktemp -d)
pid=
cleanup() {
    if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ ! -e $work/err ]] || sed 's/^/  stderr: /' "$work/err" >&2
    exit 1
}
# Waits up to a minute for a command to succeed; memcheck makes everything slow. tenths=N before it
# waits N tenths of a second instead.
await() {
    for _ in $(seq "${tenths:-600}"); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}
# state WINDOW STATE: xwininfo's map state, IsViewable or IsUnMapped.
state() { xwininfo -id "$1" | grep -q "Map State: $2"; }
# The tray icon is the small one of the program's windows. Balloons of the same class come and
# go meanwhile, which can make a search fail, so it is tried again.
tray_icon() {
    local w
    for _ in $(seq 50); do
        for w in $(xdotool search --class solvane 2>/dev/null); do
            if xdotool getwindowgeometry "$w" 2>/dev/null |
                grep -qE 'Geometry: [0-9]{1,2}x[0-9]{1,2}$'; then
                echo "$w"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}
