#!/bin/bash
# Builds the Debian package and checks it: the file list is the one docs/packaging.md gives, the
# launcher and metainfo validate, and the menu command starts the packaged program in the home
# folder. Runs inside a desktop session:
#   scripts/with-desktop tests/packaging.sh <build dir>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
tmp=$(realpath "$(mktemp -d)")
pid=
cleanup() {
    [[ -z $pid ]] || kill "$pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "$*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >/dev/null
deb=$(echo "$tmp"/solvane_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt5widgets5* && $depends != *-dev* ]] || fail "Depends: $depends"
# shellcheck disable=SC2016 # the backticks are Markdown's
diff <(grep -o '^| `/usr/[^`]*`' "$root/docs/packaging.md" | cut -d'`' -f2 | sort) \
    <(dpkg-deb -c "$deb" | awk '!/^d/ { print substr($6, 2) }' | sort)

dpkg-deb -x "$deb" "$tmp/root"
desktop=$tmp/root/usr/share/applications/com.tarnwick.Solvane.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net --strict \
    "$tmp/root/usr/share/metainfo/com.tarnwick.Solvane.metainfo.xml"

# Start it as a menu would: from another directory, finding the program on PATH. The Exec line
# holds no desktop-entry escapes, so the shell reads it the same way.
mkdir "$tmp/home"
cd "$tmp"
(
    export HOME=$tmp/home PATH=$tmp/root/usr/bin:$PATH
    eval "exec $(sed -n 's/^Exec=//p' "$desktop")"
) &
pid=$!
window=$(timeout 30 xdotool search --sync --limit 1 --name '^Solvane Free vs 2.0 Tarnwick$') ||
    fail "no window"
exe=$(readlink "/proc/$pid/exe")
[[ $exe == "$tmp/root/usr/bin/solvane" ]] || fail "started $exe"
cwd=$(readlink "/proc/$pid/cwd")
[[ $cwd == "$tmp/home" ]] || fail "started in $cwd"
wmctrl -i -c "$window"
wait "$pid" || fail "exit code $?"
pid=
