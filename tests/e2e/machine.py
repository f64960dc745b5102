"""What the test computer holds (registry values, a product installation) and what a run
must report about it."""
import pathlib

NT = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion"
VANTOREL = r"HKEY_LOCAL_MACHINE\Software\Vantorel Software"
ZONES = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Zones"
OFFICE = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Shared Tools\MSInfo\Categories\Applications"
OSSERY = VANTOREL + r"\Ossery\2002.05.00\Core\Databases\Dashboard"
JAVAW = r'"C:\Program Files\JavaSoft\JRE\1.3\bin\javaw.exe" -jar "%1" %*'

PRODUCTS = r"C:\Apps\Vantorel"

# (key, value name or "@" for the default, str or int for a DWORD)
VALUES = [
    (NT + r"\AeDebug", "Auto", "0"),
    (NT, "ProductName", "Microsoft Windows 2000"),
    (NT, "CSDVersion", "Service Pack 2"),
    (NT, "CurrentBuildNumber", "2195"),
    (NT, "InstallDate", 1007553600),
    (VANTOREL + r"\KXSetup\Products\qnduEnterprise", "Build", "2002.05.00.117"),
    (VANTOREL + r"\AlmanBoard", "ALMANBOARD_HOME", PRODUCTS + r"\AlmanBoard"),
    (VANTOREL + r"\KXSetup\ComponentVersions", "MabrickCoreComponents", "5.1.0"),
    (VANTOREL + r"\KXSetup\ComponentVersions", "OsseryCoreFiles", "2002.05.00"),
    (VANTOREL + r"\KXSetup\ComponentVersions", "tzpqjakartatomcat", "3.2.3"),
    (VANTOREL + r"\KXSetup\ComponentVersions", "tzpqInstallFiles", 7),
    (VANTOREL + r"\KXSetup\ComponentVersions", "FenwodeCoreFiles", "1.4"),
    (VANTOREL + r"\KXSetup\ComponentVersions", "hublet", "2.0"),
    (VANTOREL + r"\KXSetup\ComponentVersions", "Drapewell", "1.0.2"),
    (VANTOREL + r"\Kestova\4.0", "InstallDirectory", PRODUCTS + r"\Kestova"),
    (r"HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer", "Version", "5.50.4522.1800"),
    (ZONES + r"\1", "1A02", 0), (ZONES + r"\1", "1A03", 0),
    (ZONES + r"\2", "1A02", 0), (ZONES + r"\2", "1A03", 0),
    (ZONES + r"\3", "1A02", 3), (ZONES + r"\3", "1A03", 1),
    (ZONES + r"\4", "1A02", 3), (ZONES + r"\4", "1A03", 3),
    (r"HKEY_LOCAL_MACHINE\Software\Netscape\Netscape Navigator", "CurrentVersion", "4.7 (en)"),
    (r"HKEY_LOCAL_MACHINE\Software\Microsoft\InetStp", "VersionString", "5.0"),
    (r"HKEY_LOCAL_MACHINE\Software\JavaSoft\Java Runtime Environment", "CurrentVersion", "1.3"),
    (r"HKEY_LOCAL_MACHINE\Software\Classes\Applications\javaw.exe\shell\open\command", "@",
     JAVAW),
    (OFFICE + r"\Access", "@", "9.0.0.2719"),
    (OFFICE + r"\Excel", "@", "9.0.0.2720"),
    (OFFICE + r"\FrontPage", "@", "4.0.2.2720"),
    (OFFICE + r"\Outlook", "@", "9.0.0.2711"),
    (OFFICE + r"\PowerPoint", "@", "9.0.0.2716"),
    (OFFICE + r"\Project", "@", "9.0.0.2001"),
    (OFFICE + r"\Publisher", "@", "5.0.0.2001"),
    (OFFICE + r"\Word", "@", "9.0.0.2717"),
    (r"HKEY_LOCAL_MACHINE\Software\Microsoft\MSSQLServer\MSSQLServer\CurrentVersion",
     "CurrentVersion", "7.00.623"),
    (OSSERY + r"\MASTR", "Database", "KX_WAREHOUSE"),
    (OSSERY + r"\TstD1", "Database", "KX_SCHEMA"),
]


def registry_file() -> str:
    """The values as a REGEDIT4 file; the crash debugger is switched off with them."""
    def quoted(text):
        return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

    lines = ["REGEDIT4", ""]
    keys = {}
    for key, name, value in VALUES:
        keys.setdefault(key, []).append((name, value))
    for key, values in keys.items():
        lines.append(f"[{key}]")
        for name, value in values:
            left = "@" if name == "@" else quoted(name)
            right = f"dword:{value:08x}" if isinstance(value, int) else quoted(value)
            lines.append(f"{left}={right}")
        if key == NT + r"\AeDebug":
            lines.append('"Debugger"=-')
        lines.append("")
    return "\n".join(lines) + "\n"


# The installation below PRODUCTS, and where a run copies each file inside QuimbroOutput
# (None: not collected).
INSTALLATION = [
    ("AlmanBoard/logs/alman.log", "AlmanBoard/logs/alman.log"),
    ("AlmanBoard/logs/2026/old.log", "AlmanBoard/logs/2026/old.log"),
    ("AlmanBoard/logarchive/archive.log", "AlmanBoard/logarchive/archive.log"),
    ("AlmanBoard/bin/alman.ini", "AlmanBoard/bin/alman.ini"),
    ("AlmanBoard/bin/alman.cfg", "AlmanBoard/bin/alman.cfg"),
    ("AlmanBoard/bin/alman.exe", None),
    ("jakarta-tomcat/logs/catalina.out", "jakarta-tomcat/logs/catalina.out"),
    ("jakarta-tomcat/bin/tomcat.bat", "jakarta-tomcat/bin/tomcat.bat"),
    ("jakarta-tomcat/bin/startup.bat", None),
    ("jakarta-tomcat/conf/server.xml", "jakarta-tomcat/conf/server.xml"),
    ("jakarta-tomcat/conf/tomcat-users.xml", "jakarta-tomcat/conf/tomcat-users.xml"),
    ("jakarta-tomcat/conf/README", "jakarta-tomcat/conf/README"),
    ("jakarta-tomcat/webapps/TarnApp/WEB-INF/classes/config.txt",
     "jakarta-tomcat/webapps/TarnApp/WEB-INF/classes/config.txt"),
    ("jakarta-tomcat/webapps/TarnApp/index.jsp", None),
    ("Kestova/TarnApp/projects/catalog.txt", "Vantorel/Kestova/TarnApp/projects/catalog.txt"),
    ("Kestova/bin/error.log", "Vantorel/Kestova/bin/error.log"),
    ("Kestova/bin/kestova.exe", None),
    ("KXSetup/setup.log", "Vantorel/KXSetup/setup.log"),
    ("KXSetup/install.log", "Vantorel/KXSetup/install.log"),
    ("KXSetup/setup.ini", None),
]


def install_products(drive_c: pathlib.Path):
    root = drive_c / "Apps" / "Vantorel"
    for source, _ in INSTALLATION:
        path = root / source
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(f"contents of {source}\r\n")


def asterisks(title):
    return "*" * len(f"***{title}***")


def section(title, *lines):
    return [asterisks(title), f"***{title}***", asterisks(title), *lines, ""]


# Sections whose every line follows from the values above.
FIXED_SECTIONS = {
    "Operating System": section(
        "Operating System", "OS NAME: Microsoft Windows 2000", "SERVICE PACK: Service Pack 2",
        "OS BUILD: 2195", "OS INSTALL DATE: 1007553600"),
    "Alman Board Info": section(
        "Alman Board Info", "VERSION: 2002.05.00.117",
        "HOME DIRECTORY: " + PRODUCTS + r"\AlmanBoard"),
    "Applicable Vantorel Software": section(
        "Applicable Vantorel Software", "Mabrick Version: 5.1.0", "Ossery Version: 2002.05.00",
        "Vantorel's Jakart-Tomcat Version: 3.2.3", "Kestova Version: 7", "Fenwode Version: 1.4",
        "Hublet Version: 2.0", "Drape Well Version: 1.0.2"),
    "Internet Explorer": section(
        "Internet Explorer", "VERSION: 5.50.4522.1800", "",
        "LOCAL INTRANET", "Persistent Cookies: 0", "Session Cookies: 0", "",
        "TRUSTED SITES", "Persistent Cookies: 0", "Session Cookies: 0", "",
        "INTERNET", "Persistent Cookies: 3", "Session Cookies: 1", "",
        "RESTRICTED", "Persistent Cookies: 3", "Session Cookies: 3", "",
        "0 = Allow Cookies, 1 = Prompt for Cookies, 3 = Deny Cookies"),
    "Netscape": section("Netscape", "Version: 4.7 (en)"),
    "JRE": section("JRE", "Version: 1.3", "JAR Extension Association: " + JAVAW),
    "Microsoft Office Applications": section(
        "Microsoft Office Applications", "Access Version: 9.0.0.2719",
        "Excel Version: 9.0.0.2720", "FrontPage Version: 4.0.2.2720",
        "Outlook Version: 9.0.0.2711", "PowerPoint Version: 9.0.0.2716",
        "Project Version: 9.0.0.2001", "Publisher Version: 5.0.0.2001",
        "Word Version: 9.0.0.2717"),
    "Database Information": section(
        "Database Information", "SQL Server Version: 7.00.623", "Warehouse DB: KX_WAREHOUSE",
        "Schema DB: KX_SCHEMA"),
}

SECTION_ORDER = [
    "Quimbro Log", "Operating System", "Networking", "System Environment Variables",
    "User Environment Variables", "Volatile Environment Variables", "Running Processes",
    "Local Administrators", "Alman Board Info", "Applicable Vantorel Software",
    "Internet Explorer", "Netscape", "IIS", "JRE", "Microsoft Office Applications",
    "Database Information",
]


def iis_opening(computer_name):
    """Wine has no IIS provider: the section takes its failure path."""
    return section("IIS", "5.0")[:-1] + [
        "", "Unable to connect to the IIS Metabase on " + computer_name,
        "IIS 5.0 may not be installed on this computer.", "---Access Permission Values---",
        "Note: Permissions are added together.  Subtract values below to reach zero.",
        "None = 0, Read = 1, Write = 2, Script Source Access = 16, Execute Scripts Only = 512, "
        "Execute Scripts and Executables = 516"]
