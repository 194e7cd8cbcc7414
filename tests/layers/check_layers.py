#!/usr/bin/env python3
"""Checks the includes of the tree against docs/layers.txt.

Every quoted include must name an existing file by its path from the repository root, and
that file must lie in the including file's own folder or in a lower layer. Prints each
offending include and exits 1 when there is any.
"""
import os
import re
import sys

SOURCE = re.compile(r"\.(c|cpp|h|rc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_layers(path):
    """Maps each listed folder to its layer number (0 is the lowest)."""
    folders = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            names = line.split("#", 1)[0].split()
            if names:
                level = len(set(folders.values()))
                for name in names:
                    folders[name.strip("/")] = level
    return folders


def folder_of(path, folders):
    """The longest listed folder holding `path`, or None."""
    best = None
    for folder in folders:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def check(root, folders):
    problems = []
    for top in sorted({f.split("/")[0] for f in folders}):
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not SOURCE.search(name):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
                home = folder_of(path, folders)
                if home is None:
                    continue
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for target in INCLUDE.findall(text):
                    where = folder_of(target, folders)
                    if not os.path.isfile(os.path.join(root, target)):
                        problems.append(f"{path}: \"{target}\" is not a path from the repository root")
                    elif where is None:
                        problems.append(f"{path}: \"{target}\" lies in no layer")
                    elif where != home and folders[where] >= folders[home]:
                        way = "sideways" if folders[where] == folders[home] else "up"
                        problems.append(f"{path}: \"{target}\" goes {way} ({home} -> {where})")
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    root = os.path.abspath(root)
    folders = read_layers(os.path.join(root, "docs", "layers.txt"))
    problems = check(root, folders)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
