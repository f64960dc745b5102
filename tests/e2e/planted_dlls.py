"""DLLs planted beside Quimbro.exe under the names of Windows DLLs that are not KnownDLLs, with
Wine told to prefer them as Windows would: none of them loads, neither at the start nor when a
whole run uses NetAPI and ADSI."""
import os
import pathlib
import shutil

PLANTED = ("netapi32", "activeds")


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
    window.run_once(checks, program, env, cwd=downloads,
                    on_ready=lambda _: nothing_loaded(checks, downloads, "at the start"))
    nothing_loaded(checks, downloads, "after a run")
