#!/usr/bin/env python3
"""Fails on an #include in src/ that runs up the layers of scripts/layers.txt."""
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parent.parent
table = {}
for number, line in enumerate((root / "scripts/layers.txt").read_text().splitlines(), 1):
    line = line.split("#", 1)[0].strip()
    if not line:
        continue
    folder, sep, allowed = line.partition(":")
    if not sep or not folder.strip():
        sys.exit(f"scripts/layers.txt:{number}: expected 'folder: allowed folders'")
    table[folder.strip()] = set(allowed.split()) | {folder.strip()}

def layer(path):
    """The longest folder of the table that `path` (relative to src/) lies in."""
    best = None
    for folder in table:
        if (path == folder or path.startswith(folder + "/")) and (best is None or len(folder) > len(best)):
            best = folder
    return best

include = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
files = subprocess.run(["git", "-C", str(root), "ls-files", "--", "src/*.cpp", "src/*.h"],
                       check=True, capture_output=True, text=True).stdout.split()
faults = []
for name in files:
    own = layer(name[len("src/"):])
    if own is None:
        faults.append(f"{name}: folder not in scripts/layers.txt")
        continue
    for number, line in enumerate((root / name).read_text(errors="replace").splitlines(), 1):
        match = include.match(line)
        if not match or "/" not in match.group(1):
            continue
        target = layer(match.group(1))
        if target is not None and target not in table[own]:
            faults.append(f'{name}:{number}: {own} may not include "{match.group(1)}" ({target} is not below {own})')
for fault in faults:
    print(fault)
if faults:
    print(f"check-layers: {len(faults)} include(s) run up the layers; see scripts/layers.txt")
    sys.exit(1)
