#!/usr/bin/env python3
"""Checks what the Windows program carries besides its code.

    check_resources.py EXE VERSION OBJDUMP WRESTOOL ICOTOOL

A console program, its manifest's settings, one 48x48 icon, a version
resource that gives VERSION, and no DLL that a bare Windows lacks.
"""

import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# DLLs that every Windows has; anything else would have to ship beside the .exe.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "ucrtbase.dll"}
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def run(*command):
    return subprocess.run(command, check=True, capture_output=True).stdout


def resource(wrestool, exe, kind):
    return run(wrestool, "--extract", "--raw", f"--type={kind}", exe)


def check_headers(objdump, exe):
    headers = run(objdump, "-p", exe).decode()
    yield "console subsystem", "(Windows CUI)" in headers
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)}
    extra = sorted(d for d in dlls if d not in SYSTEM_DLLS and not d.startswith("api-ms-win-"))
    yield f"only system DLLs imported (found {sorted(dlls)})", dlls and not extra


def check_manifest(wrestool, exe):
    manifest = resource(wrestool, exe, 24)
    yield "manifest present", bool(manifest)
    if not manifest:
        return
    root = ElementTree.fromstring(manifest)

    def values(tag, attribute=None):
        elements = root.findall(f".//{{*}}{tag}")
        return [e.get(attribute) if attribute else (e.text or "").strip() for e in elements]

    yield "requestedExecutionLevel asInvoker", values("requestedExecutionLevel", "level") == [
        "asInvoker"
    ]
    yield "activeCodePage UTF-8", values("activeCodePage") == ["UTF-8"]
    yield "longPathAware true", values("longPathAware") == ["true"]
    yield "supportedOS Windows 10/11", WINDOWS_10_AND_11 in values("supportedOS", "Id")


def check_icon(wrestool, icotool, exe):
    listing = run(wrestool, "--list", exe).decode()
    groups = re.findall(r"--type=14 ", listing)
    yield f"one icon group (found {len(groups)})", len(groups) == 1
    icon = run(wrestool, "--extract", "--type=14", exe)
    images = subprocess.run(
        [icotool, "--list", "-"], input=icon, check=True, capture_output=True
    ).stdout.decode().splitlines()
    yield f"one 48x48 image (found {images})", len(images) == 1 and (
        "--width=48 --height=48" in images[0]
    )


def check_version(wrestool, exe, version):
    data = resource(wrestool, exe, 16)
    # VS_FIXEDFILEINFO starts with its signature; file version follows.
    start = data.find(struct.pack("<I", 0xFEEF04BD))
    yield "fixed version info present", start >= 0
    if start < 0:
        return
    ms, ls = struct.unpack_from("<II", data, start + 8)
    numbers = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"
    yield f"file version {numbers} is {version}", numbers == version
    strings = data.decode("utf-16-le", errors="replace")
    for key, value in (("ProductName", "gmkconv"), ("ProductVersion", version),
                       ("FileVersion", version)):
        found = re.search(key + r"\x00+([^\x00]*)", strings)
        got = found.group(1) if found else None
        yield f"{key} is {value!r} (found {got!r})", got == value


def main():
    exe, version, objdump, wrestool, icotool = sys.argv[1:6]
    checks = [
        *check_headers(objdump, exe),
        *check_manifest(wrestool, exe),
        *check_icon(wrestool, icotool, exe),
        *check_version(wrestool, exe, version),
    ]
    for what, passed in checks:
        print(("ok      " if passed else "FAILED  ") + what)
    return 0 if all(passed for _, passed in checks) else 1


if __name__ == "__main__":
    sys.exit(main())
