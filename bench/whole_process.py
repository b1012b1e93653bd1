"""Whole-process timing shared by the benchmark scripts."""

import os
import resource
import subprocess
import time


def timed(command):
    """Wall and processor seconds (all threads) of one run, its output discarded."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    with open(os.devnull, "wb") as sink:
        subprocess.run(command, stdout=sink, check=True)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
