"""The three command captures as a customer's computer would have them: programs named like
Windows' own, lying where Quimbro.exe is started from, never run ("planted_programs"); a desktop
whose name the command interpreter would misread (%USERNAME%, a letter outside the ANSI code
page) still gets all three captures ("odd_desktop")."""
import codecs
import os
import pathlib
import shutil

COMMANDS = (("ipconfig", "ipconfig.exe /all"), ("netstat", "netstat -a"), ("services", "net start"))
PLANTED = ("cmd", "ipconfig", "netstat", "net")
ODD_DESKTOP = "Bureau \u03a9mega %USERNAME%"
USER_SHELL_FOLDERS = (r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer"
                      r"\User Shell Folders")


def slow_netstat(wine):
    """netstat -a as it is where it resolves every name: it ends seconds after the rest of the
    run, which waits for it with its window alive and deaf to input."""
    shutil.copy(os.environ["QUIMBRO_SLOW_NETSTAT"],
                wine.drive_c / "windows" / "system32" / "netstat.exe")
    wine.env["WINEDLLOVERRIDES"] += ";netstat.exe=n"


def first_line(output):
    return next((line.strip() for line in output.splitlines() if line.strip()), None)


def check_captures(checks, wine, desktop):
    """Each capture holds what its command prints here, as far as its first line tells."""
    for prefix, command in COMMANDS:
        captures = list((desktop / "QuimbroOutput" / "windows").glob(f"{prefix}_*.log"))
        checks.equal(f"{prefix} captures", len(captures), 1)
        if captures:
            own = wine.run("cmd", "/C", *command.split(), capture=True).stdout
            checks.equal(f"first line of {captures[0].name}", first_line(captures[0].read_bytes()),
                         first_line(own))


def case_planted_programs(checks, wine, quimbro, window, work):
    downloads = wine.drive_c / "Downloads"
    downloads.mkdir()
    program = pathlib.Path(shutil.copy(quimbro, downloads))
    for name in PLANTED:
        shutil.copy(os.environ["QUIMBRO_PLANTED_PROGRAM"], downloads / f"{name}.exe")
    marker = downloads / "net.exe.ran"
    wine.run(str(downloads / "net.exe"))
    checks.true("a planted program that runs leaves its marker", marker.exists())
    marker.unlink(missing_ok=True)

    window.run_once(checks, program, wine.env, cwd=downloads)
    checks.equal("planted programs that ran", sorted(p.name for p in downloads.glob("*.ran")), [])
    check_captures(checks, wine, wine.desktop)


def case_odd_desktop(checks, wine, quimbro, window, work):
    desktop = wine.desktop.parent / ODD_DESKTOP
    desktop.mkdir()
    path = "C:\\users\\" + desktop.parent.name + "\\" + ODD_DESKTOP
    # A plain string, so %USERNAME% stays part of the name; the letter needs a Unicode file.
    text = (f"Windows Registry Editor Version 5.00\r\n\r\n[{USER_SHELL_FOLDERS}]\r\n"
            '"Desktop"="' + path.replace("\\", "\\\\") + '"\r\n')
    registry = work / "desktop.reg"
    registry.write_bytes(codecs.BOM_UTF16_LE + text.encode("utf-16-le"))
    wine.run("regedit", "/S", str(registry))

    window.run_once(checks, quimbro, wine.env)
    check_captures(checks, wine, desktop)


CASES = {"planted_programs": case_planted_programs, "odd_desktop": case_odd_desktop}
