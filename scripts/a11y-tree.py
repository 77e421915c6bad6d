#!/usr/bin/python3
"""Prints the accessibility tree of the running Voltaris window as a screen
reader sees it (AT-SPI): role, name and description of every object, and
the texts of the table's cells. Run it through scripts/a11y-check.sh."""
import sys

import pyatspi


def walk(node, depth, out):
    try:
        role = node.getRoleName()
        name = node.name or ""
        description = node.description or ""
    except Exception:  # an object that went away meanwhile
        return
    if role == "table cell" and not name:
        return
    line = f"{'  ' * depth}{role}: {name!r}"
    if description:
        line += f" ({description})"
    out.append(line)
    for i in range(min(node.childCount, 60)):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out)


def main():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and "voltaris" in (app.name or "").lower():
            lines = []
            walk(app, 0, lines)
            print("\n".join(lines))
            return 0
    print("Voltaris is not on the accessibility bus", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
