#!/usr/bin/python3
# Reads the running program's window over AT-SPI as a screen reader does.
# Usage: read_list.py rows            -> one line per row of the song list: name<TAB>description<TAB>states
#        read_list.py names           -> the names of the window's buttons, sliders, lists and labels
#        read_list.py focus           -> the role and name of the control with the keyboard focus
#        read_list.py value NAME      -> the current value of the slider named NAME
import sys

import pyatspi


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        child = desktop.getChildAtIndex(i)
        if child is not None and child.name == "melodrift":
            return child
    sys.exit("melodrift is not on the accessibility bus")


def walk(node, found):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        found.append(child)
        if child.getRoleName() != "list":
            walk(child, found)
    return found


def states(node):
    state = node.getState()
    names = []
    for name, value in (("selected", pyatspi.STATE_SELECTED), ("focused", pyatspi.STATE_FOCUSED)):
        if state.contains(value):
            names.append(name)
    return ",".join(names)


nodes = walk(app(), [])
if sys.argv[1] == "rows":
    lists = [n for n in nodes if n.getRoleName() == "list" and n.name == "歌曲列表"]
    if not lists:
        sys.exit("no song list")
    songs = lists[0]
    for i in range(songs.childCount):
        row = songs.getChildAtIndex(i)
        print(f"{row.name}\t{row.description}\t{states(row)}")
elif sys.argv[1] == "value":
    for node in nodes:
        if node.getRoleName() == "slider" and node.name == sys.argv[2]:
            print(round(node.queryValue().currentValue))
elif sys.argv[1] == "focus":
    for node in nodes:
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            print(f"{node.getRoleName()}\t{node.name}")
else:
    for node in nodes:
        if node.getRoleName() in ("push button", "toggle button", "check box", "slider", "list", "text", "radio button", "label"):
            print(f"{node.getRoleName()}\t{node.name}")
