#!/usr/bin/env bash
# Prints what a screen reader receives from the configurator: the AT-SPI tree of
# its windows (role, name, description, value or text, states, "labelled-by").
#
#   scripts/a11y-tree.sh                                    the launcher only
#   scripts/a11y-tree.sh "Configure Video"                  presses that launcher button first
#   scripts/a11y-tree.sh "Configure Controllers" "1 Player - Gamepad" "Configure GamePad"
#
# Each argument names a control (by its accessible name) that is activated through
# AT-SPI, as a screen reader would, before the tree is read; then every window on
# screen is printed. Runs on a virtual X display inside its own D-Bus session, on a
# fresh copy of the demo installation (the program is built first if missing).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${VELOX_PROGRAM:-$root/build/default/velox-configurator}"
if [ -z "${A11Y_TREE_INNER:-}" ]; then
  [ -x "$program" ] || { cmake --preset default >/dev/null && cmake --build --preset default --target velox-configurator >&2; }
  stage="$(mktemp -d)"
  trap 'rm -rf "$stage"' EXIT
  cp -a "$root/demo/." "$stage/"
  cp "$program" "$stage/velox-configurator"
  export A11Y_TREE_INNER=1 A11Y_STAGE="$stage"
  xvfb-run -a -s "-screen 0 1600x1200x24" dbus-run-session -- "$0" "$@" 2> >(grep -v -e dbus-daemon -e 'fd limit' >&2)
  exit
fi

# Inside the virtual display and the D-Bus session: start the accessibility bus,
# then the configurator with Qt's bridge switched on.
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
launcher_pid=$!
cd "$A11Y_STAGE"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 ./velox-configurator 2>/dev/null &
app_pid=$!
cleanup() { kill "$app_pid" "$launcher_pid" 2>/dev/null || true; }
trap cleanup EXIT

/usr/bin/python3 - "$@" <<'PY'
import sys, time
import pyatspi

def find_app(deadline):
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower().startswith(("velox", "velox-configurator")):
                if app.childCount > 0:
                    return app
        time.sleep(0.2)
    sys.exit("the configurator did not appear on the accessibility bus")

def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)

def find(app, name, deadline):
    # Polls: a window opened by the previous step reaches the bus a moment later.
    while time.time() < deadline:
        for node in walk(app):
            st = node.getState()
            if node.name == name and st.contains(pyatspi.STATE_SHOWING):
                return node
        time.sleep(0.2)
    sys.exit(f"no control named {name!r}")

def activate(node):
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "toggle", "click", "setfocus"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    action.doAction(0)

def value_of(node):
    parts = []
    try:
        text = node.queryText()
        t = text.getText(0, -1)
        if t and t != node.name:
            parts.append(f"text={t!r}")
    except NotImplementedError:
        pass
    try:
        parts.append(f"value={node.queryValue().currentValue:g}")
    except NotImplementedError:
        pass
    return parts

STATES = [("focusable", pyatspi.STATE_FOCUSABLE), ("focused", pyatspi.STATE_FOCUSED),
          ("checked", pyatspi.STATE_CHECKED), ("disabled", None), ("read-only", pyatspi.STATE_READ_ONLY),
          ("selected", pyatspi.STATE_SELECTED)]

def show(node, depth, out):
    st = node.getState()
    if not st.contains(pyatspi.STATE_SHOWING) and depth > 0:
        return
    role = node.getRoleName()
    line = f"{'  ' * depth}[{role}] {node.name!r}"
    if node.description:
        line += f" desc={node.description!r}"
    line += "".join(" " + p for p in value_of(node))
    flags = [n for n, s in STATES if s is not None and st.contains(s)]
    if role not in ("label", "filler", "panel", "frame", "dialog", "page tab list") and not st.contains(pyatspi.STATE_ENABLED):
        flags.append("disabled")
    if flags:
        line += " {" + ",".join(flags) + "}"
    for rel in node.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names = [rel.getTarget(i).name for i in range(rel.getNTargets())]
            line += f" labelled-by={names!r}"
    out.append(line)
    # A combo box's popup list holds every entry: its value is the combo's own.
    if role == "combo box":
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            show(child, depth + 1, out)

deadline = time.time() + 30
app = find_app(deadline)
for name in sys.argv[1:]:
    deadline = time.time() + 15
    while True:
        try:
            activate(find(app, name, deadline))
            break
        except Exception as error:  # the bus may still hand out an object that was just replaced
            if time.time() > deadline:
                sys.exit(f"could not activate {name!r}: {error}")
            time.sleep(0.3)
    time.sleep(0.5)  # let the window it opens settle before the next name is looked up
time.sleep(1.0)
out = []
for i in range(app.childCount):
    window = app.getChildAtIndex(i)
    if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
        show(window, 0, out)
print("\n".join(out))
PY
