#!/usr/bin/python3
"""What a screen reader sees of the running tool, through the AT-SPI bus.

  atspi.py tree                 the main window's objects: role|name|description|showing|actions
  atspi.py press NAME           presses the push button NAME through its accessible action
  atspi.py window TITLE         every object of the top-level window TITLE that is not
                                the main window: role|name
Exits 1 when the tool or the object is not found within 10 seconds.
"""
import sys
import time

import pyatspi

APP = "gradient-logo"

# Roles are compared by their value: the names a library prints for them
# change between releases ("push button" became "button").
ROLES = {
    pyatspi.ROLE_FRAME: "frame",
    pyatspi.ROLE_DIALOG: "dialog",
    pyatspi.ROLE_ALERT: "alert",
    pyatspi.ROLE_PANEL: "panel",
    pyatspi.ROLE_PUSH_BUTTON: "push button",
    pyatspi.ROLE_LABEL: "label",
    pyatspi.ROLE_IMAGE: "image",
    pyatspi.ROLE_FILLER: "filler",
}


def role(obj):
    value = obj.getRole()
    return ROLES.get(value, f"role {int(value)}")


def app():
    for _ in range(100):
        for a in pyatspi.Registry.getDesktop(0):
            if a is not None and a.name == APP:
                return a
        time.sleep(0.1)
    sys.exit(f"{APP} is not on the accessibility bus")


def walk(obj):
    yield obj
    try:
        children = [c for c in obj if c is not None]
    except Exception:  # an object that went away while we looked
        return
    for child in children:
        yield from walk(child)


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def actions(obj):
    try:
        a = obj.queryAction()
    except NotImplementedError:
        return []
    return [a.getName(i) for i in range(a.nActions)]


def main_window():
    for w in app():
        if role(w) == "frame" and w.name == "Gradient Logo":
            return w
    sys.exit("no frame named Gradient Logo")


def line(obj, *extra):
    return "|".join([role(obj), obj.name, *extra])


def find(pred):
    for _ in range(100):
        for obj in walk(app()):
            if pred(obj):
                return obj
        time.sleep(0.1)
    return None


command = sys.argv[1]
if command == "tree":
    for obj in walk(main_window()):
        print(line(obj, obj.description, "showing" if showing(obj) else "hidden", ",".join(actions(obj))))
elif command == "press":
    button = find(lambda o: role(o) == "push button" and o.name == sys.argv[2] and showing(o))
    if button is None:
        sys.exit(f"no push button {sys.argv[2]}")
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))
elif command == "window":
    main = main_window()
    window = find(lambda o: role(o) in ("dialog", "alert", "frame") and o.name == sys.argv[2]
                  and o != main and showing(o))
    if window is None:
        sys.exit(f"no window {sys.argv[2]}")
    for obj in walk(window):
        print(line(obj))
else:
    sys.exit(__doc__)
