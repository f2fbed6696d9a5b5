#!/usr/bin/env bash
# Both builds land where a user takes them: dist/ holds the 32-bit program
# and dist/x64/ the 64-bit one, each Velmora.exe with its hook.dll, of one
# architecture, with a manifest that names it, needing nothing but system
# libraries (the runtimes are linked in).
set -u
root="$(cd "$(dirname "$0")/../.." && pwd)"
python3 - "$root/dist" <<'PY'
import os, struct, sys

dist = sys.argv[1]
system = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
          "msvcrt.dll", "ole32.dll", "shell32.dll", "urlmon.dll", "user32.dll",
          "wininet.dll", "ws2_32.dll", "hook.dll"}
builds = {"": (0x14C, 0x10B, "x86"), "x64": (0x8664, 0x20B, "amd64")}
problems = []

def rva_to_offset(sections, rva):
    for va, size, raw in sections:
        if va <= rva < va + size:
            return rva - va + raw
    raise ValueError("address outside every section")

def imports(data, pe, magic, sections):
    directory = pe + 24 + (96 if magic == 0x10B else 112) + 8
    rva = struct.unpack_from("<I", data, directory)[0]
    names, at = [], rva_to_offset(sections, rva)
    while True:
        name_rva = struct.unpack_from("<I", data, at + 12)[0]
        if name_rva == 0:
            return names
        start = rva_to_offset(sections, name_rva)
        names.append(data[start:data.index(b"\0", start)].decode().lower())
        at += 20

for sub, (machine, magic, manifest_arch) in builds.items():
    for name in ("Velmora.exe", "hook.dll"):
        path = os.path.join(dist, sub, name)
        label = os.path.join("dist", sub, name)
        if not os.path.isfile(path):
            problems.append(f"{label} is missing")
            continue
        data = open(path, "rb").read()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        found_machine, count = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        found_magic = struct.unpack_from("<H", data, pe + 24)[0]
        if (found_machine, found_magic) != (machine, magic):
            problems.append(f"{label}: machine {found_machine:#x}, magic {found_magic:#x}; "
                            f"expected {machine:#x}, {magic:#x}")
            continue
        table = pe + 24 + optional_size
        sections = []
        for i in range(count):
            vsize, va, _, raw = struct.unpack_from("<8xIIII", data, table + 40 * i)
            sections.append((va, vsize, raw))
        foreign = [dll for dll in imports(data, pe, magic, sections) if dll not in system]
        if foreign:
            problems.append(f"{label} needs {', '.join(foreign)}")
        if name == "Velmora.exe":
            arch = f'processorArchitecture="{manifest_arch}"'.encode()
            if data.count(arch) < 2:
                problems.append(f"{label}: its manifest does not name {manifest_arch} for "
                                "the program and for common controls")

for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
PY
