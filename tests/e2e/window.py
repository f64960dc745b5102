"""Quimbro's window as the probe reads it from outside, and as the user works it."""
import subprocess
import time

RUN_TIMEOUT = 180

# Tab order, kind (window class), text, and twips: left, top, width, height.
CONTROLS = [
    ("Button", "Exit", (5160, 4080, 1215, 375)),
    ("Button", "Start", (3840, 4080, 1215, 375)),
    ("msctls_progress32", "", (120, 3240, 6255, 255)),
    ("Static", "Click Start to begin.", (120, 3000, 6255, 255)),
    ("Static", "Tarnwick Information Gathering Tool", (2280, 120, 4095, 375)),
    ("Static", "", (240, 480, 1935, 1335)),
    ("ListBox", "", (2280, 480, 4095, 2400)),
    ("Static", "", (120, 3720, 6240, None)),
]
CLIENT_TWIPS = (6570, 4650)
TWIPS_PER_PIXEL = 15

INTRODUCTION = [
    "This utility gathers Tarnwick troubleshooting",
    "information for Vantorel Technical Support. It requires",
    "Windows 9x, NT, or 2000 and Internet Exporer 5.0 or",
    "greater.",
    "*" * 66,
    "    NO CHANGES ARE MADE TO THE COMPUTER",
    "*" * 66,
    "",
]
CLOSING = [
    "",
    "*" * 62,
    "Quimbro has finished successfully! On your",
    "desktop please find the folder named",
    "'QuimbroOutput'.  Zip and email it to Vantorel",
    "Technical Support.  Thanks!",
    "*" * 62,
]


class Snapshot:
    """One reading of the window."""

    def __init__(self, text):
        self.controls, self.lines, self.points = [], [], {}
        self.top = self.bar = self.focus = self.client = self.origin = None
        for row in text.splitlines():
            kind, *fields = row.split("\t")
            if kind == "client":
                self.client = tuple(int(f) for f in fields[:2])
                self.origin = tuple(int(f) for f in fields[2:4])
            elif kind == "control":
                ident, cls, left, top, width, height, enabled, visible = fields[:8]
                self.controls.append({
                    "id": int(ident), "class": cls, "box": (int(left), int(top), int(width),
                                                            int(height)),
                    "enabled": enabled == "1", "visible": visible == "1",
                    "text": "\t".join(fields[8:])})
            elif kind == "line":
                self.lines.append("\t".join(fields[1:]))
            elif kind == "top":
                self.top = int(fields[0])
            elif kind == "bar":
                self.bar = tuple(int(f) for f in fields)
            elif kind == "focus":
                self.focus = int(fields[0])
            elif kind == "point":
                self.points[fields[0]] = (int(fields[1]), int(fields[2]))

    def button(self, text):
        return next(c for c in self.controls if c["class"] == "Button" and c["text"] == text)

    @property
    def ready(self):
        """Ready as a person sees it: every control shown, the introduction in the list."""
        return (self.client is not None and len(self.lines) >= 8 and bool(self.controls)
                and all(c["visible"] for c in self.controls))


class Window:
    def __init__(self, wine, probe, display):
        self.wine, self.probe, self.display = wine, probe, display

    def read(self):
        """A snapshot, or None while the window is not there."""
        try:
            result = subprocess.run(["wine", str(self.probe)], env=self.wine.env, timeout=60,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            return None
        if result.returncode != 0:
            return None
        return Snapshot(result.stdout.decode("utf-8", "replace"))

    def wait(self, condition, timeout, on_each=None):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            snapshot = self.read()
            if snapshot is not None and on_each is not None:
                on_each(snapshot)
            if snapshot is not None and condition(snapshot):
                return snapshot
            time.sleep(0.2)
        raise AssertionError(f"window did not reach the expected state within {timeout} s")

    def run_once(self, checks, program, env, cwd=None, on_ready=None, on_finished=None):
        """As a person runs Quimbro once: launch, Start, the end of the run, Exit."""
        process = subprocess.Popen(["wine", str(program)], env=env, cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        ready = self.wait(lambda s: s.ready, 60)
        if on_ready is not None:
            on_ready(ready)
        self.click(ready, "Start")
        # Finished: Exit enabled again, Start disabled for good.
        finished = self.wait(lambda s: s.button("Exit")["enabled"]
                             and not s.button("Start")["enabled"], RUN_TIMEOUT)
        if on_finished is not None:
            on_finished(finished)
        self.click(finished, "Exit")
        checks.equal("program ended by Exit", process.wait(timeout=60), 0)

    def close(self):
        """The title bar's close box (Xvfb has no window manager to draw one)."""
        subprocess.run(["wine", str(self.probe), "close"], env=self.wine.env, check=True,
                       timeout=60, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def keys(self, *names):
        """Keys pressed while the window has the keyboard."""
        subprocess.run(["xdotool", "search", "--name", "^Vantorel Quimbro$", "windowfocus",
                        "--sync", "key", "--delay", "200", *names],
                       env=self.wine.env, check=True, timeout=30)

    def click(self, snapshot, text):
        """Presses a button as a person would: the mouse to its centre, one click."""
        x, y = snapshot.points[text]
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=self.wine.env, check=True, timeout=30)

    def screenshot(self, snapshot, path):
        """The window's client area (Xvfb has no window manager to draw a caption)."""
        (width, height), (left, top) = snapshot.client, snapshot.origin
        subprocess.run(["import", "-display", self.display, "-window", "root",
                        "-crop", f"{width}x{height}+{left}+{top}", "+repage", str(path)],
                       check=True, timeout=60)
