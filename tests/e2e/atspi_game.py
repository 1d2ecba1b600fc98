#!/usr/bin/python3
"""The game's window as a screen reader finds it on the accessibility bus.

    atspi_game.py PID          prints every object of the window below its menu
                               bar, one a line: role, name, description, action
                               names (comma-separated) and "showing" or "hidden",
                               separated by tabs; the role as the name of its
                               pyatspi constant ("ROLE_PUSH_BUTTON"), which
                               follows its value, where the role's own name text
                               differs between AT-SPI releases
    atspi_game.py PID press    does the "Press" action of the window's push button

It waits up to ten seconds for the process to appear on the bus.
"""

import sys
import time

import pyatspi


def application(pid):
    deadline = time.monotonic() + 10
    while True:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        if time.monotonic() > deadline:
            sys.exit(f"no application with process id {pid} on the accessibility bus")
        time.sleep(0.1)


def action_names(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def role(accessible):
    value = int(accessible.getRole())
    try:
        return str(pyatspi.Role(value))
    except KeyError:
        return f"ROLE_{value}"


def objects(accessible):
    for child in accessible:
        if child is None or child.getRole() == pyatspi.ROLE_MENU_BAR:
            continue
        yield child
        yield from objects(child)


def main():
    pid = int(sys.argv[1])
    command = sys.argv[2] if len(sys.argv) > 2 else "read"
    found = list(objects(application(pid)))
    if command == "press":
        buttons = [o for o in found if o.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        if len(buttons) != 1:
            sys.exit(f"{len(buttons)} push buttons in the window, not one")
        names = action_names(buttons[0])
        if "Press" not in names:
            sys.exit(f"the push button has no Press action: {names}")
        buttons[0].queryAction().doAction(names.index("Press"))
        return
    sys.stdout.reconfigure(encoding="utf-8")
    for o in found:
        showing = o.getState().contains(pyatspi.STATE_SHOWING)
        fields = [role(o), o.name, o.description, ",".join(action_names(o)),
                  "showing" if showing else "hidden"]
        print("\t".join(fields))


main()
