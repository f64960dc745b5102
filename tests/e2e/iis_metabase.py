"""IIS 6 through its ADSI provider: a test "IIS:" provider registered in the prefix serves a
metabase, and the IIS section comes from it, not from the applicationHost.config beside it."""
import os
import pathlib
import shutil

import machine

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

    window.run_once(checks, quimbro, wine.env)
    iis = machine.report_section(checks, wine.desktop, "IIS")
    checks.equal("IIS section from the metabase", iis, machine.expected("iis-metabase.txt"))
    checks.true("applicationHost.config not read", "Website ID: 2(Intranet)" not in (iis or []))
