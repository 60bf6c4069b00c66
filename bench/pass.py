#!/usr/bin/env python3
"""The short bench pass: each figure of bench/pass_bounds.txt measured in one
run of its bench, our side beside its peer, and held to its bound.

  bench/pass.py [TREE]    (TREE: a tree built with OSTREL_BENCHMARKS=ON,
                           build/native by default, as ./test.sh builds it)

A figure is the ratio of our side's time to the peer's in the same process,
each the median of several rounds interleaved at random, so that load on the
machine slows both alike; CPU time where both sides run in the process, wall
time where the peer is a process of its own. The benches run over every
tenth line of Debian's dictionaries (OSTREL_BENCH_SLICE), compiled once into
TREE/bench-dictionaries. The pass fails when a figure passes its bound or a
bench does not give it; the bounds leave room for a loaded machine, not for
a change that doubles our side's time.
"""
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SLICE = "10"


class Figure:
    def __init__(self, fields):
        self.name, self.command, self.ours, self.peer, self.clock, rounds, measured, bound = fields
        self.rounds = int(rounds)
        self.measured = float(measured)
        self.bound = float(bound)
        self.value = None


def read_bounds(path):
    figures = []
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        fields = [f.strip() for f in line.split("|")]
        if len(fields) != 8:
            sys.exit(f"{path}: a line needs 8 fields: {line}")
        figures.append(Figure(fields))
    return figures


def gbench_medians(tree, command, names, rounds, work):
    """Runs a Google Benchmark executable for the named benchmarks, `rounds`
    repetitions interleaved at random; their median real and CPU times by name."""
    out = os.path.join(work, "out.json")
    pattern = "^(" + "|".join(re.escape(n) for n in sorted(names)) + ")$"
    args = command.split() + [
        f"--benchmark_filter={pattern}", f"--benchmark_repetitions={rounds}", "--benchmark_min_time=0.05",
        "--benchmark_enable_random_interleaving=true", "--benchmark_report_aggregates_only=true",
        f"--benchmark_out={out}", "--benchmark_out_format=json"]
    args[0] = os.path.join(tree, "bench", args[0])
    run = subprocess.run(args, cwd=tree, capture_output=True, text=True)
    if run.returncode != 0 or not os.path.exists(out):
        sys.stderr.write(run.stdout[-2000:] + run.stderr[-2000:])
        return {}
    medians = {}
    for b in json.load(open(out))["benchmarks"]:
        if b.get("aggregate_name") == "median" and not b.get("error_occurred"):
            medians[b["run_name"]] = (b["real_time"], b["cpu_time"])
    return medians


def printed_medians(tree, command, prefixes, runs, work):
    """Runs a bench that prints its own figures (each after its prefix on a
    line of its output) `runs` times: each figure's median by prefix."""
    values = {p: [] for p in prefixes}
    for _ in range(runs):
        args = command.replace("{work}", work).split()
        args[0] = os.path.join(tree, "bench", args[0])
        run = subprocess.run(args, cwd=tree, capture_output=True, text=True)
        if run.returncode != 0:
            sys.stderr.write(run.stdout[-2000:] + run.stderr[-2000:])
            return {}
        for p in prefixes:
            found = re.findall(re.escape(p) + r"\s*([0-9.]+)", run.stdout)
            if found:
                values[p].append(float(found[-1]))
    return {p: statistics.median(v) for p, v in values.items() if len(v) == runs}


def main():
    tree = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "native"))
    os.environ["OSTREL_BENCH_SLICE"] = SLICE
    figures = read_bounds(os.path.join(HERE, "pass_bounds.txt"))
    load_before = open("/proc/loadavg").read().split()[0]
    started = time.time()
    with tempfile.TemporaryDirectory() as work:
        # One run of each bench for every figure it gives.
        commands = {}
        for f in figures:
            commands.setdefault(f.command, []).append(f)
        for command, group in commands.items():
            began = time.time()
            gbench = [f for f in group if f.clock in ("cpu", "real")]
            if gbench:
                medians = gbench_medians(tree, command, {n for f in gbench for n in (f.ours, f.peer)},
                                         max(f.rounds for f in gbench), work)
                for f in gbench:
                    clock = 0 if f.clock == "real" else 1
                    if f.ours in medians and f.peer in medians and medians[f.peer][clock] > 0:
                        f.value = medians[f.ours][clock] / medians[f.peer][clock]
            printed = [f for f in group if f.clock == "printed"]
            if printed:
                medians = printed_medians(tree, command, [f.ours for f in printed], max(f.rounds for f in printed),
                                          work)
                for f in printed:
                    f.value = medians.get(f.ours)
            print(f"  {command.split()[0]}: {time.time() - began:.0f} s", flush=True)
    load_after = open("/proc/loadavg").read().split()[0]
    failed = False
    print(f"{'figure':44} {'now':>6} {'measured':>8} {'bound':>6}")
    for f in figures:
        if f.value is None:
            verdict, now = "NOT MEASURED", "-"
        else:
            verdict, now = ("over its bound" if f.value > f.bound else ""), f"{f.value:.2f}"
        failed |= f.value is None or f.value > f.bound
        print(f"{f.name:44} {now:>6} {f.measured:8.2f} {f.bound:6.2f}  {verdict}")
    print(f"bench pass: {time.time() - started:.0f} s, load average {load_before} before, {load_after} after, "
          f"{os.cpu_count()} cores: {'FAILED' if failed else 'passed'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
