#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Builds the Debian package and checks it: lintian and hardening-check pass it, the file list
# is the one docs/packaging.md gives, the menu entry and metainfo validate, and the menu command
# starts the packaged program in the user's own quotes folder. Runs inside a desktop session:
#   scripts/with-desktop tests/packaging.sh <build dir> <Qt major version> <hardened: 1 or 0>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
qt=$2
hardened=$3
# shellcheck source-path=SCRIPTDIR
source "$root/tests/drive.sh"
tmp=$(realpath "$work") # as /proc tells the program's directory

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >/dev/null
deb=$(echo "$tmp"/solvane_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
# Only the run-time libraries of the Qt it was built with: libqt5widgets5, libqt6widgets6, ...
[[ $depends == *libqt${qt}widgets${qt}* && $depends != *-dev* &&
    $(grep -o 'libqt[0-9]' <<<"$depends" | sort -u) == "libqt$qt" ]] || fail "Depends: $depends"
# shellcheck disable=SC2016 # the backticks are Markdown's
diff <(grep -o '^| `/usr/[^`]*`' "$root/docs/packaging.md" | cut -d'`' -f2 | sort) \
    <(dpkg-deb -c "$deb" | awk '!/^d/ { print substr($6, 2) }' | sort)

dpkg-deb -x "$deb" "$tmp/root"
# The distribution's own checks: nothing from lintian but the tags our overrides explain, and
# the executable hardened (its fortifying is the override's matter).
lint=$(lintian -I --pedantic "$deb" 2>&1) || fail "lintian: $lint"
# A sanitizer build is not hardened; all else that lintian says about it still counts.
((hardened)) || lint=$(grep -v ' hardening-' <<<"$lint" || true)
[[ -z $(grep -v 'root privileges' <<<"$lint") ]] || fail "lintian: $lint"
# Control-flow protection counts only where every linked object has it, the C library's start
# files too. Later versions also check branch protection, which only arm64 has; only they know the
# option that leaves it out.
skip=(--nofortify --nocfprotection)
[[ $(dpkg --print-architecture) == arm64 ]] ||
    [[ $(hardening-check --help) != *--nobranchprotection* ]] || skip+=(--nobranchprotection)
((!hardened)) || hardening-check "${skip[@]}" "$tmp/root/usr/bin/solvane" >/dev/null ||
    fail "$(hardening-check "$tmp/root/usr/bin/solvane")"
desktop=$tmp/root/usr/share/applications/com.tarnwick.Solvane.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net --strict \
    "$tmp/root/usr/share/metainfo/com.tarnwick.Solvane.metainfo.xml"

# Start it as a menu would, from another directory, with the launcher and the program below
# $tmp/root instead of /. The Exec line holds no desktop-entry escapes, so the shell reads it the
# same way.
run=$(sed -n 's/^Exec=//p' "$desktop")
run=${run/\"\/usr\//\"$tmp\/root\/usr\/}
cd "$tmp"
# menu HOME XDG_DATA_HOME DIR: starts it, checks that it works in DIR and that "Quote" (which has
# the focus) shows a quote of the Quotes.txt there.
menu() {
    (
        export HOME=$1 XDG_DATA_HOME=$2 PATH=$tmp/root/usr/bin:$PATH
        eval "exec $run"
    ) 2>"$tmp/err" &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --limit 1 \
        --name '^Solvane Free vs 2.0 Tarnwick$') ||
        fail "no window"
    exe=$(readlink "/proc/$pid/exe")
    [[ $exe == "$tmp/root/usr/bin/solvane" ]] || fail "started $exe"
    cwd=$(readlink "/proc/$pid/cwd")
    [[ $cwd == "$3" ]] || fail "started in $cwd"
    # Bounded: a window that never becomes active would otherwise stall the test until its timeout.
    timeout 20 xdotool windowactivate --sync "$window" key space || fail "not activated"
    await grep -q '^D: ' "$tmp/err" || fail "no quote shown"
    wmctrl -i -c "$window"
    timeout 20 tail --pid="$pid" -f /dev/null || fail "still running after close: $(<"$tmp/err")"
    wait "$pid" || fail "exit code $?"
    pid=
    quote=$(grep -A1 -x TIME "$tmp/err" | sed -n 2p)
    grep -qxF -- "$quote" "$3/Quotes.txt" || fail "quote '$quote' is not from $3/Quotes.txt"
}

# A new user gets a copy of the sample quotes; edits to it stay. A relative XDG_DATA_HOME is not
# valid and means the default.
data=$tmp/new/.local/share/solvane
menu "$tmp/new" "" "$data"
cmp "$tmp/root/usr/share/solvane/Quotes.txt" "$data/Quotes.txt"
printf 'Edited\nMe\n' >"$data/Quotes.txt"
menu "$tmp/new" data "$data"
[[ $(<"$data/Quotes.txt") == $'Edited\nMe' ]] || fail "the user's file was replaced"
# A Quotes.txt in the home folder is used where it is.
mkdir "$tmp/old" && printf 'Mine\nMe\n' >"$tmp/old/Quotes.txt"
menu "$tmp/old" "$tmp/xdg" "$tmp/old"

# The package passed: it stays in the build folder, for the release it was built on.
cp "$deb" "$build/"
