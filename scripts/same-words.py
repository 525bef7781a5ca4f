#!/usr/bin/env python3
"""Whether two PDFs hold the same words in the same places, as poppler reads
them: every word of the second on the same page, with the same text, its box
within the tolerance of the first's (a time stamp only has to stand in the
same place). Prints how far apart they are at most; exits 1 naming the first
word that is not where it should be.
    same-words.py NAME EXPECTED.pdf ACTUAL.pdf [TOLERANCE_MM]   (0.01 mm)"""
import re
import subprocess
import sys

WORD = re.compile(r'<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">(.*?)</word>')
STAMP = re.compile(r"\d\d[:/]\d\d[:/]\d\d(\d\d)?")


def words(pdf):
    html = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, capture_output=True, text=True).stdout
    pages = html.split("<page ")[1:]
    return [(n, m.group(5), [float(m.group(i)) for i in range(1, 5)])
            for n, page in enumerate(pages) for m in WORD.finditer(page)]


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    name, expected, actual = sys.argv[1], words(sys.argv[2]), words(sys.argv[3])
    tolerance_mm = float(sys.argv[4]) if len(sys.argv) == 5 else 0.01
    tolerance = tolerance_mm / 25.4 * 72  # in points
    if not expected or len(expected) != len(actual):
        sys.exit(f"{name}: {len(actual)} words, {len(expected)} expected")
    worst = 0.0
    for (page, text, box), (at_page, at_text, at_box) in zip(expected, actual):
        offset = max(abs(a - b) for a, b in zip(box, at_box))
        same = text == at_text or STAMP.fullmatch(text) and STAMP.fullmatch(at_text)
        if page != at_page or not same or offset > tolerance:
            sys.exit(f"{name}: \"{at_text}\" stands at {at_box} on page {at_page + 1}; "
                     f"\"{text}\" is expected at {box} on page {page + 1}")
        worst = max(worst, offset)
    print(f"{name}: {len(expected)} words where they are expected (at most {worst * 25.4 / 72:.4f} mm apart)")


main()
