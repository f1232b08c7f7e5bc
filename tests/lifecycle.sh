#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# The real program's lifecycle: trays that go away or restart, second starts, and closing with
# KDE's platform theme. Runs in a session with dunst and no tray; each case starts its own:
#   scripts/with-desktop --no-tray --dunst tests/lifecycle.sh path/to/solvane <Qt major version> \
#       path/to/otherqt.so
set -euo pipefail
solvane=$(realpath "$1")
qt=$2
otherqt=$(realpath "$3")

# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/drive.sh"
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
# Every copy and tray started here goes too, a stopped copy included.
trap 'kill -CONT $(jobs -p) 2>/dev/null || true; kill $(jobs -p) 2>/dev/null || true; cleanup' EXIT
mkdir "$work/a" "$work/b"
# Markup in a quote is the user's text: a server that reads markup must get it escaped.
printf 'Less is <i>more</i> & AT&amp;T\nSomeone <who@example.org>\n' | tee "$work/a/Quotes.txt" \
    >"$work/b/Quotes.txt"
escaped='Less is &lt;i&gt;more&lt;/i&gt; &amp; AT&amp;amp;T\nSomeone &lt;who@example.org&gt;'

# start FOLDER [VAR=value...] [-- COMMAND...]: a copy in that folder, started by the command if
# given; sets pid and window.
start() {
    local folder=$1 vars=() && shift
    while (($#)) && [[ $1 != -- ]]; do vars+=("$1") && shift; done
    (($#)) && shift || set -- "$solvane"
    (cd "$work/$folder" && exec env "${vars[@]}" "$@" 2>>"$work/err") &
    pid=$!
    await eval 'window=$(xdotool search --all --pid $pid --name "^$title\$")' ||
        fail "$row: no window"
}
shown() { state "$window" IsViewable; }
# Hidden to the tray, the window is withdrawn; minimised, the window manager keeps it iconic.
minimised() { xprop -id "$window" WM_STATE | grep -q Iconic; }
hidden() { ! shown && ! minimised; }
windows() { xdotool search --name "^$title\$" | wc -l; }
# The program's descriptors less one for each thread of Qt's pool, whose event loop holds one:
# Qt 6 starts such a thread for work of its own and ends it when idle for 30 s, so whether one is
# there at a count is a matter of timing.
descriptors() {
    local pooled
    pooled=$(cat /proc/"$pid"/task/*/comm | grep -cx 'Thread (pooled)' || true)
    echo $(($(ls "/proc/$pid/fd" | wc -l) - pooled))
}
ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
within() { # within SECONDS COMMAND...: fails when the command fails or takes longer
    local since
    since=$(ms)
    "${@:2}" && (($(ms) - since <= $1 * 1000)) || fail "$row: not within $1 s: ${*:2}"
}
# close: through the window manager; the program must end with 0.
close() {
    wmctrl -i -c "$window"
    timeout 10 tail --pid="$pid" -f /dev/null || fail "$row: still running after close"
    wait "$pid" || fail "$row: exit code $?"
}

# Each tray, and how to tell it is up: Qt picks the kind of tray when the program starts.
trayer=("${trayer[@]}" 32)
trayer_up() { xdotool search --classname trayer; }
sni=(gtk-sni-tray-standalone --watcher --bottom)
sni_up() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:IsStatusNotifierHostRegistered | grep -q true
}
# starttray: starts the row's tray, again when it dies on the way up (the standalone D-Bus tray
# sometimes asks its own watcher before that is there, and gives up).
starttray() {
    local command="$tray[@]"
    alive() { [[ $(ps -o stat= -p "$traypid") == [^Z]* ]]; }
    for _ in 1 2 3; do
        "${!command}" >/dev/null 2>&1 &
        traypid=$!
        await eval '! alive || "${tray}_up"' && alive && return 0
        wait "$traypid" || true
    done
    fail "$row: no tray"
}
# themed NAME: the platform theme is there for this Qt (KDE's and LXQt's are Qt 5 only on Debian
# 12, Qt 6 only on Debian 13).
themed() { ls /usr/lib/*/"qt$qt"/plugins/platformthemes 2>/dev/null | grep -qi "$1"; }
# A platform theme's own D-Bus tray, whatever name it takes on the bus. A launcher's startup id
# for the second starts goes on the first window, for the window manager.
# Against another Qt than it was built with, the program asks the desktop for the kind of tray,
# and says so once.
while read -r row tray then launch env; do
    [[ $env != QT_QPA_PLATFORMTHEME=* ]] || themed "${env#*=}" || continue
    starttray
    # shellcheck disable=SC2086 # words or none
    start a $env -- "$solvane" -geometry +100+100
    sleep 1 # the icon docks
    if [[ $tray == sni ]]; then # Qt's D-Bus tray sends the quote to the notification server
        xdotool windowactivate --sync "$window" key space
        await eval 'dunstctl history | grep -qF "\"$escaped\""' ||
            fail "$row: no notification of the quote as written: $(dunstctl history)"
    fi
    fds=$(descriptors)
    for _ in $(seq 20); do
        xdotool windowminimize "$window"
        await hidden || fail "$row: not hidden to the tray"
        # A second start in the same folder shows the first window, says nothing and ends.
        # shellcheck disable=SC2086 # one word or none
        (cd "$work/a" && timeout 10 env ${launch#-} "$solvane" >>"$work/out") ||
            fail "$row: second start: $?"
        await shown || fail "$row: not restored"
    done
    [[ $launch == - ]] || xprop -id "$window" _NET_STARTUP_ID | grep -qF "= \"${launch#*=}\"" ||
        fail "$row: startup id not on the window: $(xprop -id "$window" _NET_STARTUP_ID)"
    [[ $(xdotool getactivewindow) == "$window" && $(windows) == 1 && ! -s $work/out ]] ||
        fail "$row: second start"
    [[ $env != LD_PRELOAD=* || $(grep -c '^Qt 0.0.0, built with' "$work/err") == 1 ]] ||
        fail "$row: not told once of another Qt"
    # Idle Qt threads may end and close theirs; a leak only adds.
    (($(descriptors) <= fds)) || fail "$row: descriptors $fds -> $(descriptors)"
    # Off every screen, it comes back on one: openbox keeps the place it was given (-geometry), as
    # other window managers keep any. Nor does it ask to be mapped minimised.
    xdotool windowmove --sync "$window" 3000 300 windowminimize "$window"
    await hidden
    xprop -spy -id "$window" _NET_WM_STATE >"$work/spy" &
    await test -s "$work/spy"
    kill "$traypid" && wait "$traypid" || true
    if [[ $then == restarted ]]; then
        starttray
        sleep 4
        hidden || fail "$row: shown though the tray came back"
        xdotool mousemove --window "$(tray_icon)" 5 5 click 1
    fi
    within 10 await shown
    eval "$(xdotool getwindowgeometry --shell "$window")"
    ((X >= 0 && X + WIDTH <= $(xdotool getdisplaygeometry | cut -d' ' -f1))) || fail "$row: at $X,$Y"
    ! grep -q HIDDEN "$work/spy" || fail "$row: mapped minimised: $(cat "$work/spy")"
    close
    kill "$traypid" %xprop 2>/dev/null || true
done <<EOF
xembed-gone      trayer gone      DESKTOP_STARTUP_ID=launcher/solvane/7-0-host_TIME7
xembed-restarted trayer restarted -
dbus-gone        sni    gone      XDG_ACTIVATION_TOKEN=launcher/solvane/8-0-host_TIME8
kde-dbus-gone    sni    gone      -      QT_QPA_PLATFORMTHEME=kde
lxqt-dbus-gone   sni    gone      -      QT_QPA_PLATFORMTHEME=lxqt
other-qt-gone    sni    gone      -      LD_PRELOAD=$otherqt ASAN_OPTIONS=verify_asan_link_order=0
EOF

# A start beside a first copy in folder a, which runs on its own.
while read -r row folder stop env; do
    start a
    first=$pid first_window=$window
    ((stop)) && kill -STOP "$first"
    # shellcheck disable=SC2086 # one word or none
    within 5 start "$folder" $env
    [[ $(windows) == 2 ]] && kill -0 "$first" || fail "$row: not both running"
    close
    kill -CONT "$first"
    pid=$first window=$first_window
    close
done <<EOF
other-folder  b 0
stopped-first a 1
no-bus        a 0 DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
EOF

# A checkpoint by xsm, a real session manager, leaves the window as it was; the restart command it
# saved, run from its home, comes back in the folder and state. Checkpoint: xsm's lower left button.
while read -r row tray state; do
    home=$work/$row && mkdir "$home" && echo 'printenv SESSION_MANAGER' >"$home/.xsmstartup"
    [[ $tray == - ]] || starttray
    (cd "$home" && HOME=$home exec xsm >"$home/sm" 2>/dev/null) &
    xsm=$!
    await eval 'sm=$(xdotool search --name "^xsm: ")' && await test -s "$home/sm" || fail "$row: xsm"
    start a SESSION_MANAGER="$(cat "$home/sm")"
    [[ $state == shown ]] || { await shown && xdotool windowminimize "$window" && await "$state"; }
    eval "$(xdotool getwindowgeometry --shell "$sm")"
    xdotool windowactivate --sync "$sm" mousemove --window "$sm" $((WIDTH / 4)) $((HEIGHT * 3 / 4)) \
        click 1
    await eval 'dialog=$(xdotool search --name "^Checkpoint$")' || fail "$row: no checkpoint dialog"
    xdotool windowactivate --sync "$dialog" type s && xdotool key Return
    await test -s "$home/.XSM-s" || fail "$row: no session saved"
    sleep 1 # what the checkpoint does to the window
    kill -0 "$pid" && "$state" || fail "$row: not $state after a checkpoint"
    # As saved: xsm writes the session again when its clients end.
    mapfile -t command < <(sed -n '/^RestartCommand$/{n;:a;n;s/^\t//p;ta}' "$home/.XSM-s")
    kill "$pid" "$xsm" && wait "$pid" "$xsm" || true
    start "$row" -- "${command[@]}" >"$home/out"
    sleep 1 # a restored window hides
    "$state" && [[ $(readlink "/proc/$pid/cwd") == "$work/a" ]] && ! grep -q Unable "$home/out" ||
        fail "$row: restored by ${command[*]}: $(cat "$home/out")"
    [[ $state != hidden ]] || { xdotool mousemove --window "$(tray_icon)" 5 5 click 1 && await shown; }
    close
    [[ $tray == - ]] || kill "$traypid"
done <<EOF
checkpoint-shown     -      shown
checkpoint-minimised -      minimised
checkpoint-hidden    trayer hidden
EOF

# Closing ends the program on KDE too, whose tray holds Qt's event loop open.
if themed kde; then
    row=kde
    start a XDG_CURRENT_DESKTOP=KDE
    grep -q KDEPlasmaPlatformTheme "/proc/$pid/maps" || fail "KDE's platform theme not loaded"
    close
fi
echo "lifecycle: PASS"
