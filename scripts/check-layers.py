#!/usr/bin/env python3
"""Reads every include of src/, tests/, tools/, bench/ and fuzz/ and fails when
- a folder includes from a layer above its own (MAY_INCLUDE);
- inside a layer of src/, a folder includes from a folder above its own
  (SUBLAYERS);
- a file of src/ outside the platform folders includes an operating system's
  header (SYSTEM_HEADER): only src/core/platform/<system>/ and
  src/print/printers/<spooler>/ speak to the system, one side per system."""
import pathlib
import re
import sys

# The layers, bottom up, and what each may include besides itself.
MAY_INCLUDE = {
    "core": {"core"},
    "print": {"core", "print"},
    "ui": {"core", "ui"},
    "report_ui": {"core", "print", "ui", "report_ui"},
    "windows": {"core", "print", "ui", "report_ui", "windows"},
    "batch": {"core", "print", "batch"},
}
# The batch's tests hold the tool against the windows: they stand on top.
TESTS_MAY_INCLUDE = dict(MAY_INCLUDE, batch=set(MAY_INCLUDE))

# The folders inside a layer, by rank from the bottom: a folder includes from
# its own folder and from folders of a lower rank, never from one of its own
# rank or above. A layer not named here has no order inside.
SUBLAYERS = {
    # What differs between systems; the program folder and its files; the
    # passwords and the record archives; the label pages over the records.
    "core": {"platform": 0, "folder": 1, "access": 2, "archive": 2, "sheets": 3},
    # Model, layout and painter; the PDF writer; the printers, which write
    # our PDF and hand it to the spooler; the templates, on the model alone.
    "print": {"engine": 0, "pdf": 1, "printers": 2, "templates": 2},
}

# Where a system's headers may be included: a folder per system below these.
PLATFORM_FOLDERS = {("core", "platform"), ("print", "printers")}
SYSTEM_HEADER = re.compile(
    r"^\s*#\s*include\s*<("
    r"(?:sys|arpa|net|netinet|linux|cups)/[^>]+"
    r"|unistd\.h|fcntl\.h|signal\.h|csignal|pwd\.h|grp\.h|dirent\.h|pthread\.h|dlfcn\.h|poll\.h"
    r"|termios\.h|spawn\.h|semaphore\.h|syslog\.h|utime\.h|libgen\.h|netdb\.h|sched\.h|ftw\.h|fnmatch\.h"
    r"|windows\.h|winbase\.h|winsock2?\.h|ws2tcpip\.h|io\.h|direct\.h|process\.h|shlobj\.h|shellapi\.h"
    r"|aclapi\.h|restartmanager\.h|winspool\.h|tlhelp32\.h|psapi\.h|fileapi\.h|handleapi\.h"
    r")>", re.M | re.I)

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(parts):
    """The layer a file belongs to: src/LAYER/..., tests/LAYER/...; None elsewhere."""
    if len(parts) > 2 and parts[0] in ("src", "tests") and parts[1] in MAY_INCLUDE:
        return parts[1]
    return None


def sublayer_faults(rel, layer, included):
    """A file of src/LAYER/FOLDER/ including from a folder of LAYER at its rank or above."""
    ranks = SUBLAYERS.get(layer)
    target = included.split("/")
    if not ranks or len(rel.parts) < 4 or len(target) < 3 or target[0] != layer:
        return []
    here, there = rel.parts[2], target[1]
    if here not in ranks or there not in ranks:
        return [f"{rel}: {layer}/{here if here not in ranks else there} has no place in the order of {layer}'s folders"]
    if here != there and ranks[there] >= ranks[here]:
        return [f"{rel}: {layer}/{here} includes {included}, a folder not below it"]
    return []


def in_platform_folder(rel):
    """src/core/platform/<system>/... or src/print/printers/<spooler>/..."""
    return len(rel.parts) > 4 and tuple(rel.parts[1:3]) in PLATFORM_FOLDERS


def main(root):
    root = pathlib.Path(root)
    faults = []
    for top in ("src", "tests", "tools", "bench", "fuzz"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            rel = path.relative_to(root)
            layer = layer_of(rel.parts)
            text = path.read_text(encoding="utf-8")
            for included in INCLUDE.findall(text):
                target = included.split("/")[0]
                if target not in MAY_INCLUDE:
                    continue
                allowed = (TESTS_MAY_INCLUDE if top == "tests" else MAY_INCLUDE).get(layer)
                if allowed is not None and target not in allowed:
                    faults.append(f"{rel}: {layer} includes {included}, a layer above it")
                if top == "src" and layer:
                    faults += sublayer_faults(rel, layer, included)
                if top == "fuzz" and target != "core":
                    faults.append(f"{rel}: the fuzzers build the file layer alone, not {included}")
            if top == "src" and not in_platform_folder(rel):
                for header in SYSTEM_HEADER.findall(text):
                    line = f"{rel}: includes <{header}>, a system's header, outside the platform folders"
                    faults.append(line)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) across the layers the wrong way")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent))
