#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs each km740-tool meter write against km740-sim on a pty under each fault
and counts the exit 0s the meter's state afterwards does not bear out.

    scripts/fault-matrix.py [--tool build/dev/src/cli/km740-tool] [--sim build/dev/src/sim-server/km740-sim]

Faults, for every command: the meter ignores each command character the
tool sends (--ignore), goes silent after each of the tool's commands
(--silent-after N), is stopped (SIGSTOP) and killed (SIGKILL) right after each
line the tool sends. The sim prints what it holds when it is stopped
(--state-on-exit); a run that exits 0 must leave the fields its command writes
as a fault-free run leaves them. Under SIGKILL nothing can be read afterwards,
so an exit 0 there counts as unproven. Takes a few minutes; not part of ctest.
Exit status: 0 when no exit 0 went unproven.
"""
import argparse
import concurrent.futures
import datetime
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

CLOCK_OFFSET = 7200  # the meter's clock starts two hours off, so setting it shows

SETUP_FIELDS = ["interval", "period", "repeat", "mask", "schedule"]
PRESET_FIELDS = ["preset", "users", "threshold", "criterion"]


def commands(preset_file):
    """(name, tool arguments, state fields the command changes)."""
    return [
        ("preset --set 5", ["preset", "--set", "5"], PRESET_FIELDS),
        ("preset --set User3", ["preset", "--set", "User3"], PRESET_FIELDS),
        ("user-presets --set", ["user-presets", "--set", preset_file], PRESET_FIELDS),
        ("setup", ["setup", "--time-weighting", "Fast", "--range", "60-130"], ["settings"]),
        ("recording --interval", ["recording", "--interval", " 5 Sec"], SETUP_FIELDS),
        ("recording --period", ["recording", "--period", " 5 Min"], SETUP_FIELDS),
        ("recording --repeat", ["recording", "--repeat", "5"], SETUP_FIELDS),
        ("recording --enable", ["recording", "--enable", "1,2"], SETUP_FIELDS),
        ("recording --entry", ["recording", "--entry", "1=Any,5,30,12,23,59"], SETUP_FIELDS),
        ("recording --start plain", ["recording", "--start", "plain"], SETUP_FIELDS + ["recording", "scheduled"]),
        ("recording --start plain + options",
         ["recording", "--start", "plain", "--repeat", "5", "--enable", "1,2", "--entry", "1=Any,5,30,12,23,59"],
         SETUP_FIELDS + ["recording", "scheduled"]),
        ("recording --start limited", ["recording", "--start", "limited", "--period", " 5 Min"],
         SETUP_FIELDS + ["recording", "scheduled"]),
        ("recording --start schedule",
         ["recording", "--start", "schedule", "--enable", "1", "--entry", "1=Any,0,0,Any,23,59"],
         SETUP_FIELDS + ["recording", "scheduled"]),
        ("clock --set", ["clock", "--set"], ["clock"]),
        ("key menu", ["key", "menu"], ["menu", "page", "peak"]),
        ("key down", ["key", "down"], ["menu", "page", "peak"]),
    ]


class Sim:
    def __init__(self, sim, extra):
        self.proc = subprocess.Popen([sim, "--state-on-exit", "--clock-offset", str(CLOCK_OFFSET)] + extra,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.pty = self.proc.stdout.readline().strip()
        if not self.pty.startswith("/dev/"):
            self.proc.kill()
            raise SystemExit("km740-sim printed no pty")

    def signal(self, sig):
        try:
            self.proc.send_signal(sig)
        except ProcessLookupError:
            pass

    def stop(self):
        """The meter's state, or None when it is gone."""
        self.signal(signal.SIGCONT)
        self.signal(signal.SIGTERM)
        try:
            out, _ = self.proc.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.communicate()
            return None
        m = re.search(r"^state (.*)$", out or "", re.M)
        if not m:
            return None
        return dict(kv.split("=", 1) for kv in m.group(1).split())


def run_tool(tool, pty, args, trigger=None, timeout=120):
    """Runs the tool; trigger(n) is called after the n-th line it sends."""
    proc = subprocess.Popen([tool, "--port", pty, "--trace"] + args, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    sent = 0
    err = []
    timer = threading.Timer(timeout, proc.kill)
    timer.start()
    for line in proc.stderr:
        err.append(line)
        if re.match(r"trace [\d.]+ > ", line):
            sent += 1
            if trigger:
                trigger(sent)
    out = proc.stdout.read()
    proc.wait()
    timer.cancel()
    return proc.returncode, out, "".join(err), sent


def clock_is_now(state):
    t = datetime.datetime.strptime("20" + state["clock"], "%Y-%m-%dT%H:%M:%S")
    return abs((t - datetime.datetime.now()).total_seconds()) <= 3


def matches(state, healthy, fields):
    if state is None:
        return False
    for f in fields:
        if f == "clock":
            if not clock_is_now(state):
                return False
        elif state.get(f) != healthy.get(f):
            return False
    return True


def one_run(a, name, args, fields, healthy, fault, step):
    extra = []
    if fault == "ignore":
        extra = ["--ignore", step]
    elif fault == "silent-after":
        extra = ["--silent-after", str(step)]
    sim = Sim(a.sim, extra)

    def trigger(n):
        if fault == "sigstop" and n == step:
            sim.signal(signal.SIGSTOP)
        elif fault == "kill" and n == step:
            sim.signal(signal.SIGKILL)

    rc, out, err, _ = run_tool(a.tool, sim.pty, args, trigger)
    state = sim.stop()
    proven = fault != "kill" and matches(state, healthy, fields)
    return dict(command=name, fault=fault, step=step, rc=rc, proven=proven, out=out.strip()[-200:],
                err="".join(l for l in err.splitlines(True) if not l.startswith("trace "))[-300:])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", default="build/dev/src/cli/km740-tool")
    ap.add_argument("--sim", default="build/dev/src/sim-server/km740-sim")
    ap.add_argument("--only", default="", help="run only commands whose name contains this")
    ap.add_argument("--jobs", type=int, default=3)
    ap.add_argument("--log", default="", help="write every run as a JSON line here")
    a = ap.parse_args()

    work = tempfile.mkdtemp(prefix="km740-faults-")
    # A user preset file changing User1's threshold and User2's criterion.
    sim = Sim(a.sim, [])
    rc, out, _, _ = run_tool(a.tool, sim.pty, ["user-presets", "--json"])
    sim.stop()
    doc = json.loads(out)
    users = doc["user_presets"]
    users[0]["threshold"] = 75 if users[0]["threshold"] != 75 else 80
    users[1]["criterion"] = 90 if users[1]["criterion"] != 90 else 85
    preset_file = os.path.join(work, "users.json")
    with open(preset_file, "w") as f:
        json.dump({"user_presets": [{k: v for k, v in u.items() if k != "name"} for u in users]}, f)

    plan = []
    for name, args, fields in commands(preset_file):
        if a.only and a.only not in name:
            continue
        initial = Sim(a.sim, []).stop()
        sim = Sim(a.sim, [])
        rc, out, err, sent = run_tool(a.tool, sim.pty, args)
        healthy = sim.stop()
        chars = sorted({bytes.fromhex(l.split(" > ")[1].split()[0]).decode("latin-1")
                        for l in err.splitlines() if re.match(r"trace [\d.]+ > ", l)
                        and len(l.split(" > ")[1].split()) == 1
                        and 0x20 < int(l.split(" > ")[1], 16) < 0x7f})
        commands_taken = int(healthy["commands"]) if healthy else 0
        changed = healthy is not None and not matches(initial, healthy, fields)
        print(f"{name}: fault-free exit {rc}, {sent} lines sent, {commands_taken} commands, "
              f"command characters {''.join(chars)!r}{'' if changed else ', CHANGES NOTHING'}", flush=True)
        if rc != 0 or not matches(healthy, healthy, fields):
            print("  fault-free run failed:", out.strip(), err[-300:])
        for c in chars:
            plan.append((name, args, fields, healthy, "ignore", c))
        for n in range(commands_taken):
            plan.append((name, args, fields, healthy, "silent-after", n))
        for n in range(1, sent + 1):
            plan.append((name, args, fields, healthy, "sigstop", n))
            plan.append((name, args, fields, healthy, "kill", n))

    results = []
    with concurrent.futures.ThreadPoolExecutor(a.jobs) as pool:
        for r in pool.map(lambda p: one_run(a, *p), plan):
            results.append(r)
            if r["rc"] == 0 and not r["proven"]:
                print(f"  WRONG SUCCESS: {r['command']} under {r['fault']} {r['step']}: {r['out']!r}", flush=True)
    if a.log:
        with open(a.log, "w") as f:
            for r in results:
                f.write(json.dumps(r) + "\n")

    print()
    print(f"{'fault':14} {'runs':>5} {'exit 0':>7} {'unproven 0':>11} {'exit 1':>7} {'other':>6}")
    total = {"runs": 0, "ok": 0, "wrong": 0, "one": 0, "other": 0}
    for fault in ["ignore", "silent-after", "sigstop", "kill"]:
        rs = [r for r in results if r["fault"] == fault]
        row = {"runs": len(rs), "ok": sum(r["rc"] == 0 for r in rs),
               "wrong": sum(r["rc"] == 0 and not r["proven"] for r in rs),
               "one": sum(r["rc"] == 1 for r in rs), "other": sum(r["rc"] not in (0, 1) for r in rs)}
        for k in total:
            total[k] += row[k]
        print(f"{fault:14} {row['runs']:5} {row['ok']:7} {row['wrong']:11} {row['one']:7} {row['other']:6}")
    print(f"{'all':14} {total['runs']:5} {total['ok']:7} {total['wrong']:11} {total['one']:7} {total['other']:6}")
    return 1 if total["wrong"] else 0


if __name__ == "__main__":
    sys.exit(main())
