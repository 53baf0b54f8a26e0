#!/usr/bin/env python3
"""Collects the ROW lines the benchmarks print into one table and says for each
row whether its target holds.

A row reads
    ROW <name> | ours <value> <unit> | peer <value or -> | ratio <x or -> | target <text>
and its target "<op> <number> <unit>": on the ratio when the unit is "x", else on
our figure. Reads the benchmarks' output from the files named, or stdin.
"""
import re
import sys

OPS = {
    "<": lambda a, b: a < b,
    "<=": lambda a, b: a <= b,
    ">": lambda a, b: a > b,
    ">=": lambda a, b: a >= b,
}
# Times convert into one another.
SCALE = {"us": 0.001, "ms": 1.0, "s": 1000.0}
TARGET = re.compile(r"^\s*(<=|>=|<|>)\s*([0-9]*\.?[0-9]+)\s*(\S*)\s*$")


def number(text):
    """The leading number of a field such as "2.300" or "2.3x"; None for "-"."""
    match = re.match(r"^\s*(-?[0-9]*\.?[0-9]+)", text)
    return float(match.group(1)) if match else None


def parse(line):
    fields = [f.strip() for f in line[len("ROW ") :].split("|")]
    if len(fields) != 5:
        return None
    name, ours, peer, ratio, target = fields
    if not (ours.startswith("ours ") and peer.startswith("peer ") and ratio.startswith("ratio ")):
        return None
    if not target.startswith("target "):
        return None
    ours_parts = ours[len("ours ") :].split()
    return {
        "name": name,
        "ours": number(ours_parts[0]) if ours_parts else None,
        "unit": " ".join(ours_parts[1:]),
        "peer": number(peer[len("peer ") :]),
        "ratio": number(ratio[len("ratio ") :]),
        "target": target[len("target ") :].strip(),
    }


def verdict(row):
    """"ok", "MISSED", or "?" when the target cannot be read against the row."""
    match = TARGET.match(row["target"])
    if not match or row["ours"] is None:
        return "?"
    op, limit, unit = OPS[match.group(1)], float(match.group(2)), match.group(3)
    if unit == "x":
        if row["ratio"] is None:
            return "?"
        return "ok" if op(row["ratio"], limit) else "MISSED"
    value = row["ours"]
    if unit and unit != row["unit"]:
        if unit not in SCALE or row["unit"] not in SCALE:
            return "?"
        value = value * SCALE[row["unit"]] / SCALE[unit]
    return "ok" if op(value, limit) else "MISSED"


def figure(value, unit=""):
    if value is None:
        return "-"
    text = f"{value:.3f}" if abs(value) < 10 else f"{value:.1f}"
    return f"{text} {unit}".strip()


def main(paths):
    lines = []
    if paths:
        for path in paths:
            with open(path, encoding="utf-8", errors="replace") as f:
                lines.extend(f)
    else:
        lines = sys.stdin.readlines()
    rows, failed = [], []
    for line in lines:
        line = line.rstrip("\n")
        if line.startswith("ROW "):
            row = parse(line)
            if row:
                rows.append(row)
            else:
                failed.append("unreadable row: " + line)
        elif line.startswith("benchmark ") and line.endswith(" failed"):
            failed.append(line)
    table = [("what", "ours", "peer", "ratio", "target", "holds")]
    for r in rows:
        table.append(
            (
                r["name"],
                figure(r["ours"], r["unit"]),
                figure(r["peer"], r["unit"]),
                "-" if r["ratio"] is None else f"{r['ratio']:.2f}x",
                r["target"],
                verdict(r),
            )
        )
    widths = [max(len(row[i]) for row in table) for i in range(len(table[0]))]
    print("== summary")
    for i, row in enumerate(table):
        print("  ".join(cell.ljust(widths[c]) if c == 0 else cell.rjust(widths[c]) for c, cell in enumerate(row)))
        if i == 0:
            print("  ".join("-" * w for w in widths))
    missed = sum(1 for r in rows if verdict(r) != "ok")
    for line in failed:
        print(line)
    print(f"{len(rows) - missed} of {len(rows)} targets hold")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
