#!/usr/bin/env python3
"""The short bench pass: each figure of bench/pass_bounds.txt measured in one
run of its bench, our side beside its peer, and held to its bound.

  bench/pass.py [TREE [WINTREE]]
      TREE: a tree built with OSTREL_BENCHMARKS=ON, build/native by default,
      as ./test.sh builds it; WINTREE: the Windows tree built beside it
      (build/win), whose benches of the user's path then run too

Two kinds of figure. A count is work one side did per keystroke or per
query (pages asked of the cache, read and inflated, key compares, heap
allocations), printed by the bench after it has checked that both sides gave
the same answers; it does not move with the machine or its load, so it is
held to a tight range, and a change that does more work (each page read
twice, a search made twice) fails the pass on any machine. A time ratio is
our side's time over the peer's in the same process, each the median of
several rounds interleaved at random; CPU time where both sides run in the
process, wall time where the peer is a process of its own. It moves with the
machine and its load, so its bound is wide enough for the spread measured on
a machine of this kind, quiet to busy, and it is reported beside the counts.
The benches run over every tenth line of Debian's dictionaries
(OSTREL_BENCH_SLICE), compiled once into TREE/bench-dictionaries. The pass
fails when a figure leaves its bound or a bench does not give it.

With WINTREE, a short run of each bench of the user's path under Wine (the
keystroke to the painted list, the print dialog's outputs, the article
editor, a book load), each on a display and a Wine prefix of its own, over
the same slices: each bench checks what the program did before it gives a
time (the rows a key finds, the clipboard's and the file's bytes, every
step of the editor, the book's records), and fails otherwise. Their figures
are times in milliseconds or seconds, held to bounds a loaded machine keeps.
"""
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SLICE = "10"
TIMES = ("cpu", "real", "printed", "win")


class Figure:
    def __init__(self, fields):
        self.name, self.command, self.ours, self.peer, self.clock, rounds, measured, bound, self.where = fields
        self.rounds = int(rounds)
        self.measured = float(measured)
        # A count's bound is a range LOW..HIGH; a time ratio's its highest value.
        low, _, high = bound.partition("..")
        self.low, self.high = (float(low), float(high)) if high else (None, float(low))
        self.value = None

    def verdict(self):
        if self.value is None:
            return "NOT MEASURED"
        if self.value > self.high:
            return "over its bound"
        if self.low is not None and self.value < self.low:
            return "under its range: the work changed, measure it again"
        return ""

    def bound_text(self):
        return f"{self.low:g}..{self.high:g}" if self.low is not None else f"{self.high:g}"


def read_bounds(path):
    figures = []
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        fields = [f.strip() for f in line.split("|")]
        if len(fields) != 9:
            sys.exit(f"{path}: a line needs 9 fields: {line}")
        figure = Figure(fields)
        if figure.clock not in TIMES + ("count",):
            sys.exit(f"{path}: unknown clock {figure.clock}: {line}")
        figures.append(figure)
    return figures


def bench_args(tree, command, work):
    args = command.replace("{work}", work).split()
    args[0] = os.path.join(tree, "bench", args[0])
    return args


def run_bench(args, tree):
    run = subprocess.run(args, cwd=tree, capture_output=True, text=True)
    if run.returncode != 0:
        sys.stderr.write(run.stdout[-2000:] + run.stderr[-2000:])
        return None
    return run.stdout


def printed_value(output, prefix):
    """The number after the first `prefix` in the output (any run of blanks
    matching the prefix's blanks)."""
    pattern = r"\s+".join(re.escape(word) for word in prefix.split())
    found = re.search(pattern + r"\s*([0-9.]+)", output or "")
    return float(found.group(1)) if found else None


def gbench_medians(tree, command, names, rounds, work):
    """Runs a Google Benchmark executable for the named benchmarks, `rounds`
    repetitions interleaved at random: their median real and CPU times by
    name, and the run's printed output."""
    out = os.path.join(work, "out.json")
    pattern = "^(" + "|".join(re.escape(n) for n in sorted(names)) + ")$"
    args = bench_args(tree, command, work) + [
        f"--benchmark_filter={pattern}", f"--benchmark_repetitions={rounds}", "--benchmark_min_time=0.05",
        "--benchmark_enable_random_interleaving=true", "--benchmark_report_aggregates_only=true",
        f"--benchmark_out={out}", "--benchmark_out_format=json"]
    output = run_bench(args, tree)
    if output is None or not os.path.exists(out):
        return {}, output
    medians = {}
    for b in json.load(open(out))["benchmarks"]:
        if b.get("aggregate_name") == "median" and not b.get("error_occurred"):
            medians[b["run_name"]] = (b["real_time"], b["cpu_time"])
    os.remove(out)
    return medians, output


def windows_data(tree, wintree, work):
    """The Windows benches' data over the slices: the dictionaries the native
    benches compiled, the Latin dictionary of the window tests, 20,000 EDICT
    entries for the print bench, EDICT readings to type and a book to load."""
    folder = os.path.join(work, "windata")
    os.makedirs(folder, exist_ok=True)
    compiled = os.path.join(tree, "bench-dictionaries")
    for name in ("edict", "enamdict", "kanjidic"):
        shutil.copy(os.path.join(compiled, f"{name}-1in{SLICE}.qdx"), os.path.join(folder, f"{name}.qdx"))
    shutil.copy(os.path.join(wintree, "ui", "e2e-data", "collatinus.qdx"), os.path.join(folder, "latin.qdx"))
    # Hiragana readings of every 40th line of the EDICT slice, as the list holds them.
    with open(os.path.join(compiled, f"edict-1in{SLICE}"), encoding="euc_jp", errors="replace") as source:
        lines = source.read().splitlines()[1::40]
    with open(os.path.join(folder, "readings.txt"), "w", encoding="utf-8") as out:
        for line in lines:
            found = re.match(r"^\S+ \[([^]]+)\]", line)
            if found:
                out.write(found.group(1) + "\n")
    first = os.path.join(compiled, "edict-20000.qdx")
    if not os.path.exists(first):
        with open("/usr/share/edict/edict", "rb") as source:
            head = b"".join(source.readline() for _ in range(20001))
        text = os.path.join(compiled, "edict-20000")
        open(text, "wb").write(head)
        subprocess.run([os.path.join(tree, "tools", "qdxc"), "--deterministic", text, first + ".part"],
                       check=True, capture_output=True)
        os.replace(first + ".part", first)
    shutil.copy(first, folder)
    # The book: the header group and the first 720 phrases of coreutils'
    # messages in English, Russian and Japanese (groups end in an empty line).
    whole = os.path.join(work, "coreutils.txt")
    subprocess.run([sys.executable, os.path.join(HERE, "..", "tools", "book_texts", "gettext_books.py"), "book",
                    whole, "coreutils", "ru", "ja"], check=True, capture_output=True)
    groups = open(whole, "rb").read().split(b"\r\n\r\n")
    open(os.path.join(folder, "book.txt"), "wb").write(b"\r\n\r\n".join(groups[:721]) + b"\r\n\r\n")
    return "Z:" + folder


def windows_run(wintree, command, windata):
    """One Windows bench under cmake/wine-run.sh, on a display of its own and
    the window tests' first prefix (./test.sh runs them after the pass)."""
    args = command.replace("{windata}", windata).split()
    args[0] = os.path.join(wintree, "bench", args[0])
    env = dict(os.environ, OSTREL_OWN_DISPLAY="1", OSTREL_WINEPREFIX=os.path.join(wintree, "e2e-prefix"))
    run = subprocess.run([os.path.join(HERE, "..", "cmake", "wine-run.sh")] + args, cwd=wintree, env=env,
                         capture_output=True, text=True, stdin=subprocess.DEVNULL)
    if run.returncode != 0:
        sys.stderr.write(f"{args[0]}: status {run.returncode}\n" + run.stdout[-3000:] + run.stderr[-2000:])
        return None
    return run.stdout


def measure(tree, command, group, work):
    """Runs one bench for every figure it gives: the Google Benchmark rounds,
    or runs of a bench that prints its ratios, and its counts from the first
    run's output."""
    if group[0].clock == "win":
        output = windows_run(WINTREE, command, WINDATA)
        for f in group:
            f.value = printed_value(output, f.ours)
        return
    gbench = [f for f in group if f.clock in ("cpu", "real")]
    printed = [f for f in group if f.clock == "printed"]
    outputs = []
    if gbench:
        medians, output = gbench_medians(tree, command, {n for f in gbench for n in (f.ours, f.peer)},
                                         max(f.rounds for f in gbench), work)
        outputs.append(output)
        for f in gbench:
            clock = 0 if f.clock == "real" else 1
            if f.ours in medians and f.peer in medians and medians[f.peer][clock] > 0:
                f.value = medians[f.ours][clock] / medians[f.peer][clock]
    if printed or not outputs:
        runs = max([f.rounds for f in printed] or [1])
        for _ in range(runs):
            outputs.append(run_bench(bench_args(tree, command, work), tree))
        for f in printed:
            values = [printed_value(o, f.ours) for o in outputs]
            if all(v is not None for v in values):
                f.value = statistics.median(values)
    for f in group:
        if f.clock == "count":
            f.value = printed_value(outputs[0], f.ours + ":")


def print_table(title, figures):
    print(title)
    print(f"  {'figure':60} {'now':>9} {'measured':>9} {'bound':>15}")
    for f in figures:
        now = "-" if f.value is None else f"{f.value:.3f}" if f.clock == "count" else f"{f.value:.2f}"
        print(f"  {f.name:60} {now:>9} {f.measured:9g} {f.bound_text():>15}  {f.verdict()}")


WINTREE = None  # the Windows tree, when given
WINDATA = None  # its benches' data folder, as Wine names it


def main():
    global WINTREE, WINDATA
    tree = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "native"))
    WINTREE = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    os.environ["OSTREL_BENCH_SLICE"] = SLICE
    figures = read_bounds(os.path.join(HERE, "pass_bounds.txt"))
    if WINTREE is None:
        figures = [f for f in figures if f.clock != "win"]
    load_before = open("/proc/loadavg").read().split()[0]
    started = time.time()
    with tempfile.TemporaryDirectory() as work:
        commands = {}
        for f in figures:
            commands.setdefault(f.command, []).append(f)
        for command, group in commands.items():
            began = time.time()
            if group[0].clock == "win" and WINDATA is None:
                WINDATA = windows_data(tree, WINTREE, work)
            measure(tree, command, group, work)
            print(f"  {command.split()[0]}: {time.time() - began:.0f} s", flush=True)
    load_after = open("/proc/loadavg").read().split()[0]
    print_table("work done, per keystroke or query (held to its range on any machine):",
                [f for f in figures if f.clock == "count"])
    print_table("time, ours / peer in the same run (bounds for a machine of this kind, quiet to busy):",
                [f for f in figures if f.clock not in ("count", "win")])
    if WINTREE is not None:
        print_table("the user's path under Wine, each output checked first (ms or s; bounds a loaded machine keeps):",
                    [f for f in figures if f.clock == "win"])
    failed = any(f.verdict() for f in figures)
    print(f"bench pass: {time.time() - started:.0f} s, load average {load_before} before, {load_after} after, "
          f"{os.cpu_count()} cores: {'FAILED' if failed else 'passed'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
