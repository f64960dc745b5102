"""IIS 6 through its ADSI provider: a test "IIS:" provider registered in the prefix serves a
metabase, and the IIS section comes from it, not from the applicationHost.config beside it."""
import os
import pathlib
import re
import shutil

TESTS = pathlib.Path(__file__).resolve().parent.parent
CLSID = "{59DAFE3F-631C-4F1F-9F37-135C9927DCB2}"
# What ADsGetObject looks up for "IIS:" paths, and the in-process server behind it.
PROVIDER = f"""REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\ADs\\Providers\\IIS]
@="QuimbroTest.IIS"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\QuimbroTest.IIS\\CLSID]
@="{CLSID}"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{CLSID}\\InprocServer32]
@="C:\\\\iisprovider\\\\QuimbroIisProvider.dll"
"ThreadingModel"="Both"
"""


def iis_section(lines):
    """From the IIS banner to the next banner."""
    start = lines.index("***IIS***") - 1
    return lines[start:next((i for i in range(start + 3, len(lines))
                             if re.fullmatch(r"\*+", lines[i])), len(lines))]


def case(checks, wine, quimbro, window, work):
    folder = wine.drive_c / "iisprovider"
    folder.mkdir()
    shutil.copy(os.environ["QUIMBRO_IIS_PROVIDER"], folder / "QuimbroIisProvider.dll")
    shutil.copy(TESTS / "data" / "iis" / "iis6.metabase", folder)
    wine.import_registry(PROVIDER, work)
    # IIS 7 and later's own file, which must not be read while the provider binds.
    config = wine.drive_c / "windows" / "system32" / "inetsrv" / "config"
    config.mkdir(parents=True, exist_ok=True)
    shutil.copy(TESTS / "data" / "iis" / "several-sites.config", config / "applicationHost.config")

    process = wine.start(quimbro)
    ready = window.wait(lambda s: s.ready, 60)
    window.click(ready, "Start")
    finished = window.wait(lambda s: s.button("Exit")["enabled"], 180)

    logs = sorted((wine.desktop / "QuimbroOutput").glob("Quimbro_*.log"))
    checks.equal("report logs", len(logs), 1)
    if logs:
        iis = iis_section(logs[0].read_bytes().decode("latin-1").split("\r\n")[:-1])
        expected = (TESTS / "core" / "expected" / "iis-metabase.txt").read_text()
        checks.equal("IIS section from the metabase", iis, expected.split("\n")[:-1])
        checks.true("applicationHost.config not read", "Website ID: 2(Intranet)" not in iis)
    window.click(finished, "Exit")
    checks.equal("program ended by Exit", process.wait(timeout=60), 0)
