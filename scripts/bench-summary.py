#!/usr/bin/env python3
"""Collects the ROW lines the benchmarks print into one table and says for each
row whether its target holds.

A row reads
    ROW <name> | ours <value> <unit> | peer <value or -> | ratio <x or -> | target <text>
optionally followed, for sides that use different numbers of threads, by
    | cpu ours <value> ms | cpu peer <value or -> | cpu ratio <x or ->
Its target is one or more clauses joined by ",", each "[cpu] <op> <number> <unit>":
on the ratio when the unit is "x", else on our figure; a clause that starts with
"cpu" reads the CPU figures. Reads the benchmarks' output from the files named, or
stdin.
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
TARGET = re.compile(r"^\s*(cpu\s+)?(<=|>=|<|>)\s*([0-9]*\.?[0-9]+)\s*(\S*)\s*$")


def number(text):
    """The leading number of a field such as "2.300" or "2.3x"; None for "-"."""
    match = re.match(r"^\s*(-?[0-9]*\.?[0-9]+)", text)
    return float(match.group(1)) if match else None


def value_and_unit(text):
    parts = text.split()
    return (number(parts[0]) if parts else None), " ".join(parts[1:])


def field(text, label):
    """The text after "<label> ", or None when the field does not start so."""
    return text[len(label) + 1 :] if text.startswith(label + " ") else None


def parse(line):
    fields = [f.strip() for f in line[len("ROW ") :].split("|")]
    if len(fields) not in (5, 8):
        return None
    labels = ["ours", "peer", "ratio", "target", "cpu ours", "cpu peer", "cpu ratio"]
    values = [field(text, label) for text, label in zip(fields[1:], labels)]
    if any(v is None for v in values):
        return None
    ours, unit = value_and_unit(values[0])
    row = {
        "name": fields[0],
        "ours": ours,
        "unit": unit,
        "peer": number(values[1]),
        "ratio": number(values[2]),
        "target": values[3].strip(),
        "cpu": None,
    }
    if len(values) == 7:
        cpu_ours, cpu_unit = value_and_unit(values[4])
        row["cpu"] = {"ours": cpu_ours, "unit": cpu_unit, "peer": number(values[5]), "ratio": number(values[6])}
    return row


def clause_holds(figures, op, limit, unit):
    """True or False, or None when the clause cannot be read against the figures."""
    if figures is None or figures["ours"] is None:
        return None
    if unit == "x":
        return None if figures["ratio"] is None else op(figures["ratio"], limit)
    value = figures["ours"]
    if unit and unit != figures["unit"]:
        if unit not in SCALE or figures["unit"] not in SCALE:
            return None
        value = value * SCALE[figures["unit"]] / SCALE[unit]
    return op(value, limit)


def verdict(row):
    """"ok" when every clause of the target holds, "MISSED" when one does not,
    "?" when one cannot be read against the row."""
    results = []
    for clause in row["target"].split(","):
        match = TARGET.match(clause)
        if not match:
            return "?"
        figures = row["cpu"] if match.group(1) else row
        results.append(clause_holds(figures, OPS[match.group(2)], float(match.group(3)), match.group(4)))
    if any(r is None for r in results):
        return "?"
    return "ok" if all(results) else "MISSED"


def figure(value, unit=""):
    if value is None:
        return "-"
    text = f"{value:.3f}" if abs(value) < 10 else f"{value:.1f}"
    return f"{text} {unit}".strip()


def ratio(value):
    return "-" if value is None else f"{value:.2f}x"


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
    table = [("what", "ours", "peer", "ratio", "cpu ours", "cpu peer", "cpu ratio", "target", "holds")]
    for r in rows:
        cpu = r["cpu"] or {"ours": None, "unit": "", "peer": None, "ratio": None}
        table.append(
            (
                r["name"],
                figure(r["ours"], r["unit"]),
                figure(r["peer"], r["unit"]),
                ratio(r["ratio"]),
                figure(cpu["ours"], cpu["unit"]),
                figure(cpu["peer"], cpu["unit"]),
                ratio(cpu["ratio"]),
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
