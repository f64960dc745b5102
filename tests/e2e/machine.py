"""The core's rich computer made in the Wine prefix: the same registry file and product tree,
and the report sections that follow from them alone, taken from the core's expected report."""
import pathlib
import re

TESTS = pathlib.Path(__file__).resolve().parent.parent
DATA = TESTS / "data" / "rich"
STAMP = "1252026_34934"  # the run stamp in the core's expected files
# The core's drive root is the test's folder; under Wine the products lie on C:.
PRODUCTS = (r"\Apps" + "\\", r"C:\Apps" + "\\")
NO_DEBUGGER = ("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\n"
               '"Auto"="0"\n"Debugger"=-\n')
# Sections read from the registry only; the others depend on the computer.
FIXED = ("Operating System", "Alman Board Info", "Applicable Vantorel Software",
         "Internet Explorer", "Netscape", "JRE", "Microsoft Office Applications",
         "Database Information")


def registry_file() -> str:
    """The rich registry with the crash debugger switched off."""
    text = (DATA / "registry.reg").read_text(encoding="latin-1").replace("\r\n", "\n")
    escaped = [p.replace("\\", "\\\\") for p in PRODUCTS]
    return text.replace('="' + escaped[0], '="' + escaped[1]) + "\n" + NO_DEBUGGER


def products():
    lines = (DATA / "computer.txt").read_text().splitlines()
    return [line.split("\t")[1] for line in lines if line.startswith("product\t")]


def install_products(drive_c: pathlib.Path):
    for source in products():
        path = drive_c / "Apps" / "Vantorel" / source
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(f"contents of {source}")


def sections(lines):
    """The report's sections by title, each from its first asterisk line to its end."""
    found = []
    for i in range(1, len(lines) - 1):
        title = re.fullmatch(r"\*\*\*(.+)\*\*\*", lines[i])
        if title and lines[i - 1] == lines[i + 1] == "*" * len(lines[i]):
            found.append((title.group(1), i - 1))
    ends = [start for _, start in found[1:]] + [len(lines)]
    return [t for t, _ in found], {t: lines[s:e] for (t, s), e in zip(found, ends)}


def report_section(checks, desktop, title):
    """The lines of one section of the run's only report log, or None."""
    logs = sorted((desktop / "QuimbroOutput").glob("Quimbro_*.log"))
    checks.equal("report logs", len(logs), 1)
    if not logs:
        return None
    return sections(logs[0].read_bytes().decode("latin-1").split("\r\n")[:-1])[1].get(title)


def expected(name):
    return (TESTS / "core" / "expected" / name).read_text().split("\n")[:-1]


def expected_report():
    """Section titles in order, and the fixed sections as Wine must show them."""
    lines = [line.replace(*PRODUCTS) for line in expected("rich-report.txt")]
    titles, by_title = sections(lines)
    return titles, {title: by_title[title] for title in FIXED}


def expected_tree(stamp):
    """QuimbroOutput's files after a run with this run stamp."""
    return [p.replace(STAMP, stamp) for p in expected("rich-output-tree.txt")]


def iis_opening(computer_name):
    """Wine has no IIS provider: the section takes its failure path."""
    unreachable = expected("iis-unreachable.txt")[:-1]
    return [line.replace("QUIMBROPC", computer_name)
            for line in unreachable[:3] + ["5.0"] + unreachable[4:]]
