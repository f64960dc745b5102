#!/usr/bin/env python3
"""Figures for Quimbro.exe under Wine on a virtual display: the program's size, the time from
launch to a ready window, a run's own time (Start to Exit enabled) beside the time of its three
commands alone, copying a product log tree of 1 GiB in 20,000 files beside `cp -r` of the same
tree on the host, and the peak memory during a run. It prints figures and judges nothing.

Times are read by polling the window about twice a second, so they are good to about 0.5 s.
Usage: tools/benchmark.py [--files N] [--mib M] [--work DIR]"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.dont_write_bytecode = True
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import machine  # noqa: E402
import window as form  # noqa: E402
from session import Display, Wine  # noqa: E402


def build(build_dir):
    subprocess.run(["cmake", "--preset", "windows", "-B", str(build_dir), "-DQUIMBRO_BUILD_TESTS=ON"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build_dir), "-j", str(os.cpu_count()),
                    "--target", "Quimbro", "QuimbroProbe"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    return (build_dir / "src/platform/win32/window/Quimbro.exe",
            build_dir / "tests/e2e/QuimbroProbe.exe")


def peak_memory_kib():
    """The largest resident set any Quimbro.exe process has had (VmHWM)."""
    found = subprocess.run(["pgrep", "-f", "Quimbro.exe"], capture_output=True, text=True).stdout
    peak = 0
    for pid in found.split():
        try:
            status = pathlib.Path(f"/proc/{pid}/status").read_text()
        except OSError:
            continue
        for line in status.splitlines():
            if line.startswith("VmHWM:"):
                peak = max(peak, int(line.split()[1]))
    return peak


def one_run(wine, quimbro, window):
    """Seconds from launch to ready, seconds from Start to Exit enabled, peak KiB."""
    started = time.monotonic()
    process = wine.start(quimbro)
    ready = window.wait(lambda s: s.client is not None and len(s.lines) >= 8, 120)
    launch = time.monotonic() - started
    started = time.monotonic()
    window.click(ready, "Start")
    peak = [0]

    def sample(_):
        peak[0] = max(peak[0], peak_memory_kib())

    finished = window.wait(lambda s: s.button("Exit")["enabled"], 3600, sample)
    run = time.monotonic() - started
    sample(None)
    window.click(finished, "Exit")
    process.wait(timeout=60)
    return launch, run, peak[0]


def commands_alone(wine, work):
    """Seconds for the three captured commands, run by the interpreter as the program does."""
    target = work / "command.log"
    started = time.monotonic()
    for command in ("ipconfig.exe /all", "netstat -a", "net start"):
        wine.run("cmd", "/C", f'{command} > "Z:{str(target).replace("/", chr(92))}"', timeout=600)
    return time.monotonic() - started


def make_log_tree(folder, files, total_bytes):
    """`files` files of equal size in folders of 500, `total_bytes` in all."""
    block = (b"2026-12-05 03:49:34 INFO request served in 12 ms\r\n" * 2048)
    size = total_bytes // files
    content = (block * (size // len(block) + 1))[:size]
    for n in range(files):
        path = folder / f"part{n // 500:03}" / f"server{n:05}.log"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--mib", type=int, default=1024)
    parser.add_argument("--work", type=pathlib.Path, default=ROOT / "build" / "benchmark")
    args = parser.parse_args()
    quimbro, probe = build(ROOT / "build" / "windows")
    if args.work.exists():
        shutil.rmtree(args.work)
    args.work.mkdir(parents=True)

    display = Display()
    wine = None
    figures = []
    try:
        wine = Wine(args.work, display.name)
        wine.import_registry(machine.registry_file(), args.work)
        machine.install_products(wine.drive_c)
        window = form.Window(wine, probe, display.name)
        figures.append(("Quimbro.exe size", f"{quimbro.stat().st_size / 2**20:.2f} MiB"))

        launch, run, peak = one_run(wine, quimbro, window)
        figures.append(("launch to ready window", f"{launch:.1f} s"))
        figures.append(("run, Start to Exit enabled", f"{run:.1f} s"))
        figures.append(("the three commands alone", f"{commands_alone(wine, args.work):.1f} s"))
        figures.append(("peak memory of the run", f"{peak / 1024:.1f} MiB"))

        logs = wine.drive_c / "Apps" / "Vantorel" / "AlmanBoard" / "logs" / "bulk"
        make_log_tree(logs, args.files, args.mib * 2**20)
        _, big_run, big_peak = one_run(wine, quimbro, window)
        label = f"{args.mib} MiB in {args.files} files"
        figures.append((f"run with {label}", f"{big_run:.1f} s"))
        figures.append((f"copying {label} (the difference)", f"{big_run - run:.1f} s"))
        figures.append((f"peak memory with {label}", f"{big_peak / 1024:.1f} MiB"))
        copy = args.work / "cp-copy"
        started = time.monotonic()
        subprocess.run(["cp", "-r", str(logs), str(copy)], check=True)
        subprocess.run(["sync"], check=False)
        figures.append((f"cp -r of {label} on the host", f"{time.monotonic() - started:.1f} s"))
    finally:
        if wine is not None:
            wine.close()
        display.close()
        shutil.rmtree(args.work, ignore_errors=True)

    width = max(len(name) for name, _ in figures)
    for name, value in figures:
        print(f"{name:<{width}}  {value}")


if __name__ == "__main__":
    main()
