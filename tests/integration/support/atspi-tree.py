#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads a program's accessible tree from the accessibility bus, as a screen reader does.
#   atspi-tree.py tree APP            one line per object: depth, role, name, description, actions
#   atspi-tree.py press APP NAME ACT  does the action ACT of the first object named NAME
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def application(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and (app.get_name() or "").lower() == name.lower():
            return app
    return None


def actions(node):
    action = node.get_action_iface()
    if action is None:
        return []
    return [action.get_action_name(i) for i in range(action.get_n_actions())]


def walk(node, depth, visit):
    if node is None or depth > 12:
        return
    visit(node, depth)
    for i in range(node.get_child_count()):
        walk(node.get_child_at_index(i), depth + 1, visit)


def main():
    command, app_name = sys.argv[1], sys.argv[2]
    app = application(app_name)
    if app is None:
        print("no application " + app_name, file=sys.stderr)
        return 2
    if command == "tree":
        def show(node, depth):
            extents = node.get_extents(Atspi.CoordType.SCREEN)
            print("\t".join([str(depth), node.get_role_name(), node.get_name() or "",
                             node.get_description() or "", ",".join(actions(node)),
                             "%d,%d,%d,%d" % (extents.x, extents.y, extents.width,
                                              extents.height)]))
        walk(app, 0, show)
        return 0
    if command == "press":
        wanted, action_name = sys.argv[3], sys.argv[4]
        found = []
        walk(app, 0, lambda node, depth: found.append(node)
             if node.get_name() == wanted else None)
        for node in found:
            names = actions(node)
            if action_name in names:
                node.get_action_iface().do_action(names.index(action_name))
                return 0
        print("no action %s on %s" % (action_name, wanted), file=sys.stderr)
        return 1
    return 2


sys.exit(main())
