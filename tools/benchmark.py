#!/usr/bin/env python3
"""Figures for Quimbro.exe under Wine on a virtual display, each beside the baseline its goal
is stated against, all measured in the same run:

- launch to a ready window and the peak memory, beside a bare Win32 window program;
- a run's own time (Start pressed to Exit enabled again), beside the three captured commands
  run one after another, each started from the host as `wine cmd.exe /C ...` (as the figure
  that the run's goal is stated against was taken), and by a program inside the same prefix;
- the copy of a product log tree (1 GiB in 20,000 files by default), beside a plain CopyFileW
  loop over the same tree inside the prefix and `cp -r` on the host;
- the size of Quimbro.exe as shipped;
- the longest the window takes to answer the system during the run with the tree, and during
  a run that writes more than the write cache holds (four 1 GiB logs, sparse on the host, the
  old output of the runs with the tree to delete first), asked WM_NULL every 100 ms from another
  process by the end-to-end tests' probe;
- where a run's time goes: each step's time from the trace that a QUIMBRO_TRACE build writes,
  and the peak memory by the end of each step with the tree.

Launch, run time and peak without the tree are the program as shipped; the runs with the tree
and the step times are the traced build's, whose trace gives each copy row its time.

Times come from programs inside the prefix (tools/bench) on the performance counter: one
watcher starts the program, polls its window every 10 ms and presses its buttons itself.
Each figure is measured --runs times (after one untimed warm-up) and printed as median, min
and max. It prints figures and judges nothing.

Usage: tools/benchmark.py [--files N] [--mib M] [--big-mib B] [--runs 5] [--work DIR] [--quick]"""
import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.dont_write_bytecode = True
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from drive import COMMANDS, Wine, answers, sparse_log  # noqa: E402

TRACED_BUILD = ROOT / "build" / "benchmark"
SHIPPED_BUILD = ROOT / "build" / "bench-release"
QUIMBRO = pathlib.Path("src/platform/win32/window/Quimbro.exe")
BENCH_SOURCES = ROOT / "tools" / "bench"
PROBE_SOURCES = (ROOT / "tests" / "e2e" / "probe" / "Probe.cpp",
                 ROOT / "src" / "platform" / "win32" / "WideText.cpp")
COMPILER = "x86_64-w64-mingw32-g++-posix"
RESOURCE_COMPILER = "x86_64-w64-mingw32-windres"
# The benchmark's own programs and the end-to-end tests' probe, which times the window's answers:
# name, sources (beside this script unless full paths), resource script or None, window program
# (else console). The bare window carries the common controls manifest that Quimbro and any program
# with themed controls carries: it loads the common controls library on its own.
BENCH_PROGRAMS = [
    ("BenchWatcher", ("Watcher.cpp",), None, False),
    ("BenchCommands", ("Commands.cpp",), None, False),
    ("BenchCopyTree", ("CopyTree.cpp",), None, False),
    ("BenchBareWindow", ("BareWindow.cpp",), "BareWindow.rc", True),
    ("QuimbroProbe", PROBE_SOURCES, None, False),
]
CMD = "C:\\windows\\system32\\cmd.exe"
FORM_CLASS = "QuimbroForm1"
BARE_CLASS = "BenchBareWindow"
MEMORY_POLL = 0.02
# Where the product tree lies below the Kestova install layout; the "AnB logs" row copies it.
PRODUCT_LOGS = pathlib.PurePosixPath("Apps/Vantorel/AlmanBoard")
TREE = PRODUCT_LOGS / "logs" / "bulk"
BIG_LOGS = PRODUCT_LOGS / "logs" / "big"
ANB_ROW = "copy row: AnB logs"

# The message that begins each group of a run's steps, in run order, and the group's kind and
# name; a copy row is named by its own message. The last gatherer's step lasts until the run
# has waited for its captures.
STEP_GROUPS = [
    ("Checking for existence of QuimbroOutput...", "folder tree", "folder tree"),
    ("Opening ", "report", "opening the report log"),
    ("Reading Quimbro log file info...", "gatherer", "QuimbroLogInfo"),
    ("Directing output of 'ipconfig /all'...", "capture", "ipconfig /all"),
    ("Directing output of 'netstat -a'...", "capture", "netstat -a"),
    ("Directing output of 'net start'...", "capture", "net start"),
    ("Reading Operating System info...", "gatherer", "Windows2000"),
    ("Reading AlmanBoard Info...", "gatherer", "KXSuite (versions, install directory)"),
    ("Copying ", "copy row", None),
    ("Reading Internet Explorer info...", "gatherer", "IE55"),
    ("Reading Netscape info...", "gatherer", "Netscape47"),
    ("Reading IIS info...", "gatherer", "IIS5"),
    ("Reading JRE info...", "gatherer", "JRE"),
    ("Reading MS Office info...", "gatherer", "Office"),
    ("Reading DBMS info...", "gatherer", "SQLServer7, then the wait for the captures"),
    ("Closing ", "finish", "closing the report log, finish message"),
]
# The order in which the groups are shown; within a kind, run order.
KINDS = ["run", "folder tree", "report", "capture", "gatherer", "copy row", "finish"]
LISTED = ("capture", "gatherer", "copy row")
PROGRESS = "progress "


def build_quimbro(build_dir, traced):
    subprocess.run(["cmake", "--preset", "windows", "-B", str(build_dir),
                    "-DQUIMBRO_BUILD_TESTS=OFF", f"-DQUIMBRO_TRACE={'ON' if traced else 'OFF'}"],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build_dir), "-j", str(os.cpu_count()),
                    "--target", "Quimbro"], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    return build_dir / QUIMBRO


def build_bench_programs(folder):
    """The benchmark's own Windows programs, rebuilt when a source is newer."""
    folder.mkdir(parents=True, exist_ok=True)
    newest = max(p.stat().st_mtime for p in [*BENCH_SOURCES.iterdir(), *PROBE_SOURCES])
    programs = {}
    for name, sources, resources, windowed in BENCH_PROGRAMS:
        program = folder / f"{name}.exe"
        if not program.exists() or program.stat().st_mtime < newest:
            compiled = []
            if resources:
                compiled = [folder / f"{name}.res"]
                subprocess.run([RESOURCE_COMPILER, "-O", "coff", "-o", str(compiled[0]),
                                str(BENCH_SOURCES / resources)], cwd=BENCH_SOURCES, check=True)
            subprocess.run([COMPILER, "-std=c++20", "-O2", "-static", "-municode", "-Wall",
                            "-Wextra", "-DUNICODE", "-D_UNICODE", f"-I{ROOT / 'src'}",
                            *(["-mwindows"] if windowed else []), "-o", str(program),
                            *(str(BENCH_SOURCES / s) for s in sources), *map(str, compiled)],
                           check=True)
        programs[name] = program
    return programs


def windows_path(path):
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def wine_processes(prefix, program):
    """The Linux process ids of the Windows program of that file name in this prefix."""
    wanted = f"WINEPREFIX={prefix}".encode()
    found = set()
    for entry in pathlib.Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            first = (entry / "cmdline").read_bytes().split(b"\0")[0].decode("utf-8", "replace")
            if first.replace("\\", "/").rsplit("/", 1)[-1].lower() != program.lower():
                continue
            if wanted not in (entry / "environ").read_bytes().split(b"\0"):
                continue
        except OSError:
            continue
        found.add(int(entry.name))
    return found


def high_water_kib(pid):
    """VmHWM: the largest resident set the process has had."""
    try:
        for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0


def trace_lines(path):
    """(milliseconds, text) for each line of a trace."""
    if not path.exists():
        return []
    lines = []
    for row in path.read_bytes().decode("utf-8", "replace").splitlines():
        stamp, _, text = row.partition("\t")
        lines.append((float(stamp), text))
    return lines


class Watched:
    """One program started and watched by the watcher: its events (milliseconds on the
    performance counter), its peak memory, and with a trace the peak by each trace line."""

    def __init__(self, wine, programs, mode, window_class, program, trace=None):
        env = dict(wine.env)
        if trace is not None:
            env["QUIMBRO_TRACE_FILE"] = windows_path(trace)
        self.events = {}
        self.peak_kib = 0
        self.peaks_by_line = []  # (trace lines written, peak KiB so far)
        # An earlier run's process may still be going away.
        earlier = wine_processes(wine.env["WINEPREFIX"], program.name)
        watcher = subprocess.Popen(
            ["wine", str(programs["BenchWatcher"]), mode, window_class, windows_path(program)],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True)
        reader = threading.Thread(target=self._read, args=(watcher.stdout,))
        reader.start()
        pid = None
        while reader.is_alive():
            if pid is None:
                pid = min(wine_processes(wine.env["WINEPREFIX"], program.name) - earlier, default=None)
            if pid is not None:
                self.peak_kib = max(self.peak_kib, high_water_kib(pid))
            if trace is not None and trace.exists():
                written = trace.read_bytes().count(b"\n")
                self.peaks_by_line.append((written, self.peak_kib))
            time.sleep(MEMORY_POLL)
        watcher.wait()
        if "ended" not in self.events:
            raise RuntimeError(f"{program.name} under the watcher: {self.events}")

    def _read(self, stream):
        for line in stream:
            event, stamp, detail = (line.rstrip("\n").split("\t") + ["", ""])[:3]
            self.events[event] = (float(stamp), detail)

    def between(self, first, last):
        return self.events[last][0] - self.events[first][0]


def step_groups(trace, started, finished, peaks_by_line):
    """A traced run's groups of steps in run order: (kind, name) -> (milliseconds, peak KiB by
    the group's end). Progress lines mark no step."""
    messages = [(index, stamp, text) for index, (stamp, text) in enumerate(trace)
                if stamp >= started and not text.startswith(PROGRESS)]
    groups = {}
    current = ("run", "start of the run (before its first message)")
    begun = started
    ends = []

    def close(until, until_index):
        groups[current] = groups.get(current, 0.0) + (until - begun)
        ends.append((current, until_index))

    for index, stamp, text in messages:
        match = next((g for g in STEP_GROUPS if text.startswith(g[0])), None)
        if match is None:
            continue
        close(stamp, index)
        kind, name = match[1], match[2]
        current = (kind, name if name is not None else f"{kind}: {text[8:].removesuffix('...')}")
        begun = stamp
    close(finished, len(trace))
    peaks = {}
    for group, until_index in ends:
        seen = [peak for written, peak in peaks_by_line if written <= until_index]
        peaks[group] = max(seen, default=0)
    return {group: (groups[group], peaks[group]) for group in groups}


def make_log_tree(folder, files, total_bytes):
    """`files` files of equal size in folders of 500, `total_bytes` in all."""
    block = b"2026-12-05 03:49:34 INFO request served in 12 ms\r\n" * 2048
    size = total_bytes // files
    content = (block * (size // len(block) + 1))[:size]
    for n in range(files):
        path = folder / f"part{n // 500:03}" / f"server{n:05}.log"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)


def tree_bytes(*folders):
    return sum(p.stat().st_size for folder in folders for p in folder.rglob("*") if p.is_file())


def clear(*paths):
    """Removes earlier output and writes back what is pending, outside any timing."""
    for path in paths:
        shutil.rmtree(path, ignore_errors=True)
    subprocess.run(["sync"], check=False)


class Bench:
    def __init__(self, wine, programs, quimbro, shipped, work):
        self.wine, self.programs, self.work = wine, programs, work
        self.quimbro, self.shipped = quimbro, shipped
        self.output = wine.desktop / "QuimbroOutput"
        self.traces = work / "traces"
        self.traces.mkdir()

    def bare_window(self):
        clear()
        watched = Watched(self.wine, self.programs, "open", BARE_CLASS,
                          self.programs["BenchBareWindow"])
        return watched.between("launched", "ready"), watched.peak_kib

    def quimbro_run(self, label=None, probed=False):
        """A run of the program as shipped, or with a label the traced build's run and its steps;
        probed, also the window's longest answer during the run."""
        clear(self.output)
        trace = self.traces / f"{label}.txt" if label else None
        program = self.quimbro if label else self.shipped
        # The probe waits for the window that the watcher opens.
        probe = probed and self.wine.start(self.wine.probe, "watch", output=subprocess.PIPE)
        watched = Watched(self.wine, self.programs, "run", FORM_CLASS, program, trace)
        run = {"launch": watched.between("launched", "ready"),
               "run": watched.between("start", "finished"), "peak": watched.peak_kib}
        if probe:
            run["longest answer"] = answers(probe)[1]
        if label:
            run["groups"] = step_groups(trace_lines(trace), watched.events["start"][0],
                                        watched.events["finished"][0], watched.peaks_by_line)
        return run

    def commands(self):
        folder = self.work / "commands"
        clear(folder)
        folder.mkdir()
        out = self.wine.run(str(self.programs["BenchCommands"]), windows_path(folder),
                            timeout=900, output=subprocess.PIPE).stdout.decode("utf-8", "replace")
        rows = dict(row.split("\t")[:2] for row in out.splitlines() if "\t" in row)
        if "commands" not in rows or "alongside" not in rows:
            raise RuntimeError(f"the three commands did not run: {out!r}")
        return float(rows["commands"]), float(rows["alongside"])

    def commands_from_outside(self):
        """The three commands one after another, each a `wine cmd.exe /C` of its own."""
        folder = self.work / "outside"
        clear(folder)
        folder.mkdir()
        captures = [(command, folder / f"{name}.log") for name, command in COMMANDS]
        started = time.monotonic()
        for command, capture in captures:
            # Wine joins the arguments with blanks; the work folder's path holds none.
            self.wine.run(CMD, "/C", *command.split(), ">", windows_path(capture), timeout=900)
        milliseconds = (time.monotonic() - started) * 1000
        if not all(capture.is_file() and capture.stat().st_size for _, capture in captures):
            raise RuntimeError("the three commands from the host captured nothing")
        return milliseconds

    def copy_file_loop(self, source):
        destination = self.wine.drive_c / "bench-copy"
        clear(destination)
        result = self.wine.run(str(self.programs["BenchCopyTree"]), windows_path(source),
                               windows_path(destination), timeout=1800, output=subprocess.PIPE)
        out = result.stdout.decode("utf-8", "replace")
        rows = [row.split("\t") for row in out.splitlines() if row.startswith("copied\t")]
        if result.returncode != 0 or not rows:
            raise RuntimeError(f"the CopyFileW loop failed: {out!r}")
        _, copied = (int(n) for n in rows[0][2].split())
        return float(rows[0][1]), copied

    def host_copy(self, source):
        destination = self.work / "cp-copy"
        clear(destination)
        started = time.monotonic()
        subprocess.run(["cp", "-r", str(source), str(destination)], check=True)
        return (time.monotonic() - started) * 1000


def spread(values):
    return statistics.median(values), min(values), max(values)


def throughput(size, milliseconds):
    """MB/s (10^6 bytes a second)."""
    return size / 1e6 / (milliseconds / 1000) if milliseconds > 0 else float("nan")


def print_figures(rows, runs):
    print(f"\nFigures ({runs} runs each)")
    width = max(len(name) for name, _, _ in rows)
    print(f"  {'':<{width}}  {'median':>10} {'min':>10} {'max':>10}")
    for name, unit, values in rows:
        if len(values) == 1:
            print(f"  {name:<{width}}  {values[0]:>10.2f}  {unit}")
            continue
        median, low, high = spread(values)
        print(f"  {name:<{width}}  {median:>10.2f} {low:>10.2f} {high:>10.2f}  {unit}")


def print_goals(goals):
    print("\nGoals (medians)\n")
    print("| figure | Quimbro | baseline | ratio | goal |")
    print("| --- | --- | --- | --- | --- |")
    for row in goals:
        print("| " + " | ".join(row) + " |")


def print_steps(plain, big, label):
    order = []
    for run in plain + big:
        order += [group for group in run if group not in order]
    order.sort(key=lambda group: KINDS.index(group[0]))
    print("\nWhere a run's time goes (median ms over the traced runs; peak memory by the end of "
          f"the step, median MiB, with {label})")
    width = max(len(name) for _, name in order) + 4
    print(f"  {'':<{width}}  {'small tree':>10} {'with tree':>10} {'peak':>8}")
    heading = None
    for kind, name in order:
        if kind != heading and kind in LISTED:
            print(f"  {kind}s")
        heading = kind
        shown = name.split(": ", 1)[-1] if kind == "copy row" else name
        indent = "    " if kind in LISTED else ""
        cells = []
        for runs in (plain, big):
            times = [run[(kind, name)][0] for run in runs if (kind, name) in run]
            cells.append(f"{statistics.median(times):>10.1f}" if times else f"{'-':>10}")
        peaks = [run[(kind, name)][1] for run in big if (kind, name) in run]
        peak = f"{statistics.median(peaks) / 1024:>8.1f}" if peaks else f"{'-':>8}"
        print(f"  {indent + shown:<{width}}  {cells[0]} {cells[1]} {peak}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--mib", type=int, default=1024)
    parser.add_argument("--big-mib", type=int, default=1024, help="each of the four big logs")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", type=pathlib.Path, default=ROOT / "build" / "bench-work")
    parser.add_argument("--quick", action="store_true",
                        help="a small tree (16 MiB in 400 files) and 2 runs, to try it out")
    args = parser.parse_args()
    if args.quick:
        args.files, args.mib, args.big_mib, args.runs = 400, 16, 16, min(args.runs, 2)

    print("building Quimbro.exe (traced and as shipped) and the benchmark's programs...",
          flush=True)
    quimbro = build_quimbro(TRACED_BUILD, traced=True)
    shipped = build_quimbro(SHIPPED_BUILD, traced=False)
    programs = build_bench_programs(TRACED_BUILD / "bench")
    if args.work.exists():
        shutil.rmtree(args.work)
    args.work.mkdir(parents=True)

    label = f"{args.mib} MiB in {args.files} files"
    big = f"four logs of {args.big_mib} MiB"
    wine = Wine(args.work, probe=programs["QuimbroProbe"])
    try:
        wine.boot()
        bench = Bench(wine, programs, quimbro, shipped, args.work)

        print("warming up, then the window, the run and the three commands...", flush=True)
        bench.bare_window()
        bench.quimbro_run("warm-up")
        bench.commands()
        bench.commands_from_outside()
        bare_launch, bare_peak, launch, run, peak, commands, alongside, outside, plain_groups = (
            [] for _ in range(9))
        for n in range(args.runs):
            bare = bench.bare_window()
            bare_launch.append(bare[0])
            bare_peak.append(bare[1] / 1024)
            shipped_run = bench.quimbro_run()
            launch.append(shipped_run["launch"])
            run.append(shipped_run["run"])
            peak.append(shipped_run["peak"] / 1024)
            plain_groups.append(bench.quimbro_run(f"small-{n + 1}")["groups"])
            one_after_another, together = bench.commands()
            commands.append(one_after_another)
            alongside.append(together)
            outside.append(bench.commands_from_outside())

        print(f"making the product tree ({label})...", flush=True)
        product = wine.drive_c / PRODUCT_LOGS
        make_log_tree(wine.drive_c / TREE, args.files, args.mib * 2**20)
        logs = product / "logs"
        copied_by_quimbro = tree_bytes(*product.glob("log*"))
        print("copying it: Quimbro, the CopyFileW loop, cp -r...", flush=True)
        big_run, big_peak, anb, loop, loop_rate, host, host_rate, big_groups, longest = (
            [] for _ in range(9))
        host_bytes = tree_bytes(logs)
        for n in range(args.runs):
            quimbro_run = bench.quimbro_run(f"tree-{n + 1}", probed=True)
            big_run.append(quimbro_run["run"])
            longest.append(quimbro_run["longest answer"])
            big_peak.append(quimbro_run["peak"] / 1024)
            big_groups.append(quimbro_run["groups"])
            # A copy that left files out would pass for a fast one.
            if tree_bytes(bench.output / "AlmanBoard" / "logs") != host_bytes:
                raise RuntimeError("Quimbro did not copy the whole tree")
            anb.append(throughput(copied_by_quimbro, quimbro_run["groups"][("copy row",
                                                                             ANB_ROW)][0]))
            milliseconds, loop_bytes = bench.copy_file_loop(logs)
            loop.append(milliseconds)
            loop_rate.append(throughput(loop_bytes, milliseconds))
            host.append(bench.host_copy(logs))
            host_rate.append(throughput(host_bytes, host[-1]))
        clear(wine.drive_c / TREE, wine.drive_c / "bench-copy", args.work / "cp-copy")

        print(f"writing more than the write cache holds ({big})...", flush=True)
        for n in range(4):
            sparse_log(wine.drive_c / BIG_LOGS / f"{n}.log", args.big_mib << 20)
        held = []
        for n in range(args.runs):
            held.append(bench.quimbro_run(f"big-{n + 1}", probed=True)["longest answer"])
            if tree_bytes(bench.output / "AlmanBoard" / "logs") != tree_bytes(logs):
                raise RuntimeError("Quimbro did not copy the big logs")
        clear(bench.output, wine.drive_c / BIG_LOGS)
        traces = TRACED_BUILD / "traces"
        shutil.rmtree(traces, ignore_errors=True)
        shutil.copytree(bench.traces, traces)
    finally:
        wine.close()
        shutil.rmtree(args.work, ignore_errors=True)

    size = shipped.stat().st_size
    print_figures([
        ("Quimbro.exe size as shipped", "MB", [size / 1e6]),
        ("launch to ready window: Quimbro", "ms", launch),
        ("launch to ready window: bare window", "ms", bare_launch),
        ("peak memory: bare window", "MiB", bare_peak),
        ("run, Start to Exit enabled", "ms", run),
        ("the three commands one after another, each from the host", "ms", outside),
        ("the three commands one after another, inside the prefix", "ms", commands),
        ("the three commands alongside each other", "ms", alongside),
        ("peak memory of the run", "MiB", peak),
        (f"run with {label}", "ms", big_run),
        (f"peak memory of the run with {label}", "MiB", big_peak),
        (f"longest answer of the window during the run with {label}", "ms", longest),
        (f"longest answer of the window during the run with {big}", "ms", held),
        ("copy by Quimbro (the AnB logs row)", "MB/s", anb),
        ("copy by the CopyFileW loop", "MB/s", loop_rate),
        ("copy by the CopyFileW loop", "ms", loop),
        ("copy by cp -r on the host", "MB/s", host_rate),
        ("copy by cp -r on the host", "ms", host),
    ], args.runs)
    median = statistics.median
    print_goals([
        ("Start to Exit / the three commands, each from the host", f"{median(run):.0f} ms",
         f"{median(outside):.0f} ms", f"{median(run) / median(outside):.2f}", "≤ 0.7"),
        ("Start to Exit / the three commands one after another inside the prefix",
         f"{median(run):.0f} ms", f"{median(commands):.0f} ms",
         f"{median(run) / median(commands):.2f}", "-"),
        ("(no run ends sooner) the three commands alongside each other / one after another",
         f"{median(alongside):.0f} ms", f"{median(commands):.0f} ms",
         f"{median(alongside) / median(commands):.2f}", "-"),
        (f"copy throughput ({label}) / CopyFileW loop", f"{median(anb):.0f} MB/s",
         f"{median(loop_rate):.0f} MB/s", f"{median(anb) / median(loop_rate):.2f}", "≥ 1.1"),
        ("peak memory with the tree − bare window", f"{median(big_peak):.1f} MiB",
         f"{median(bare_peak):.1f} MiB", f"+{median(big_peak) - median(bare_peak):.1f} MiB",
         "≤ +6 MiB"),
        (f"longest answer of the window during the run ({label})",
         f"{median(longest):.0f} ms", "-", "-", "≤ 250 ms"),
        (f"longest answer of the window during the run with {big}",
         f"{median(held):.0f} ms", "-", "-", "≤ 250 ms"),
        ("launch to ready − bare window", f"{median(launch):.0f} ms",
         f"{median(bare_launch):.0f} ms", f"{median(launch) - median(bare_launch):+.0f} ms",
         "≤ +30 ms"),
        ("Quimbro.exe size", f"{size / 1e6:.2f} MB", "-", "-", "≤ 1.2 MB"),
    ])
    print_steps(plain_groups, big_groups, label)
    print(f"\ncp -r on the host: {median(host_rate):.0f} MB/s. The traces are in {traces}.")


if __name__ == "__main__":
    main()
