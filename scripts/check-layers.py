#!/usr/bin/env python3
"""Reads every include of src/, tests/, tools/, bench/ and fuzz/ and fails when a
folder includes from a layer above its own. The layers, bottom up, and what
each may include besides itself."""
import pathlib
import re
import sys

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
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(parts):
    """The layer a file belongs to: src/LAYER/..., tests/LAYER/...; None elsewhere."""
    if len(parts) > 2 and parts[0] in ("src", "tests") and parts[1] in MAY_INCLUDE:
        return parts[1]
    return None


def main(root):
    root = pathlib.Path(root)
    faults = []
    for top in ("src", "tests", "tools", "bench", "fuzz"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            rel = path.relative_to(root)
            layer = layer_of(rel.parts)
            for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
                target = included.split("/")[0]
                if target not in MAY_INCLUDE:
                    continue
                allowed = (TESTS_MAY_INCLUDE if top == "tests" else MAY_INCLUDE).get(layer)
                if allowed is not None and target not in allowed:
                    faults.append(f"{rel}: {layer} includes {included}, a layer above it")
                if top == "fuzz" and target != "core":
                    faults.append(f"{rel}: the fuzzers build the file layer alone, not {included}")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) across the layers the wrong way")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent))
