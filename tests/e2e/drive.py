"""Drives Quimbro.exe as a person would, under Wine on a virtual display with the core's rich
computer planted, and checks its window, its report and its output folder. Each case_* is one test:
    drive.py CASE --quimbro EXE --probe EXE --work FOLDER [--native]
With --native, and always on Windows itself (where only the run case is made, on the real computer
and its desktop), the probe makes every press with SendInput instead of xdotool."""
import argparse
import filecmp
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time

TESTS = pathlib.Path(__file__).resolve().parent.parent
DATA, EXPECTED = TESTS / "data", TESTS / "core" / "expected"
WINDOW = json.loads((DATA / "e2e" / "window.json").read_text(encoding="utf-8"))
PIPE = subprocess.PIPE
QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
# The core's drive root is the test's folder; under Wine the products lie on C:.
PRODUCTS = ("\\Apps\\", "C:\\Apps\\")
# Sections read from the registry only; the others depend on the computer.
FIXED = ("Operating System", "Alman Board Info", "Applicable Vantorel Software",
         "Internet Explorer", "Netscape", "JRE", "Microsoft Office Applications",
         "Database Information")
PLANTED_DLLS = ("netapi32", "activeds")
COMMANDS = (("ipconfig", "ipconfig.exe /all"), ("netstat", "netstat -a"), ("services", "net start"))
failures = []


def check(what, actual, expected=True):
    """Notes a failed expectation; the case goes on, so one run reports them all."""
    if actual != expected:
        failures.append(f"{what}: expected {expected!r}, got {actual!r}")


class Snapshot:
    """One reading of the window by the probe (its records are described in Probe.cpp)."""

    def __init__(self, text):
        self.controls, self.lines, self.points, self.top, self.bar = [], [], {}, [None], None
        for kind, *f in (row.split("\t") for row in text.splitlines()):
            if kind == "control":
                self.controls.append(dict(id=int(f[0]), kind=f[1], box=[int(v) for v in f[2:6]],
                                          enabled=f[6] == "1", visible=f[7] == "1",
                                          text="\t".join(f[8:])))
            elif kind == "line":
                self.lines.append("\t".join(f[1:]))
            elif kind == "point":
                self.points[f[0]] = f[1:]
            else:  # client, top, bar, focus, windows
                setattr(self, kind, [int(v) for v in f])
        self.ready = len(self.lines) >= 8 and all(c["visible"] for c in self.controls)
        self.enabled = [c["text"] for c in self.controls if c["kind"] == "Button" and c["enabled"]]
        self.view = dict(
            layout=[self.client] + [[c["kind"], c["text"], c["box"], c["visible"]]
                                    for c in self.controls],
            lines=len(self.lines), top=self.top[0], bar=self.bar, enabled=self.enabled,
            focus="".join(c["kind"] + c["text"] for c in self.controls if c["id"] == self.focus[0]))


def answers(watch):
    """The probe's watch at the run's end: questions, longest answer in ms, session end answers."""
    return [int(f) for f in watch.communicate(timeout=120)[0].split()[-4:]]


def check_window(snapshot, state):
    check(f"introduction when {state}", snapshot.lines[:8], WINDOW["introduction"])
    if state != "running":
        check(f"layout when {state}", snapshot.view["layout"], WINDOW["layout"])
    for key, expected in WINDOW[state].items():
        actual = snapshot.lines[-len(expected):] if key == "closing" else snapshot.view[key]
        check(f"{key} when {state}", actual, expected)


class Wine:
    """Xvfb on a free display, and a new prefix below `work` with one wineserver, HOME inside
    `work`, the desktop a real folder, holding the core's rich computer."""

    # How programs are started, and whether the computer is a scratch one the test may change.
    launcher, scratch = ("wine",), True

    def __init__(self, work, probe):
        self.probe, self.work = probe, work
        # Xvfb names its display once it takes connections.
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        self.display = ":" + self.xvfb.stdout.readline().decode().strip()
        self.env = dict(os.environ, WINEPREFIX=str(work / "prefix"), WINEDEBUG="-all",
                        HOME=str(work / "home"), DISPLAY=self.display,
                        WINEDLLOVERRIDES="winemenubuilder.exe=d")
        self.env.pop("WINEARCH", None)

    def boot(self):
        if self.display == ":":
            raise RuntimeError("Xvfb did not start")
        for folder in ("home", "prefix"):
            (self.work / folder).mkdir()
        # One server for the whole test, kept alive between the wine commands.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        self.drive_c = self.work / "prefix" / "drive_c"
        # Seen once under load: the first wineboot ended at once, leaving no drive_c.
        for _ in range(2):
            if not self.drive_c.exists():
                self.run("wineboot", "-i", timeout=180)
        self.desktop = next(d for d in self.drive_c.glob("users/*/Desktop") if d.is_symlink())
        self.desktop.unlink()
        self.desktop.mkdir()
        # The core's rich computer: its registry and its product files.
        rich = (DATA / "rich" / "registry.reg").read_text(encoding="latin-1")
        self.regedit(rich.replace("\r\n", "\n").replace('="\\\\Apps\\\\', '="C:\\\\Apps\\\\'))
        self.regedit((DATA / "e2e" / "no-crash-debugger.reg").read_text())
        computer = (DATA / "rich" / "computer.txt").read_text()
        for name in re.findall(r"^product\t(.+)$", computer, re.M):
            (self.drive_c / "Apps" / "Vantorel" / name).parent.mkdir(parents=True, exist_ok=True)
            (self.drive_c / "Apps" / "Vantorel" / name).write_text("contents of " + name)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30, check=False)
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)

    def run(self, *command, timeout=120, output=subprocess.DEVNULL):
        """A wine command run to its end. Programs it leaves running would hold a pipe open."""
        return subprocess.run([*self.launcher, *map(str, command)], env=self.env,
                              timeout=timeout, stdin=subprocess.DEVNULL, stdout=output,
                              stderr=subprocess.DEVNULL)

    def start(self, *command, env=None, cwd=None, output=subprocess.DEVNULL):
        return subprocess.Popen([*self.launcher, *map(str, command)], env=env or self.env,
                                cwd=cwd, **dict(QUIET, stdout=output))

    def regedit(self, text, encoding="latin-1"):
        path = self.work / "import.reg"
        path.write_bytes(text.replace("\n", "\r\n").encode(encoding))
        if self.run("regedit", "/S", path).returncode:
            raise RuntimeError("registry import failed")

    def read(self):
        """A snapshot, or None while the window is not there."""
        try:
            result = self.run(self.probe, timeout=60, output=PIPE)
        except subprocess.TimeoutExpired:
            return None
        return None if result.returncode else Snapshot(result.stdout.decode("utf-8", "replace"))

    def wait(self, condition, timeout, on_each=lambda snapshot: None):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            snapshot = self.read()
            if snapshot is not None:
                on_each(snapshot)
                if condition(snapshot):
                    return snapshot
            time.sleep(0.2)
        raise AssertionError(f"window did not reach the expected state within {timeout} s")

    def close_box(self):
        """The title bar's close box (Xvfb has no window manager to draw one)."""
        self.run(self.probe, "close")

    def keys(self, *names):
        subprocess.run(["xdotool", "search", "--name", "^Vantorel Quimbro$", "windowfocus",
                        "--sync", "key", "--delay", "200", *names], env=self.env, check=True)

    def click(self, snapshot, button):
        """The mouse to the button's centre, one click."""
        subprocess.run(["xdotool", "mousemove", "--sync", *snapshot.points[button], "click", "1"],
                       env=self.env, check=True)

    def started(self, program, env=None, cwd=None, on_ready=lambda snapshot: None):
        """Quimbro launched and Start pressed once its window is ready; its process."""
        process = self.start(program, env=env, cwd=cwd)
        ready = self.wait(lambda s: s.ready, 60)
        on_ready(ready)
        self.click(ready, "Start")
        return process

    def run_once(self, program, env=None, cwd=None, on_ready=lambda snapshot: None,
                 on_each=lambda snapshot: None, on_finished=lambda snapshot, process: None):
        """As a person runs Quimbro once: launch, Start, the end of the run, Exit."""
        process = self.started(program, env, cwd, on_ready)
        finished = self.wait(lambda s: s.enabled == ["Exit"], 180, on_each)
        on_finished(finished, process)
        self.click(finished, "Exit")
        check("program ended by Exit", process.wait(timeout=60), 0)


class SendInput:
    """The native way to press: the probe, in the window's session, brings the window to the
    front and clicks with SendInput."""

    def click(self, snapshot, button):
        if self.run(self.probe, "press", button).returncode:
            raise AssertionError(f"the probe could not press {button}")

    def keys(self, *names):
        raise NotImplementedError("the probe presses no keys")


class WineSendInput(SendInput, Wine):
    """Under Wine, every press made inside the session."""


class Windows(SendInput, Wine):
    """Windows itself: programs started directly, the real computer and its desktop."""
    launcher, scratch = (), False

    def __init__(self, work, probe):
        self.probe, self.work, self.env = probe, work, dict(os.environ)

    def boot(self):
        import winreg  # Windows' own Python only
        with winreg.OpenKey(winreg.HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\"
                            "CurrentVersion\\Explorer\\User Shell Folders") as folders:
            desktop = winreg.QueryValueEx(folders, "Desktop")[0]
        self.desktop = pathlib.Path(os.path.expandvars(desktop))

    def close(self):
        pass


def expected(name):
    return (EXPECTED / name).read_text().split("\n")[:-1]


def sections(lines):
    """The titles in order, and each section by title from its first asterisk line to its end."""
    found = [(m[1], i - 1) for i in range(1, len(lines) - 1)
             if (m := re.fullmatch(r"\*\*\*(.+)\*\*\*", lines[i]))
             and lines[i - 1] == lines[i + 1] == "*" * len(lines[i])]
    ends = [start for _, start in found[1:]] + [len(lines)]
    return [t for t, _ in found], {t: lines[s:e] for (t, s), e in zip(found, ends)}


def report(desktop):
    """The run's only report log: its name, and its sections; its lines end in CR LF."""
    logs = sorted((desktop / "QuimbroOutput").glob("Quimbro_*.log"))
    if len(logs) != 1:
        raise AssertionError(f"not one report log: {logs}")
    raw = logs[0].read_bytes()
    rest = raw.replace(b"\r\n", b"")
    check("report lines end with CR LF", raw.endswith(b"\r\n") and b"\r" not in rest
          and b"\n" not in rest)
    return logs[0].name, *sections(raw.decode("latin-1").split("\r\n")[:-1])


def check_report_and_output(wine):
    """On any computer: the report's own lines, the computer's name and the processes. On the
    scratch one, where Windows' own registry reads the core's registry file, also the fixed
    sections as the core's report has them, and QuimbroOutput's tree, each copy whole, the
    captures not empty; elsewhere the captures as the commands print."""
    name, titles, by_title = report(wine.desktop)
    info = by_title.get("Quimbro Log", [])
    check("log information", info[3:5], [f"LOG FILE NAME: {name}", "Quimbro VERSION: 1.12122001"])
    computer = wine.run("cmd", "/c", "echo %COMPUTERNAME%", output=PIPE).stdout
    computer = computer.decode("latin-1").strip()
    networking = by_title.get("Networking", [])
    check("computer name", [l for l in networking if l.startswith("COMPUTER NAME: ")],
          ["COMPUTER NAME: " + computer])
    check("user name line", any(l.startswith("WINDOWS USERNAME: ") for l in networking))
    processes = by_title.get("Running Processes", [])
    check("Quimbro among the running processes",
          any(re.fullmatch(r"Quimbro\.exe\t\t\d+", l, re.I) for l in processes))
    check("running processes without a name", [l for l in processes if l.startswith("\t")], [])
    if not wine.scratch:
        check_captures(wine, wine.desktop)
        return
    # Wine has no IIS provider: the section takes its failure path.
    unreachable = [l.replace("QUIMBROPC", computer).replace("Version 10.0", "5.0")
                   for l in expected("iis-unreachable.txt")[:-1]]
    check("IIS section without IIS", by_title.get("IIS", [])[:len(unreachable)], unreachable)
    expected_titles, expected_sections = sections(
        [line.replace(*PRODUCTS) for line in expected("rich-report.txt")])
    check("sections in order", titles, expected_titles)
    for title in FIXED:
        check(f"section {title}", by_title.get(title), expected_sections[title])
    check("log creation date and time", bool(re.fullmatch(
        r"LOG CREATION DATE: \d{1,2}/\d{1,2}/\d{4}\nLOG CREATION TIME: \d{1,2}:\d{2}:\d{2} [AP]M",
        "\n".join(info[5:7]))))

    output = wine.desktop / "QuimbroOutput"
    tree = sorted(p.relative_to(output).as_posix() + "/" * p.is_dir() for p in output.rglob("*"))
    stamp = name.removeprefix("Quimbro_").removesuffix(".log")
    check("QuimbroOutput's tree", tree,
          [p.replace("1252026_34934", stamp) for p in expected("rich-output-tree.txt")])
    for path in tree:
        if path.startswith("windows/"):
            check(f"{path} captured", (output / path).stat().st_size > 0)
        elif not path.endswith("/") and path != name:
            check(f"{path} copied whole", (output / path).read_text().startswith("contents of "))


def first_line(output):
    return next((line.strip() for line in output.splitlines() if line.strip()), None)


def check_captures(wine, desktop):
    """Each capture holds what its command prints here, as far as its first line tells; the
    command is tried again when Wine, now and then under load, failed to start it."""
    for prefix, command in COMMANDS:
        found = list((desktop / "QuimbroOutput" / "windows").glob(f"{prefix}_*.log"))
        check(f"{prefix} captures", len(found), 1)
        for _ in range(3):
            printed = first_line(wine.run("cmd", "/C", *command.split(), output=PIPE).stdout)
            if not (printed or b"").startswith(b"Application could not be started"):
                break
        check(f"first line of {prefix}", found and first_line(found[0].read_bytes()), printed)


def plant(folder, quimbro, files):
    """A program copied into a folder beside other files; the program's copy."""
    folder.mkdir(parents=True, exist_ok=True)
    for source, name in files:
        shutil.copy(source, folder / name)
    return shutil.copy(quimbro, folder)


def case_run(wine, quimbro):
    # netstat -a as it is where it resolves every name: it ends seconds after the rest of the
    # run, which waits for it while its window answers.
    if wine.scratch:
        shutil.copy(os.environ["QUIMBRO_STAND_IN"], wine.drive_c / "windows/system32/netstat.exe")
        wine.env["WINEDLLOVERRIDES"] += ";netstat.exe=n"
    running = []

    def watch(snapshot):
        if not running and "Exit" not in snapshot.enabled and snapshot.lines:
            running.append(snapshot)
            # Like Exit, the close box does nothing during a run; a click on Exit is not kept
            # for when it is enabled again.
            wine.close_box()
            wine.click(snapshot, "Exit")
            # A second start shows no window of its own and ends by itself; the run goes on.
            check("second start ended", wine.run(quimbro, timeout=60).returncode, 0)
            check("Quimbro windows", wine.read().windows, [1])

    def finished(_, process):
        check("the run seen with Exit disabled", len(running), 1)
        for snapshot in running:
            check_window(snapshot, "running")
            bar = snapshot.bar[0]
            check("bar moves in even steps", bar % 2 == 0 and 0 <= bar <= 100)
        time.sleep(2)
        check("input during the run ignored", process.poll(), None)
        finished = wine.read()
        check_window(finished, "finished")
        check("messages shown during the run", finished.view["lines"] > 8 + 7 + 10)
        check("list follows its end", finished.view["top"] > 0)
        check_report_and_output(wine)

    wine.run_once(quimbro, on_ready=lambda ready: check_window(ready, "ready"), on_each=watch,
                  on_finished=finished)
    check("QuimbroOutput stays", (wine.desktop / "QuimbroOutput").is_dir())


def case_exit_first(wine, quimbro, leave=lambda wine, ready: wine.click(ready, "Exit")):
    """Left without a run: the keyboard walks the tab order and presses no button by itself."""
    process = wine.start(quimbro)
    ready = wine.wait(lambda s: s.ready, 60)
    check_window(ready, "ready")
    # The keyboard walks the tab order: Exit, Start, then the list.
    for key, focus in (("Tab", "ButtonStart"), ("Tab", "ListBox"), ("shift+Tab", "ButtonStart"),
                       ("shift+Tab", "ButtonExit")):
        wine.keys(key)
        wine.wait(lambda s: s.view["focus"] == focus, 10)
    # Neither button is the default or the cancel button.
    wine.keys("Return", "Escape")
    time.sleep(2)
    check("Enter and Escape press no button", process.poll(), None)
    check_window(wine.read(), "ready")
    leave(wine, ready)
    check("program ended", process.wait(timeout=60), 0)
    check("desktop untouched", list(wine.desktop.iterdir()), [])


def case_close_box(wine, quimbro):
    case_exit_first(wine, quimbro, lambda wine, ready: wine.close_box())


def case_iis(wine, quimbro):
    """IIS 6 through ADSI: the test's "IIS:" provider in the prefix serves a metabase, and the IIS
    section comes from it, not from the applicationHost.config beside it. Then IIS 10 without its
    metabase: the section read from that file."""
    config = wine.drive_c / "windows" / "system32" / "inetsrv" / "config"
    config.mkdir(parents=True, exist_ok=True)
    shutil.copy(DATA / "iis" / "several-sites.config", config / "applicationHost.config")
    plant(wine.drive_c / "iisprovider", os.environ["QUIMBRO_IIS_PROVIDER"],
          [(DATA / "iis" / "iis6.metabase", ".")])
    for registry, source in (("iis-provider.reg", "iis-metabase.txt"),
                             ("iis10.reg", "iis-several-sites.txt")):
        wine.regedit((DATA / "e2e" / registry).read_text())
        wine.run_once(quimbro)
        check(f"IIS section as {source}", report(wine.desktop)[2].get("IIS"), expected(source))


def case_planted_dlls(wine, quimbro):
    """DLLs named like Windows DLLs that are not KnownDLLs, beside Quimbro.exe, and Wine told to
    prefer them as Windows would: none loads, at the start or in a whole run using NetAPI and
    ADSI. Each one loaded leaves "<its name as loaded>.loaded", in any letter case."""
    downloads = wine.drive_c / "users" / "Public" / "Downloads"
    dlls = pathlib.Path(os.environ["QUIMBRO_PLANTED_DLLS"])
    program = plant(downloads, quimbro, [(dlls / f"{n}.dll", ".") for n in PLANTED_DLLS])
    overrides = wine.env["WINEDLLOVERRIDES"] + ";" + ",".join(PLANTED_DLLS) + "=n,b"
    # A registered IIS provider, so that the run loads ADSI.
    wine.regedit((DATA / "e2e" / "iis-provider.reg").read_text())

    def none_loaded(when):
        check(f"planted DLLs loaded {when}", list(downloads.glob("*.loaded")), [])

    wine.run_once(program, dict(wine.env, WINEDLLOVERRIDES=overrides), downloads,
                  on_ready=lambda _: none_loaded("at the start"))
    none_loaded("after a run")


def case_planted_programs(wine, quimbro):
    """Programs named like those the captures run: where Quimbro.exe is started from, in a folder
    the search path names first, and as net.com beside Windows' own net.exe (.com comes before
    .exe): never run. Each one run leaves "<its path>.ran"."""
    downloads, tools = wine.drive_c / "Downloads", wine.drive_c / "Tools"
    planted = os.environ["QUIMBRO_STAND_IN"]
    names = [(planted, f"{n}.exe") for n in ("cmd", "ipconfig", "netstat", "net")]
    program = plant(downloads, quimbro, names)
    plant(tools, planted, names + [(planted, "net.com")])
    system_net = wine.drive_c / "windows" / "system32" / "net.com"
    shutil.copy(planted, system_net)
    wine.run(downloads / "net.exe")
    check("a planted program that runs leaves its marker", (downloads / "net.exe.ran").exists())
    (downloads / "net.exe.ran").unlink(missing_ok=True)
    wine.run_once(program, dict(wine.env, WINEPATH="C:\\Tools"), downloads)
    check("planted programs that ran", [*downloads.glob("*.ran"), *tools.glob("*.ran"),
                                        *system_net.parent.glob("net.com.ran")], [])
    system_net.unlink()  # for Windows' own net start, which the capture is compared with
    check_captures(wine, wine.desktop)


def case_odd_desktop(wine, quimbro):
    """A desktop whose name the command interpreter would misread (%USERNAME%, a letter outside
    the ANSI code page), and which is a link to the folder it was moved to, still gets all three
    captures."""
    desktop = wine.desktop.parent / "Bureau \u03a9mega %USERNAME%"
    moved = wine.drive_c / "Moved desktop"
    moved.mkdir()
    desktop.symlink_to(moved, target_is_directory=True)
    path = f"C:\\users\\{desktop.parent.name}\\{desktop.name}".replace("\\", "\\\\")
    # A plain string, so %USERNAME% stays part of the name; the letter needs a Unicode file.
    wine.regedit("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Microsoft"
                 "\\Windows\\CurrentVersion\\Explorer\\User Shell Folders]\n"
                 f'"Desktop"="{path}"\n', "utf-16")
    wine.run_once(quimbro)
    check_captures(wine, desktop)


def case_failure_report(wine, quimbro):
    """A failure that escapes the run: a test build whose run cannot change its window when Start is
    pressed shows the failure's text over its window and ends with a non-zero exit code."""
    process = wine.started(os.environ["QUIMBRO_FAILING"])
    # The probe reads the top window captioned "Vantorel Quimbro": now the message box.
    box = wine.wait(lambda s: any(c["text"] == "OK" and c["visible"] for c in s.controls), 60)
    check("failure shown", [c["text"] for c in box.controls if c["kind"] == "Static" and c["text"]],
          ["The run's operation on the window failed (Größe 1½ €)."])
    check("program waits for the box to be read", process.poll(), None)
    wine.click(box, "OK")
    check("program ended with a failure code", process.wait(timeout=60) != 0)


def sparse_log(path, size):
    """A log of `size` bytes that costs no disk: holes, then its last line."""
    path.parent.mkdir(parents=True, exist_ok=True)
    with path.open("wb") as log:
        log.seek(size - 16)
        log.write(b"last line\r\n".rjust(16, b"."))


def case_long_run(wine, quimbro):
    """4 GiB of product logs, more than the write cache holds, and an old QuimbroOutput of 20,000
    files: the window answers the system throughout the run, and holds a session end off during
    the run, not after it; each copy is its source."""
    big = wine.drive_c / "Apps/Vantorel/AlmanBoard/logs/big"
    for n in range(4):
        sparse_log(big / f"{n}.log", 1 << 30)
    for n in range(20000):
        (old := wine.desktop / "QuimbroOutput" / f"{n // 500}").mkdir(parents=True, exist_ok=True)
        (old / f"{n}.log").write_text("old")
    watch = [wine.start(wine.probe, "watch", output=PIPE)]
    wine.run_once(quimbro, on_finished=lambda *_: watch.append(answers(watch[0])))
    count, longest, during, after = watch[1]
    check(f"{count} questions during the run, the longest answered in {longest} ms",
          count > 20 and longest <= WINDOW["answer within ms"])
    check("session end during and after the run", [during, after], WINDOW["session end"])
    copies = wine.desktop / "QuimbroOutput/AlmanBoard/logs/big"
    for n in range(4):
        check(f"copy of {n}.log", filecmp.cmp(copies / f"{n}.log", big / f"{n}.log", False))
    # 4 GiB of copies, of no use to whoever looks into a failed case's prefix.
    shutil.rmtree(wine.desktop / "QuimbroOutput")


def case_session_end_mid_copy(wine, quimbro):
    """A Windows session that ends all the same during a big log's copy: the program ends itself
    within a second as the task manager would end it, its report log closed with what the run had
    written, and no copy under its own name holds anything but its source's bytes. The log takes
    the run seconds to copy."""
    products = wine.drive_c / "Apps" / "Vantorel"
    sparse_log(products / "AlmanBoard" / "logs" / "big.log", 8 << 30)
    output = wine.desktop / "QuimbroOutput"
    part = output / "AlmanBoard" / "logs" / "big.log.quimbro-part"
    process = wine.started(quimbro)
    deadline = time.monotonic() + 180
    while not (part.exists() or part.with_suffix("").exists()) and time.monotonic() < deadline:
        time.sleep(0.002)
    wine.run(wine.probe, "end-session")
    check("program ended by the session's end", process.wait(timeout=60), 0)
    check("report log written so far", report(wine.desktop)[1][:1], ["Quimbro Log"])
    check("ended during the big log's copy", part.exists())
    for path in output.glob("*/**/*"):
        relative = path.relative_to(output).as_posix()
        if path.is_file() and path.suffix != ".quimbro-part" and path.parent.name != "windows":
            source = products / relative.removeprefix("Vantorel/")
            check(f"{relative} as its source", filecmp.cmp(path, source, shallow=False))


def case_output_a_file(wine, quimbro):
    """A file named QuimbroOutput on the desktop: the run ends saying that it wrote nothing."""
    (wine.desktop / "QuimbroOutput").write_text("a file of the user's")
    wine.run_once(quimbro, on_finished=lambda finished, _: check_window(finished, "failed"))


def case_swapped_destination(wine, quimbro):
    """The Tomcat configuration's destination swapped for a link to another folder once it is
    made, as any program of the user could: the run ends as ever, and nothing lands in the
    link's target. (Wine renames only by path, so there the copies into the folder that was
    made, now moved away, fail.) A big product log, copied first, keeps the run from the Tomcat
    copies until long after the swap."""
    big = wine.drive_c / "Apps" / "Vantorel" / "AlmanBoard" / "logs" / "big.log"
    sparse_log(big, 512 << 20)
    elsewhere = wine.drive_c / "Elsewhere"
    elsewhere.mkdir()
    (elsewhere / "server.xml").write_text("not Quimbro's")
    held = {path.name: path.read_bytes() for path in elsewhere.iterdir()}
    conf = wine.desktop / "QuimbroOutput" / "jakarta-tomcat" / "conf"
    process = wine.started(quimbro)
    deadline = time.monotonic() + 60
    while not conf.is_dir() and time.monotonic() < deadline:
        time.sleep(0.001)
    conf.rename(conf.with_name("made"))
    conf.symlink_to(elsewhere)
    finished = wine.wait(lambda s: s.enabled == ["Exit"], 180)
    check_window(finished, "finished")
    check("the link's target unchanged",
          {path.name: path.read_bytes() for path in elsewhere.iterdir()}, held)
    check("swapped before the copies", not (conf.with_name("made") / "server.xml").exists())
    wine.click(finished, "Exit")
    check("program ended by Exit", process.wait(timeout=60), 0)
    (wine.desktop / "QuimbroOutput" / "AlmanBoard" / "logs" / "big.log").unlink(missing_ok=True)


def main():
    cases = {name[5:]: case for name, case in globals().items() if name.startswith("case_")}
    if sys.platform == "win32":
        cases = {"run": case_run}
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=cases)
    for option in ("--quimbro", "--probe", "--work"):
        parser.add_argument(option, required=True, type=pathlib.Path)
    parser.add_argument("--native", action="store_true", help="press with SendInput")
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    args.work.mkdir(parents=True)
    mode = Windows if sys.platform == "win32" else WineSendInput if args.native else Wine
    wine = mode(args.work, args.probe)
    passed = False
    try:
        wine.boot()
        cases[args.case](wine, args.quimbro)
        passed = not failures
    finally:
        wine.close()
        for failure in failures:
            print("FAILED:", failure)
        # A passing case's prefix is of no more use, and takes about 700 MB.
        if passed:
            shutil.rmtree(args.work, ignore_errors=True)
        else:
            print(f"the prefix is in {args.work}")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
