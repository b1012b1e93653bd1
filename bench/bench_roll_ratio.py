#!/usr/bin/env python3
"""Dice per second of tumblecast-roll against Debian's rolldice, side by side in one run.

The work: 9999 repetitions of 9999 dice of 1000 sides, every die printed, into /dev/null.
tumblecast-roll does all of it, twice: with plain line ends (its default) and with --crlf (the
window's own bytes, which it writes as they are rendered); rolldice, some hundred times slower per die than the goal,
does a share of the repetitions (a tenth unless told), and both are compared in dice per
second. The runs alternate, best of three each, so that a burst of other work on the
machine does not favour one side.

Usage: bench_roll_ratio.py [path/to/tumblecast-roll] [share of the work for rolldice]
"""

import os
import sys

from whole_process import timed

DICE, SIDES, TIMES = 9999, 1000, 9999
ROLLDICE = "/usr/games/rolldice"
GOAL = 20



def main():
    roller = sys.argv[1] if len(sys.argv) > 1 else "build-rel/tumblecast-roll"
    share = float(sys.argv[2]) if len(sys.argv) > 2 else 0.1
    their_times = max(1, round(TIMES * share))
    ours = [roller, "--dice", str(DICE), "--sides", str(SIDES), "--times", str(TIMES)]
    ours_crlf = ours + ["--crlf"]
    # -s prints every die, as the record does.
    theirs = [ROLLDICE, "-s", f"{their_times}x{DICE}d{SIDES}"]

    # Other work on the machine shows in the wall times: say how much there was.
    print(f"load average before: {os.getloadavg()[0]:.2f}")
    sides = (("tumblecast-roll", ours), ("tumblecast-roll --crlf", ours_crlf), ("rolldice", theirs))
    best = {name: (float("inf"),) * 2 for name, _ in sides}
    for _ in range(3):
        for name, command in sides:
            wall, cpu = timed(command)
            best[name] = (min(best[name][0], wall), min(best[name][1], cpu))

    dice = {"tumblecast-roll": DICE * TIMES, "tumblecast-roll --crlf": DICE * TIMES, "rolldice": DICE * their_times}
    rate = {}
    for name, (wall, cpu) in best.items():
        rate[name] = (dice[name] / wall, dice[name] / cpu)
        print(f"{name:23} {dice[name]:>10} dice  {wall:7.3f} s wall  {cpu:7.3f} s cpu  "
              f"{rate[name][0] / 1e6:8.2f} M dice/s wall  {rate[name][1] / 1e6:8.2f} M dice/s cpu")
    print(f"load average after: {os.getloadavg()[0]:.2f}")
    for name in ("tumblecast-roll", "tumblecast-roll --crlf"):
        wall_ratio = rate[name][0] / rate["rolldice"][0]
        cpu_ratio = rate[name][1] / rate["rolldice"][1]
        print(f"ratio, {name}: {wall_ratio:.1f} x by wall time, {cpu_ratio:.1f} x by processor time "
              f"(goal {GOAL} x by wall time: {'met' if wall_ratio >= GOAL else 'not met'})")

if __name__ == "__main__":
    main()
