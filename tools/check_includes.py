#!/usr/bin/env python3
"""Holds the product folders to their layers.

Each folder of the game is one layer; a folder may include and link only itself and the layers
below it, so that no two folders ever depend on each other. graphics/ and sound/ stand side by
side on one layer and never meet. tests/, bench/ and tools/ sit on top and may use anything.

Checked: every #include of a product file (a path under a folder of another layer, or a bare name
in the including file's own folder), every brivel_* library a product folder's CMakeLists.txt
links, and the order of add_subdirectory in the top CMakeLists.txt (lowest layer first).

Usage: check_includes.py [source-root]; prints each breach as file:line and exits 1 if any.
"""

import pathlib
import re
import sys

# Lowest first; folders of one layer must not include each other.
LAYERS = [
    ["game"],
    ["resources"],
    ["graphics", "sound"],
    ["framework"],
    ["net"],
    ["screens"],
    ["app"],
]
FREE = {"tests", "bench", "tools", "dist"}  # above every layer, include anything
LAYER_OF = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".inc"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
SUBDIRECTORY = re.compile(r"^\s*add_subdirectory\(\s*(\w+)", re.MULTILINE)
ADD_LIBRARY = re.compile(r"add_library\(\s*(brivel_\w+)")
LINK = re.compile(r"target_link_libraries\(\s*(brivel_\w+)([^)]*)\)")


def may_use(user, used):
    """True when folder `user` may include or link folder `used`."""
    if user in FREE or user == used:
        return True
    return used in LAYER_OF and LAYER_OF[used] < LAYER_OF[user]


def describe(user, used):
    if used not in LAYER_OF:
        return f"{user}/ may not reach into {used}/"
    if LAYER_OF[used] == LAYER_OF[user]:
        return f"{user}/ and {used}/ stand side by side and must not meet"
    return f"{used}/ is a higher layer than {user}/"


def check_includes(root, breaches):
    for folder in sorted(LAYER_OF):
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), 1):
                match = INCLUDE.match(line)
                if match is None:
                    continue
                bracket, included = match.groups()
                first = included.split("/")[0]
                if "/" not in included:
                    used = folder if bracket == '"' else None  # a bare name: own folder or system
                elif first in LAYER_OF or first in FREE:
                    used = first
                elif bracket == '"' and (path.parent / included).exists():
                    used = folder  # a path below the including file
                else:
                    used = None  # a system or third-party header
                if used is not None and not may_use(folder, used):
                    where = path.relative_to(root)
                    breaches.append(f'{where}:{number}: #include {bracket}{included}'
                                    f'{">" if bracket == "<" else chr(34)}: '
                                    f"{describe(folder, used)}")


def check_links(root, breaches):
    folder_of = {}
    lists = {}
    for folder in LAYER_OF:
        cmake = root / folder / "CMakeLists.txt"
        if cmake.is_file():
            lists[folder] = cmake.read_text(encoding="utf-8")
            for library in ADD_LIBRARY.findall(lists[folder]):
                folder_of[library] = folder
    for folder, text in sorted(lists.items()):
        for match in LINK.finditer(text):
            for library in re.findall(r"\bbrivel_\w+", match.group(2)):
                used = folder_of.get(library)
                if used is not None and not may_use(folder, used):
                    number = text.count("\n", 0, match.start()) + 1
                    breaches.append(f"{folder}/CMakeLists.txt:{number}: {match.group(1)} links "
                                    f"{library}: {describe(folder, used)}")


def check_order(root, breaches):
    text = (root / "CMakeLists.txt").read_text(encoding="utf-8")
    highest = -1
    for match in SUBDIRECTORY.finditer(text):
        folder = match.group(1)
        number = text.count("\n", 0, match.start()) + 1
        if folder in FREE:
            continue
        if folder not in LAYER_OF:
            breaches.append(f"CMakeLists.txt:{number}: {folder}/ has no layer in tools/check_includes.py")
        elif LAYER_OF[folder] < highest:
            breaches.append(f"CMakeLists.txt:{number}: {folder}/ is added after a higher layer")
        else:
            highest = LAYER_OF[folder]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    breaches = []
    check_order(root, breaches)
    check_includes(root, breaches)
    check_links(root, breaches)
    for breach in breaches:
        print(breach)
    if breaches:
        print(f"{len(breaches)} breach(es) of the layers " +
              " < ".join("/".join(folders) for folders in LAYERS))
        return 1
    print("every include and link runs down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
