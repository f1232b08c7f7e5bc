#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Listens on the accessibility bus, as a screen reader does, while "Quote" is pressed twice in the
# real program: each quote is to be announced once, with its text as written.
#   scripts/with-desktop --a11y tests/announce.py path/to/solvane
import os, subprocess, sys, tempfile
import pyatspi
from gi.repository import GLib

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
# "Quote" holds the keyboard focus in a fresh window.
press = ["xdotool", "search", "--sync", "--name", "^Solvane Free vs 2.0 Tarnwick$",
         "windowactivate", "--sync", "key", "space"]

def steps():  # a step each 100 ms: up to 20 s for the program and each announcement, then 1 s
    for n, tries in ((0, 200), (1, 200), (2, 200), (3, 10)):  # the last for a repeat to come
        for _ in range(tries):
            if len(heard) >= n and "Solvane" in [a.name for a in pyatspi.Registry.getDesktop(0)]:
                break
            yield True
        n < 2 and subprocess.run(press, check=True)
    pyatspi.Registry.stop()

run = steps()
GLib.timeout_add(100, lambda: next(run, False))
pyatspi.Registry.start()
program.terminate()
print("announce:", "PASS" if heard == [quote, quote] else f"FAIL: heard {heard!r}")
sys.exit(heard != [quote, quote])
