#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Listens on the accessibility bus, as a screen reader does, while "Quote" is pressed twice in the
# real program: each quote must be announced once, with its text as written.
#   scripts/with-desktop --a11y tests/announce.py path/to/solvane
import os, subprocess, sys, tempfile
import pyatspi
from gi.repository import GLib

title = "^Solvane Free vs 2.0 Tarnwick$"
quote = "Less is <i>more</i> & AT&amp;T\nSomeone <who@example.org>"
work = tempfile.TemporaryDirectory()
with open(os.path.join(work.name, "Quotes.txt"), "w") as f:
    f.write(quote + "\n")
heard = []
pyatspi.Registry.registerEventListener(lambda e: e.detail1 and e.source.getRole() ==
                                       pyatspi.ROLE_NOTIFICATION and heard.append(e.source.name),
                                       "object:state-changed:showing")
# What a screen reader switches on; without it Qt does not talk to the accessibility bus.
program = subprocess.Popen([os.path.abspath(sys.argv[1])], cwd=work.name,
                           env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))

def steps():  # one step every 100 ms, giving up on each after 20 s
    for n in (0, 1, 2):
        for _ in range(200):
            if len(heard) >= n and "Solvane" in [a.name for a in pyatspi.Registry.getDesktop(0)]:
                break
            yield
        if n < 2:  # "Quote" holds the keyboard focus in a fresh window
            subprocess.run(["xdotool", "search", "--sync", "--name", title, "windowactivate",
                            "--sync", "key", "space"], check=True)
    yield from range(10)  # a second for a repeat to come
    pyatspi.Registry.stop()

run = steps()
GLib.timeout_add(100, lambda: next(run, False) is not False)
pyatspi.Registry.start()
program.terminate()
if heard != [quote, quote]:
    sys.exit(f"announce: FAIL: heard {heard!r}")
print("announce: PASS")
