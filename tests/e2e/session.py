"""A Wine prefix of the test's own with one wineserver, and a virtual display."""
import os
import pathlib
import shutil
import subprocess
import time


class Display:
    """Xvfb on the first free display number from 90 on."""

    def __init__(self):
        self.number = next(n for n in range(90, 200)
                           if not pathlib.Path(f"/tmp/.X{n}-lock").exists()
                           and not pathlib.Path(f"/tmp/.X11-unix/X{n}").exists())
        self.name = f":{self.number}"
        self.process = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = pathlib.Path(f"/tmp/.X11-unix/X{self.number}")
        deadline = time.monotonic() + 20
        while not socket.exists():
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.1)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Wine:
    """A fresh prefix below `work`, its desktop a real folder, HOME inside the work folder."""

    def __init__(self, work: pathlib.Path, display: str):
        self.prefix = work / "prefix"
        home = work / "home"
        for folder in (self.prefix, home):
            if folder.exists():
                shutil.rmtree(folder)
            folder.mkdir(parents=True)
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        HOME=str(home), DISPLAY=display, WINEDLLOVERRIDES="winemenubuilder.exe=d")
        self.env.pop("WINEARCH", None)
        # One server for the whole test, kept alive between the wine commands.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        self.run("wineboot", "-i", timeout=180)
        self.drive_c = self.prefix / "drive_c"
        self.desktop = self._real_desktop()

    def _real_desktop(self) -> pathlib.Path:
        links = [d for d in (self.drive_c / "users").glob("*/Desktop")]
        links = [d for d in links if d.is_symlink() or d.is_dir()]
        if not links:
            raise RuntimeError("no desktop folder in the prefix")
        desktop = links[0]
        if desktop.is_symlink():
            desktop.unlink()
        desktop.mkdir(exist_ok=True)
        return desktop

    def run(self, *command, timeout=120, capture=False):
        return subprocess.run(["wine", *command], env=self.env, timeout=timeout, check=False,
                              stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)

    def start(self, program):
        return subprocess.Popen(["wine", str(program)], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def import_registry(self, text: str, work: pathlib.Path):
        path = work / "machine.reg"
        path.write_bytes(text.replace("\n", "\r\n").encode("latin-1"))
        result = self.run("regedit", "/S", str(path))
        if result.returncode != 0:
            raise RuntimeError("registry import failed")

    def environment_value(self, name: str) -> str:
        out = self.run("cmd", "/c", f"echo %{name}%", capture=True).stdout
        return out.decode("latin-1").strip()

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30, check=False)
