"""Drives Quimbro.exe under Wine on a virtual display as a person would, and checks the
window, the report log and the output folder.

Cases: "run" (Start, wait for the end, Exit), "exit_first" (Enter and Escape, which press
nothing, then Exit), "close_box" (the close box instead of Exit) and "iis_configuration" (IIS
10 without its metabase: the IIS section read from applicationHost.config)."""
import argparse
import pathlib
import re
import shutil
import sys
import time

# The test leaves nothing behind in the source tree.
sys.dont_write_bytecode = True

import captures  # noqa: E402
import failure_report  # noqa: E402
import iis_metabase  # noqa: E402
import machine  # noqa: E402
import planted_dlls  # noqa: E402
import window as form  # noqa: E402
from session import Display, Wine  # noqa: E402

RUN_TIMEOUT = 180
TESTS = pathlib.Path(__file__).resolve().parent.parent
IIS10_VERSION = """REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\InetStp]
"VersionString"="Version 10.0"
"""


class Checks:
    """Collects every failed expectation, so one run reports them all."""

    def __init__(self):
        self.failures = []

    def equal(self, what, actual, expected):
        if actual != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    def true(self, what, condition):
        if not condition:
            self.failures.append(what)


def pixels(twips):
    return round(twips / form.TWIPS_PER_PIXEL)


def check_controls(checks, snap):
    checks.equal("client size", snap.client, tuple(pixels(t) for t in form.CLIENT_TWIPS))
    checks.equal("controls in tab order", [(c["class"], c["text"]) for c in snap.controls],
                 [(cls, text) for cls, text, _ in form.CONTROLS])
    for control, (cls, text, twips) in zip(snap.controls, form.CONTROLS):
        expected = tuple(None if t is None else pixels(t) for t in twips)
        actual = tuple(None if e is None else a for a, e in zip(control["box"], expected))
        checks.equal(f"{cls} {text!r} position and size", actual, expected)
        checks.true(f"{cls} {text!r} visible", control["visible"])


def check_ready(checks, snap):
    check_controls(checks, snap)
    checks.equal("introduction", snap.lines, form.INTRODUCTION)
    checks.equal("top line when ready", snap.top, 0)
    checks.equal("bar when ready (position, low, high)", snap.bar, (0, 0, 100))
    checks.true("Start enabled when ready", snap.button("Start")["enabled"])
    checks.true("Exit enabled when ready", snap.button("Exit")["enabled"])
    checks.equal("focus when ready", snap.focus, snap.button("Exit")["id"])


def check_running(checks, snap):
    checks.true("Start disabled during the run", not snap.button("Start")["enabled"])
    checks.true("Exit disabled during the run", not snap.button("Exit")["enabled"])
    checks.equal("introduction during the run", snap.lines[:8], form.INTRODUCTION)
    checks.true("bar moves in even steps", snap.bar[0] % 2 == 0 and 0 <= snap.bar[0] <= 100)


def check_finished(checks, snap):
    check_controls(checks, snap)
    checks.equal("closing text", snap.lines[-7:], form.CLOSING)
    checks.equal("introduction kept", snap.lines[:8], form.INTRODUCTION)
    checks.true("messages shown during the run", len(snap.lines) > 8 + 7 + 10)
    checks.true("list follows its end", snap.top is not None and snap.top > 0)
    checks.equal("bar when finished", snap.bar, (100, 0, 100))
    checks.true("Start stays disabled", not snap.button("Start")["enabled"])
    checks.true("Exit enabled again", snap.button("Exit")["enabled"])
    checks.equal("status text kept", snap.controls[3]["text"], "Click Start to begin.")


def check_report(checks, output, computer_name):
    logs = sorted(output.glob("Quimbro_*.log"))
    checks.equal("report logs", len(logs), 1)
    if not logs:
        return None
    raw = logs[0].read_bytes()
    checks.true("report ends its lines with CR LF",
                raw.endswith(b"\r\n") and b"\n" not in raw.replace(b"\r\n", b"")
                and b"\r" not in raw.replace(b"\r\n", b""))
    lines = raw.decode("latin-1").split("\r\n")[:-1]
    titles, by_title = machine.sections(lines)
    expected_titles, fixed = machine.expected_report()
    checks.equal("sections in order", titles, expected_titles)

    stamp = re.fullmatch(r"Quimbro_(.+)\.log", logs[0].name).group(1)
    info = by_title.get("Quimbro Log", [])
    checks.equal("log information", info[3:5],
                 [f"LOG FILE NAME: Quimbro_{stamp}.log", "Quimbro VERSION: 1.12122001"])
    checks.true("log creation date", len(info) > 5 and re.fullmatch(
        r"LOG CREATION DATE: \d{1,2}/\d{1,2}/\d{4}", info[5]))
    checks.true("log creation time", len(info) > 6 and re.fullmatch(
        r"LOG CREATION TIME: \d{1,2}:\d{2}:\d{2} [AP]M", info[6]))

    # The core's fake registry read the same file; here Windows' own registry reads it.
    for title, expected in fixed.items():
        checks.equal(f"section {title}", by_title.get(title), expected)
    networking = by_title.get("Networking", [])
    checks.equal("computer name", [l for l in networking if l.startswith("COMPUTER NAME: ")],
                 ["COMPUTER NAME: " + computer_name])
    checks.true("user name line", any(l.startswith("WINDOWS USERNAME: ") for l in networking))
    iis = by_title.get("IIS", [])
    expected_iis = machine.iis_opening(computer_name)
    checks.equal("IIS section without IIS", iis[:len(expected_iis)], expected_iis)
    processes = by_title.get("Running Processes", [])
    checks.true("Quimbro among the running processes",
                any(re.fullmatch(r"Quimbro\.exe\t\t\d+", l, re.I) for l in processes))
    return stamp


def check_output(checks, output, stamp):
    """The tree the core's run makes, each copy whole, the captures not empty."""
    tree = sorted(p.relative_to(output).as_posix() + ("/" if p.is_dir() else "")
                  for p in output.rglob("*"))
    checks.equal("QuimbroOutput's tree", tree, machine.expected_tree(stamp))
    for path in tree:
        copy = output / path
        if path.startswith("windows/"):
            checks.true(f"{path} captured", copy.stat().st_size > 0)
        elif copy.is_file() and not path.startswith("Quimbro_"):
            checks.true(f"{path} copied whole", copy.read_text().startswith("contents of "))


def case_run(checks, wine, quimbro, window, work):
    captures.slow_netstat(wine)
    process = wine.start(quimbro)
    ready = window.wait(lambda s: s.ready, 60)
    window.screenshot(ready, work / "before.png")
    check_ready(checks, ready)

    window.click(ready, "Start")
    seen = {}

    def watch(snap):
        if "running" not in seen and not snap.button("Exit")["enabled"] and snap.lines:
            seen["running"] = snap
            window.screenshot(snap, work / "during.png")
            # Like Exit, the close box does nothing during a run; a click on Exit is not
            # kept for when it is enabled again.
            window.close()
            window.click(snap, "Exit")

    finished = window.wait(lambda s: s.button("Exit")["enabled"], RUN_TIMEOUT, watch)
    if "running" in seen:
        check_running(checks, seen["running"])
    else:
        print("the run ended before it could be seen")
    time.sleep(2)
    checks.true("input during the run ignored", process.poll() is None)
    finished = window.read()
    window.screenshot(finished, work / "after.png")
    check_finished(checks, finished)

    output = wine.desktop / "QuimbroOutput"
    checks.true("QuimbroOutput on the desktop", output.is_dir())
    stamp = check_report(checks, output, wine.environment_value("COMPUTERNAME"))
    if stamp:
        check_output(checks, output, stamp)

    window.click(finished, "Exit")
    checks.equal("program ended by Exit", process.wait(timeout=60), 0)
    checks.true("QuimbroOutput stays", output.is_dir())


def case_exit_first(checks, wine, quimbro, window, work):
    process = wine.start(quimbro)
    ready = window.wait(lambda s: s.ready, 60)
    check_ready(checks, ready)

    # The keyboard walks the tab order: Exit, Start, then the list.
    ids = {c["class"] + c["text"]: c["id"] for c in ready.controls}
    for key, expected in (("Tab", "ButtonStart"), ("Tab", "ListBox"), ("shift+Tab", "ButtonStart"),
                          ("shift+Tab", "ButtonExit")):
        window.keys(key)
        snap = window.wait(lambda s: s.focus == ids[expected], 10)
        checks.equal(f"focus after {key}", snap.focus, ids[expected])

    # Neither button is the default or the cancel button.
    window.keys("Return", "Escape")
    time.sleep(2)
    checks.true("Enter and Escape press no button", process.poll() is None)
    after_keys = window.read()
    checks.true("still ready after Enter and Escape",
                after_keys is not None and after_keys.lines == form.INTRODUCTION
                and after_keys.button("Start")["enabled"])

    window.click(ready, "Exit")
    checks.equal("program ended by Exit", process.wait(timeout=60), 0)
    checks.equal("desktop untouched", sorted(p.name for p in wine.desktop.iterdir()), [])


def case_close_box(checks, wine, quimbro, window, work):
    process = wine.start(quimbro)
    window.wait(lambda s: s.ready, 60)
    window.close()
    checks.equal("program ended by the close box", process.wait(timeout=60), 0)
    checks.equal("desktop untouched", sorted(p.name for p in wine.desktop.iterdir()), [])


def case_iis_configuration(checks, wine, quimbro, window, work):
    config = wine.drive_c / "windows" / "system32" / "inetsrv" / "config"
    config.mkdir(parents=True, exist_ok=True)
    shutil.copy(TESTS / "data" / "iis" / "several-sites.config", config / "applicationHost.config")
    wine.import_registry(IIS10_VERSION, work)

    window.run_once(checks, quimbro, wine.env)
    checks.equal("IIS section from applicationHost.config",
                 machine.report_section(checks, wine.desktop, "IIS"),
                 machine.expected("iis-several-sites.txt"))


CASES = {"run": case_run, "exit_first": case_exit_first, "close_box": case_close_box,
         "iis_configuration": case_iis_configuration, "iis_metabase": iis_metabase.case,
         "planted_dlls": planted_dlls.case, "failure_report": failure_report.case,
         **captures.CASES}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=CASES)
    parser.add_argument("--quimbro", required=True, type=pathlib.Path)
    parser.add_argument("--probe", required=True, type=pathlib.Path)
    parser.add_argument("--work", required=True, type=pathlib.Path)
    args = parser.parse_args()
    if args.work.exists():
        shutil.rmtree(args.work)
    args.work.mkdir(parents=True)

    checks = Checks()
    display = Display()
    wine = None
    try:
        wine = Wine(args.work, display.name)
        wine.import_registry(machine.registry_file(), args.work)
        machine.install_products(wine.drive_c)
        CASES[args.case](checks, wine, args.quimbro, form.Window(wine, args.probe, display.name),
                         args.work)
    finally:
        if wine is not None:
            wine.close()
        display.close()

    for failure in checks.failures:
        print("FAILED:", failure)
    print(f"screenshots and prefix in {args.work}")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
