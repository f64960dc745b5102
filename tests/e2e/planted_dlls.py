"""DLLs planted beside Quimbro.exe under the names of Windows DLLs that are not KnownDLLs, with
Wine told to prefer them as Windows would: none of them loads, neither at the start nor when a
whole run uses NetAPI and ADSI."""
import os
import pathlib
import shutil
import subprocess

PLANTED = ("netapi32", "activeds")
RUN_TIMEOUT = 180


def nothing_loaded(checks, folder, when):
    # Each planted DLL that was loaded left "<its name as loaded>.loaded", in any letter case.
    loaded = sorted(marker.name for marker in folder.glob("*.loaded"))
    checks.equal(f"planted DLLs loaded {when}", loaded, [])
    return not loaded


def case(checks, wine, quimbro, window, work):
    # Started from a Downloads folder that holds the planted DLLs, as a customer would.
    downloads = wine.drive_c / "users" / "Public" / "Downloads"
    downloads.mkdir(parents=True, exist_ok=True)
    program = pathlib.Path(shutil.copy(quimbro, downloads))
    for name in PLANTED:
        shutil.copy(pathlib.Path(os.environ["QUIMBRO_PLANTED_DLLS"]) / f"{name}.dll", downloads)
    env = dict(wine.env)
    env["WINEDLLOVERRIDES"] += ";" + ",".join(PLANTED) + "=n,b"
    process = subprocess.Popen(["wine", str(program)], env=env, cwd=downloads,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    ready = window.wait(lambda s: s.ready, 60)
    if not nothing_loaded(checks, downloads, "at the start"):
        return
    window.click(ready, "Start")
    # Finished: Exit enabled again, Start disabled for good.
    finished = window.wait(lambda s: s.button("Exit")["enabled"]
                           and not s.button("Start")["enabled"], RUN_TIMEOUT)
    window.click(finished, "Exit")
    checks.equal("program ended by Exit", process.wait(timeout=60), 0)
    nothing_loaded(checks, downloads, "after a run")
