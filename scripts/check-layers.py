#!/usr/bin/env python3
"""Fails on an #include in src/ that runs up the layers of scripts/layers.txt, that
leaves src/, or that brings a platform library's header (Xlib, xcb, FFmpeg,
Tesseract, espeak-ng, QtWebEngine) into a file outside src/platform, directly or
through a header of src/platform that includes one."""
import os
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parent.parent
src = root / "src"
table = {}
for number, line in enumerate((root / "scripts/layers.txt").read_text().splitlines(), 1):
    line = line.split("#", 1)[0].strip()
    if not line:
        continue
    folder, sep, allowed = line.partition(":")
    if not sep or not folder.strip():
        sys.exit(f"scripts/layers.txt:{number}: expected 'folder: allowed folders'")
    table[folder.strip()] = set(allowed.split()) | {folder.strip()}

# Headers of the platform libraries, by the path they are included as.
platform_only = re.compile(
    r"^(X11/|xcb/|libavcodec/|libavformat/|libavutil/|libavfilter/|libavdevice/|libswscale/|libswresample/"
    r"|tesseract/|leptonica/|espeak-ng/|espeak/|QtWebEngine|QWebEngine)")
platform_folder = "platform"


def layer(path):
    """The longest folder of the table that `path` (relative to src/) lies in."""
    best = None
    for folder in table:
        if (path == folder or path.startswith(folder + "/")) and (best is None or len(folder) > len(best)):
            best = folder
    return best


def in_platform(path):
    return path == platform_folder or path.startswith(platform_folder + "/")


include = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
files = subprocess.run(["git", "-C", str(root), "ls-files", "--", "src/*.cpp", "src/*.h"],
                       check=True, capture_output=True, text=True).stdout.split()


def escapes(path):
    return path == ".." or path.startswith("../")


def resolve(name, quote, target):
    """The included file as a path relative to src/ when it is one of ours, ""
    when it lies outside src/, None for a header from elsewhere."""
    here = os.path.dirname(name[len("src/"):])
    # As the compiler looks: a quoted name beside the including file first, then from src/.
    beside = os.path.normpath(os.path.join(here, target))
    candidates = ([beside] if quote == '"' else []) + [os.path.normpath(target)]
    for candidate in candidates:
        if (src / candidate).is_file():
            return "" if escapes(candidate) else candidate
    if quote == '"' and escapes(beside):
        return ""
    for candidate in candidates:
        if not escapes(candidate) and "/" in candidate and layer(candidate) is not None:
            return candidate
    return None


# Every include of every file, resolved once.
includes = {}
for name in files:
    found = []
    for number, line in enumerate((root / name).read_text(errors="replace").splitlines(), 1):
        match = include.match(line)
        if match:
            quote, target = match.groups()
            found.append((number, quote, target, resolve(name, quote, target)))
    includes[name[len("src/"):]] = found

# The headers of src/platform that bring a platform library's header with them, and through which one.
carries = {}
changed = True
while changed:
    changed = False
    for path, found in includes.items():
        if not in_platform(path) or path in carries:
            continue
        for _, _, target, resolved in found:
            if resolved is None and platform_only.match(target):
                carries[path] = target
            elif resolved and resolved in carries:
                carries[path] = carries[resolved]
            else:
                continue
            changed = True
            break

faults = []
for name in files:
    path = name[len("src/"):]
    own = layer(path)
    if own is None:
        faults.append(f"{name}: folder not in scripts/layers.txt")
        continue
    for number, quote, target, resolved in includes[path]:
        spelled = f"{quote}{target}{'>' if quote == '<' else quote}"
        if resolved == "":
            faults.append(f"{name}:{number}: {spelled} lies outside src/")
            continue
        if resolved is None:
            if platform_only.match(target) and not in_platform(path):
                faults.append(f"{name}:{number}: {own} may not include {spelled}: only src/platform uses that library")
            continue
        target_layer = layer(resolved)
        if target_layer is not None and target_layer not in table[own]:
            faults.append(f"{name}:{number}: {own} may not include {spelled} ({target_layer} is not below {own})")
        elif resolved in carries and not in_platform(path):
            faults.append(f"{name}:{number}: {own} may not include {spelled}: it brings <{carries[resolved]}>, "
                          "which only src/platform uses")
for fault in faults:
    print(fault)
if faults:
    print(f"check-layers: {len(faults)} include(s) break the layering; see scripts/layers.txt")
    sys.exit(1)
