#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints what a screen reader hears of the running km740 windows.

Run inside an accessibility bus, e.g.:
    xvfb-run -a dbus-run-session -- scripts/atspi-probe.py --program build/dev/src/km740 --sim build/dev/src/sim-server/km740-sim
It starts km740-sim on a pty, the program on it with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1,
opens the windows named by --keys with their shortcuts and dumps the tree of
every window: role, name, description and text of each node, "(hidden)" on
a node a screen reader does not show, and the label a node is labelled by.
--keys takes, in turn: a key ("ctrl+m", sent to the main window), "=KEY" (a
key to the window that has the focus), "type:TEXT" (typed into it) and
"focus:TITLE" (focus the window with that title).
Needs python3-pyatspi, at-spi2-core and xdotool (for --keys).
"""
import argparse
import os
import re
import subprocess
import sys
import time

import pyatspi


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except (NotImplementedError, Exception):
        return None


def dump(node, depth=0, out=sys.stdout, limit=40):
    if node is None or depth > limit:
        return
    try:
        role = node.getRoleName()
        name = node.name
        desc = node.description
    except Exception:
        return
    text = text_of(node)
    line = "  " * depth + f"[{role}] name={name!r}"
    if desc:
        line += f" desc={desc!r}"
    if text and text != name:
        line += f" text={text!r}"
    try:
        if not node.getState().contains(pyatspi.STATE_SHOWING):
            line += " (hidden)"
        for rel in node.getRelationSet():
            if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY and rel.getNTargets() > 0:
                line += f" labelled-by={rel.getTarget(0).name!r}"
    except Exception:
        pass
    print(line, file=out)
    if role in ("table", "list", "tree table"):
        return  # the cells would drown the rest
    for i in range(node.childCount):
        try:
            dump(node.getChildAtIndex(i), depth + 1, out, limit)
        except Exception:
            pass


def find_app(name, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name and name in app.name:
                return app
        time.sleep(0.5)
    return None


def start_sim(sim):
    proc = subprocess.Popen([sim], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    end = time.time() + 10
    while time.time() < end:
        line = proc.stdout.readline()
        m = re.search(r"(/dev/pts/\d+)", line or "")
        if m:
            return proc, m.group(1)
    proc.kill()
    raise SystemExit("km740-sim printed no pty")


def press(token):
    if token.startswith("focus:"):
        subprocess.run(["xdotool", "search", "--onlyvisible", "--name", token[6:], "windowfocus", "--sync"], check=False)
    elif token.startswith("type:"):
        subprocess.run(["xdotool", "type", "--delay", "20", token[5:]], check=False)
    elif token.startswith("="):
        subprocess.run(["xdotool", "key", "--clearmodifiers", token[1:]], check=False)
    else:
        # No window manager under Xvfb: give the main window the focus first.
        subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "KM740", "windowfocus", "--sync"], check=False)
        subprocess.run(["xdotool", "key", "--clearmodifiers", token], check=False)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", default="build/dev/src/km740")
    ap.add_argument("--sim", default="build/dev/src/sim-server/km740-sim")
    ap.add_argument("--keys", default="", help="shortcuts to press in turn, e.g. 'ctrl+m ctrl+d'")
    ap.add_argument("--wait", type=float, default=4.0)
    ap.add_argument("--arg", action="append", default=[], help="a further program argument, e.g. --arg=--image=F")
    args = ap.parse_args()

    sim, pty = start_sim(args.sim)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    cmd = [args.program, "--port", pty] + args.arg
    prog = subprocess.Popen(cmd, env=env)
    try:
        app = find_app("km740")
        if app is None:
            raise SystemExit("the program never showed on the accessibility bus")
        time.sleep(args.wait)
        for key in args.keys.split():
            press(key)
            time.sleep(args.wait)
        dump(app)
    finally:
        prog.terminate()
        sim.terminate()
        prog.wait(5)
        sim.wait(5)


if __name__ == "__main__":
    main()
