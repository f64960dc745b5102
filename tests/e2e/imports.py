"""Fails when Quimbro.exe imports a DLL that is not a KnownDLL: Windows would look for such a
DLL beside the program first, where anyone can put one. Reads the PE import directory itself.

Usage: imports.py Quimbro.exe"""
import struct
import sys

# Windows 10's KnownDLLs, and the common controls, which the manifest binds side by side.
ALLOWED = {
    "advapi32", "clbcatq", "combase", "comdlg32", "coml2", "difxapi", "gdi32", "gdiplus",
    "imagehlp", "imm32", "kernel32", "msctf", "msvcrt", "normaliz", "nsi", "ole32", "oleaut32",
    "psapi", "rpcrt4", "sechost", "setupapi", "shcore", "shell32", "shlwapi", "user32",
    "wldap32", "ws2_32", "comctl32",
}


def imported_dlls(image: bytes):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    directories = optional + (112 if struct.unpack_from("<H", image, optional)[0] == 0x20B else 96)
    import_rva = struct.unpack_from("<I", image, directories + 8)[0]
    table = [struct.unpack_from("<8x4I", image, optional + optional_size + 40 * n)
             for n in range(sections)]

    def offset(rva):
        for size, address, raw_size, raw in table:
            if address <= rva < address + max(size, raw_size):
                return rva - address + raw
        raise ValueError(f"RVA {rva:#x} outside every section")

    names, entry = [], offset(import_rva) if import_rva else None
    while entry is not None:
        name_rva = struct.unpack_from("<12xI", image, entry)[0]
        if name_rva == 0:
            break
        start = offset(name_rva)
        names.append(image[start:image.index(b"\0", start)].decode("ascii"))
        entry += 20
    return names


def main():
    names = imported_dlls(open(sys.argv[1], "rb").read())
    foreign = [n for n in names if n.lower().removesuffix(".dll") not in ALLOWED]
    print("imports:", ", ".join(names))
    if not names or foreign:
        print("FAILED: not KnownDLLs:", ", ".join(foreign) or "(no imports read)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
