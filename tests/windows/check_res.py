#!/usr/bin/python3
"""Checks a compiled Windows resource file (.res): icon group 1 holds a 32 x 32
image in 16 colours and full-colour images of 16 to 256 pixels (compressed as
PNG), and manifest 1 declares the common-controls dependency,
version 6.0.0.0, for the given processor architecture, runs as the invoker,
names Windows 7 to 11 as supported, is aware of each monitor's DPI and of long
paths; the program's version (in the manifest and version resource 1, with its
product, company, description and file name).
Usage: check_res.py file.res ARCH VERSION"""
import re
import struct
import sys
from xml.etree import ElementTree

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def ident(data, at):
    """A resource type or name: an ordinal, or a UTF-16 string."""
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def resources(data):
    at = 0
    while at < len(data):
        size, header = struct.unpack_from("<II", data, at)
        kind, p = ident(data, at + 8)
        name, p = ident(data, p)
        yield kind, name, data[at + header:at + header + size]
        at = (at + header + size + 3) & ~3


def version_info(data):
    """The fixed file version and the strings of a version resource."""
    strings, fixed = {}, None

    def node(at, depth):
        nonlocal fixed
        length, value_length, text = struct.unpack_from("<HHH", data, at)
        key, p = ident(data, at + 6)
        p = (p + 3) & ~3
        value_bytes = value_length * 2 if text else value_length
        if depth == 0 and value_length:
            fixed = struct.unpack_from("<IIII", data, p)[:4]
        elif depth == 3:
            strings[key] = data[p:p + value_bytes].decode("utf-16-le").rstrip("\0")
        child = (p + value_bytes + 3) & ~3
        while child < at + length:
            child = (node(child, depth + 1) + 3) & ~3
        return at + length

    node(0, 0)
    return fixed, strings


res = {(k, n): d for k, n, d in resources(open(sys.argv[1], "rb").read())}
arch, version = sys.argv[2], sys.argv[3]
problems = []

group = res.get((RT_GROUP_ICON, 1))
if group is None:
    problems.append("no icon group 1")
else:
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]
    images = [(w, h, colours, bits, icon_id) for w, h, colours, _, _, bits, _, icon_id in entries]
    found = set()
    for w, h, colours, bits, icon_id in images:
        image = res.get((RT_ICON, icon_id))
        if image is None:
            problems.append(f"icon image {icon_id} missing")
            continue
        if image.startswith(b"\x89PNG"):  # its size in the PNG header
            iw, ih = struct.unpack_from(">II", image, 16)
            found.add((iw, ih, 32, "png"))
            continue
        # A BITMAPINFOHEADER, twice the height for the mask.
        _, iw, ih, _, ibits = struct.unpack_from("<IiiHH", image, 0)
        found.add((iw, ih // 2, ibits, "bmp"))
    if kind != 1 or (32, 32, 4, "bmp") not in found:
        problems.append(f"icon group 1 holds no 32 x 32 image in 16 colours: {sorted(found)}")
    for side in (16, 20, 24, 32, 40, 48, 64, 256):
        if (side, side, 32, "png") not in found:
            problems.append(f"icon group 1 holds no full-colour {side} x {side} image")

manifest = res.get((RT_MANIFEST, 1))
if manifest is None:
    problems.append("no manifest 1")
else:
    text = manifest.decode("utf-8")
    dep = re.search(r"<dependentAssembly>\s*<assemblyIdentity([^>]*)/>", text)
    attrs = dict(re.findall(r'(\w+)="([^"]*)"', dep.group(1))) if dep else {}
    if attrs.get("name") != "Microsoft.Windows.Common-Controls" or attrs.get("version") != "6.0.0.0":
        problems.append(f"no common-controls 6.0.0.0 dependency: {attrs}")
    if attrs.get("processorArchitecture") != arch:
        problems.append(f"the dependency names {attrs.get('processorArchitecture')}, not {arch}")
    own = re.search(r'<assemblyIdentity[^>]*name="GradientLogo"[^>]*processorArchitecture="([^"]*)"', text)
    if not own or own.group(1) != arch:
        problems.append("the program's own identity names another architecture")
    # By what Windows reads, whatever the namespaces' prefixes.
    root = ElementTree.fromstring(manifest)
    local = lambda e: e.tag.rsplit("}", 1)[-1]
    levels = [e.get("level") for e in root.iter() if local(e) == "requestedExecutionLevel"]
    if levels != ["asInvoker"]:
        problems.append(f"the execution level is not asInvoker alone: {levels}")
    supported = {e.get("Id").lower() for e in root.iter() if local(e) == "supportedOS"}
    wanted = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
              "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
    if not wanted <= supported:
        problems.append(f"not every Windows from 7 to 11 is a supported OS: {sorted(supported)}")
    # Namespaced as Windows looks them up: an element in another namespace is passed over.
    settings = "{http://schemas.microsoft.com/SMI/%s/WindowsSettings}%s"
    aware = [e.text.strip().lower() for e in root.iter(settings % ("2005", "dpiAware"))]
    awareness = [e.text.replace(" ", "").lower().split(",") for e in root.iter(settings % ("2016", "dpiAwareness"))]
    if aware != ["true/pm"]:
        problems.append(f"dpiAware is not true/pm: {aware}")
    if not awareness or awareness[0][0] != "permonitorv2":
        problems.append(f"dpiAwareness does not ask for PerMonitorV2 first: {awareness}")
    if [e.text.strip() for e in root.iter(settings % ("2016", "longPathAware"))] != ["true"]:
        problems.append("not aware of long paths")
    if not re.search(r'name="GradientLogo" version="%s\.0"' % re.escape(version), text):
        problems.append(f"the manifest does not name version {version}")

if (RT_VERSION, 1) not in res:
    problems.append("no version resource 1")
else:
    fixed, strings = version_info(res[(RT_VERSION, 1)])
    numbers = [int(n) for n in version.split(".")]
    if not fixed or fixed[0] != 0xFEEF04BD or (fixed[2] >> 16, fixed[2] & 0xFFFF, fixed[3] >> 16) != tuple(numbers):
        problems.append(f"the fixed file version is not {version}")
    wanted = {"ProductName": "Gradient Logo", "CompanyName": "Gradient Logo developers", "FileVersion": version,
              "ProductVersion": version, "OriginalFilename": "gradient-logo.exe"}
    for key, value in wanted.items():
        if strings.get(key) != value:
            problems.append(f"{key} is {strings.get(key)!r}, not {value!r}")
    for key in ("FileDescription", "LegalCopyright"):
        if not strings.get(key):
            problems.append(f"no {key}")

for p in problems:
    print("FAILED:", p)
if not problems:
    print(f"ok: icon 1 is 32 x 32 in 16 colours, and full colour from 16 to 256; common-controls 6.0.0.0 for {arch}, asInvoker, Windows 7 to 11,"
          f" per-monitor DPI, long paths; version {version}")
sys.exit(1 if problems else 0)
