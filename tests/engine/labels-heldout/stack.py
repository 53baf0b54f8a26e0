#!/usr/bin/env python3
"""Prints the windows of the X display, topmost first, as lines of windows.tsv:
IMAGE, the client area (x, y, width, height in root pixels) and the window
manager's decoration around it (left, right, top, bottom). Mapped
override-redirect pop-ups (menus) come first: they lie above every managed
window. Usage: stack.py IMAGE"""
import re
import subprocess
import sys


def run(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout


def info(window):
    text = run("xwininfo", "-id", window)
    field = lambda name: re.search(name + r":\s+(-?\w+)", text)
    values = {k: field(k) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height",
                                     "Map State", "Override Redirect State")}
    if not all(values.values()):
        return None
    return {k: v.group(1) for k, v in values.items()}


def cardinals(window, name):
    text = run("xprop", "-id", window, name)
    match = re.search(r"=\s*([\d, ]+)$", text.strip())
    return [int(v) for v in match.group(1).split(",")] if match else []


def main():
    image = sys.argv[1]
    rows = []
    for line in run("xwininfo", "-root", "-children").splitlines():
        match = re.match(r"\s+(0x[0-9a-f]+) ", line)
        if not match:
            continue
        w = info(match.group(1))
        if w and w["Override Redirect State"] == "yes" and w["Map State"] == "IsViewable" \
                and int(w["Width"]) > 1 and int(w["Height"]) > 1 \
                and int(w["Absolute upper-left X"]) + int(w["Width"]) > 0 \
                and int(w["Absolute upper-left Y"]) + int(w["Height"]) > 0:
            rows.append((int(w["Absolute upper-left X"]), int(w["Absolute upper-left Y"]), int(w["Width"]),
                         int(w["Height"]), 0, 0, 0, 0))
    stacking = re.findall(r"0x[0-9a-f]+", run("xprop", "-root", "_NET_CLIENT_LIST_STACKING").split("#")[-1])
    for client in reversed(stacking):
        w = info(client)
        if not w or w["Map State"] != "IsViewable":
            continue
        x, y = int(w["Absolute upper-left X"]), int(w["Absolute upper-left Y"])
        width, height = int(w["Width"]), int(w["Height"])
        shadow = cardinals(client, "_GTK_FRAME_EXTENTS")
        if len(shadow) == 4:
            x, y, width, height = x + shadow[0], y + shadow[2], width - shadow[0] - shadow[1], \
                height - shadow[2] - shadow[3]
        frame = cardinals(client, "_NET_FRAME_EXTENTS")
        rows.append((x, y, width, height, *(frame if len(frame) == 4 else (0, 0, 0, 0))))
    for row in rows:
        print("\t".join([image] + [str(v) for v in row]))


main()
