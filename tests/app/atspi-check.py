#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader gets from the running window over AT-SPI: the role,
# state and actions of every drawn control and the names of the fields.
# Usage: atspi-check.py PROGRAM (on an X display, inside a D-Bus session).
# Exits 77 (skipped) when the accessibility bus or its client is missing.
import os
import subprocess
import sys
import time

SKIP = 77
try:
    import pyatspi
except ImportError as error:
    print(f"skipped: no AT-SPI client ({error}); install python3-pyatspi")
    sys.exit(SKIP)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def find_application(pid, deadline):
    while time.monotonic() < deadline:
        try:
            desktop = pyatspi.Registry.getDesktop(0)
            for app in desktop:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
        except Exception:
            pass
        time.sleep(0.2)
    return None


def main():
    program = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    window = subprocess.Popen([program], env=env)
    failures = []
    try:
        app = find_application(window.pid, time.monotonic() + 60)
        if app is None:
            print("skipped: the program never showed up on the accessibility bus")
            return SKIP
        nodes = {}
        for node in walk(app):
            nodes.setdefault(node.name, []).append(node)

        def one(name, role):
            matches = [n for n in nodes.get(name, []) if n.getRole() == role]
            if not matches:
                seen = [(n.getRoleName()) for n in nodes.get(name, [])]
                failures.append(f"{name!r}: no {pyatspi.Role(role)} (seen as {seen})")
                return None
            return matches[0]

        def states(node):
            return node.getState()

        def press(node):
            action = node.queryAction()
            names = [action.getName(i).lower() for i in range(action.nActions)]
            for wanted in ("press", "click"):
                if wanted in names:
                    return action, names.index(wanted)
            failures.append(f"{node.name!r}: no press action among {names}")
            return None, -1

        captions = ["1. Add Pictures", "2. Overall Settings", "3. Frame Properties", "4. Preview GIF", "5. Create GIF Now!"]
        tabs = [one(c, pyatspi.ROLE_PAGE_TAB) for c in captions]
        buttons = {name: one(name, pyatspi.ROLE_PUSH_BUTTON) for name in
                   ("Add pictures", "Delete the checked pictures", "Go: play the preview", "Stop the preview",
                    "Create the GIF", "Minimize", "Close")}
        links = [one(name, pyatspi.ROLE_LINK) for name in ("Website", "Help", "About...")]
        for node in [*tabs, *buttons.values(), *links]:
            if node is not None:
                press(node)
        if tabs[0] is not None and not states(tabs[0]).contains(pyatspi.STATE_SELECTED):
            failures.append("the first step's tab is not selected")
        go = buttons["Go: play the preview"]
        if go is not None and states(go).contains(pyatspi.STATE_SENSITIVE):
            failures.append("Go is drawn greyed but reported available")
        add = buttons["Add pictures"]
        if add is not None and not states(add).contains(pyatspi.STATE_SENSITIVE):
            failures.append("Add is reported unavailable")
        # Pressing a step's tab shows that step, and says so.
        if tabs[2] is not None:
            action, index = press(tabs[2])
            if action is not None:
                action.doAction(index)
                deadline = time.monotonic() + 10
                while time.monotonic() < deadline and not states(tabs[2]).contains(pyatspi.STATE_SELECTED):
                    time.sleep(0.1)
                if not states(tabs[2]).contains(pyatspi.STATE_SELECTED):
                    failures.append("pressing the third tab did not select it")
        one("Check all pictures", pyatspi.ROLE_CHECK_BOX)
        for name in ("Play time every frame", "Loop times when play", "Output GIF width", "Output GIF height",
                     "Animated GIF file name:"):
            one(name, pyatspi.ROLE_TEXT)
        one("Original pictures dimensions", pyatspi.ROLE_COMBO_BOX)
    finally:
        window.terminate()
        window.wait(30)
    for failure in failures:
        print("FAIL:", failure)
    print("AT-SPI check:", "failed" if failures else "passed")
    return 1 if failures else 0


status = main()
# The verdict, for the caller: the X server's wrapper may end with a status of its own.
if os.environ.get("ATSPI_CHECK_VERDICT"):
    with open(os.environ["ATSPI_CHECK_VERDICT"], "w") as verdict:
        verdict.write(str(status))
sys.exit(status)
