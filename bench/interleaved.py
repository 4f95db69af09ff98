#!/usr/bin/env python3
"""Times shell commands round by round, in turn, so that changing machine load
falls on all of them alike; prints median and minimum wall time and the median
processor time (user + system, all threads) of each.

Usage: interleaved.py ROUNDS NAME=COMMAND...
"""
import os
import statistics
import subprocess
import sys
import time


def run(command):
    start = time.perf_counter()
    process = subprocess.Popen(command, shell=True, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {command}")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    rounds = int(sys.argv[1])
    commands = [arg.split("=", 1) for arg in sys.argv[2:]]
    walls = {name: [] for name, _ in commands}
    cpus = {name: [] for name, _ in commands}
    for name, command in commands:  # warm-up: caches, page cache
        run(command)
    for r in range(rounds):
        order = commands[r % len(commands):] + commands[:r % len(commands)]
        for name, command in order:
            wall, cpu = run(command)
            walls[name].append(wall)
            cpus[name].append(cpu)
    print(f"| command | median wall [ms] | min wall [ms] | median CPU [ms] |")
    print(f"|:---|---:|---:|---:|")
    for name, _ in commands:
        print(f"| {name} | {statistics.median(walls[name]) * 1000:.0f} | "
              f"{min(walls[name]) * 1000:.0f} | {statistics.median(cpus[name]) * 1000:.0f} |")


if __name__ == "__main__":
    main()
