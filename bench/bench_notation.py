#!/usr/bin/env python3
"""Dice notation in the shell: tumblecast-roll against Debian's rolldice, and how long its odds take.

1. The same work on both sides, totals only, in one run: 9999 rolls of 1000 six-sided dice with the
   lowest dropped (rolldice 9999x1000d6s1, tumblecast-roll --total 9999x1000d6dl1), then without the
   drop. The runs alternate, best of five each, so that a burst of other work does not favour one side.
2. The odds: whole-process time of tumblecast-roll --odds EXPR (start, compute, print the table) for
   each expression, best of five, against its goal, with the method the program reports.

rolldice comes from Debian: sudo apt install rolldice.
Usage: bench_notation.py [path/to/tumblecast-roll]   (build it in Release first)
"""

import os
import subprocess
import sys

from whole_process import timed

ROLLDICE = "/usr/games/rolldice"
GOAL_RATIO = 20
RUNS = 5
ODDS = [  # expression, goal in seconds
    ("2d20kh1+5", 0.005), ("4d6dl1", 0.005), ("8d6!", 0.005), ("10d10>=8", 0.005), ("3dF+2", 0.005),
    ("100d6kh50", 0.1),
    # Hard ones: each within a second, or labelled approximate.
    ("9999d6!", 1.0), ("2d999998", 1.0), ("1000d6dl1", 1.0), ("9999d999998", 1.0),
    ("9999d6r1!kh5000", 1.0), ("50x9999d999998+9999d999998-9999d999998", 1.0),
]



def ratio(name, ours, theirs):
    best = {"tumblecast-roll": (float("inf"),) * 2, "rolldice": (float("inf"),) * 2}
    for _ in range(RUNS):
        for side, command in (("tumblecast-roll", ours), ("rolldice", theirs)):
            wall, cpu = timed(command)
            best[side] = (min(best[side][0], wall), min(best[side][1], cpu))
    for side, (wall, cpu) in best.items():
        print(f"  {side:16} {wall * 1000:8.1f} ms wall  {cpu * 1000:8.1f} ms cpu  "
              f"{1e7 / wall / 1e6:8.1f} M dice/s")
    wall_ratio = best["rolldice"][0] / best["tumblecast-roll"][0]
    cpu_ratio = best["rolldice"][1] / max(best["tumblecast-roll"][1], 1e-3)
    print(f"  {name}: {wall_ratio:.1f} x by wall time, {cpu_ratio:.1f} x by processor time "
          f"(goal {GOAL_RATIO} x by wall time: {'met' if wall_ratio >= GOAL_RATIO else 'not met'})")


def main():
    roller = sys.argv[1] if len(sys.argv) > 1 else "build-rel/tumblecast-roll"
    print(f"load average before: {os.getloadavg()[0]:.2f}")
    print("9999 rolls of 1000d6, the lowest dropped, totals only:")
    ratio("drop lowest", [roller, "--total", "9999x1000d6dl1"], [ROLLDICE, "9999x1000d6s1"])
    print("9999 rolls of 1000d6, totals only:")
    ratio("plain", [roller, "--total", "9999x1000d6"], [ROLLDICE, "9999x1000d6"])

    print("odds, whole process, best of five:")
    for expression, goal in ODDS:
        command = [roller, "--odds", expression]
        wall = min(timed(command)[0] for _ in range(RUNS))
        method = subprocess.run(command, capture_output=True, text=True, check=True).stdout.splitlines()[1]
        verdict = "met" if wall <= goal else ("approximate, labelled" if method != "exact" else "not met")
        print(f"  {expression:42} {wall * 1000:8.1f} ms  goal {goal * 1000:6.0f} ms: {verdict:22} {method}")
    print(f"load average after: {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
