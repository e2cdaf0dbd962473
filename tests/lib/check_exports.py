#!/usr/bin/python3
"""Checks that the built library exports exactly the functions its version script lists: on
Linux each under the version node listing it (nm), on Windows by name from corvanel.dll's export
table (the MinGW objdump given).

usage: check_exports.py VERSION_SCRIPT LIBRARY [OBJDUMP]"""

import re
import subprocess
import sys


def listed(script):
    """(function, version node) for every function of the version script."""
    script = re.sub(r"/\*.*?\*/", "", script, flags=re.S)
    return {(name, node)
            for node, body in re.findall(r"([\w.]+)\s*\{(.*?)\}[^;]*;", script, flags=re.S)
            for name in re.findall(r"\b(corvanel_\w+)\s*;", body)}


def exported(library, objdump):
    if objdump:
        table = subprocess.run([objdump, "-p", library], check=True, capture_output=True,
                               text=True).stdout
        names = table.split("[Ordinal/Name Pointer] Table", 1)[1]
        return {(name, None) for name in re.findall(r"^\s*\[\s*\d+\] (\S+)$", names, flags=re.M)}
    symbols = subprocess.run(["nm", "-D", "--defined-only", library], check=True,
                             capture_output=True, text=True).stdout
    found = set()
    for _, kind, name in (line.split() for line in symbols.splitlines()):
        if kind != "A":  # the version nodes are absolute symbols of their own
            symbol, _, node = name.partition("@@")
            found.add((symbol, node or None))
    return found


def main():
    script, library = sys.argv[1:3]
    objdump = sys.argv[3] if len(sys.argv) > 3 else None
    with open(script) as file:
        wanted = listed(file.read())
    if objdump:
        wanted = {(name, None) for name, _ in wanted}
    got = exported(library, objdump)
    for name, node in sorted(wanted - got, key=str):
        print(f"not exported: {name} {node or ''}")
    for name, node in sorted(got - wanted, key=str):
        print(f"exported but not listed: {name} {node or ''}")
    print(f"{len(got)} functions exported, {len(wanted)} listed")
    return 1 if got != wanted or not wanted else 0


if __name__ == "__main__":
    sys.exit(main())
