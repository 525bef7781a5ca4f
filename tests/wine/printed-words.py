#!/usr/bin/env python3
"""Whether a printer's document puts every word where a PDF puts it, whatever
the printer made of the text (glyphs or outlines): both are drawn by
Ghostscript at 300 dpi, and around each word of the PDF (poppler's box, with
a margin) the ink must cover the same box in both, within the tolerance.
    printed-words.py EXPECTED.pdf PRINTED.ps|pdf TOLERANCE_MM"""
import os
import re
import subprocess
import sys
import tempfile

DPI = 300
INK = re.compile(rb"[\x00-\x7f]")  # darker than mid grey
WORD = re.compile(r'<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">(.*?)</word>')


def words(pdf):
    html = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, capture_output=True, text=True).stdout
    return [[(m.group(5), [float(m.group(i)) * DPI / 72 for i in range(1, 5)]) for m in WORD.finditer(page)]
            for page in html.split("<page ")[1:]]


def pages(document, folder, name):
    subprocess.run(["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pgmraw", f"-r{DPI}",
                    f"-sOutputFile={folder}/{name}-%03d.pgm", document], check=True)
    result = []
    for file in sorted(f for f in os.listdir(folder) if f.startswith(name + "-")):
        data = open(os.path.join(folder, file), "rb").read()
        # P5, width, height, 255, each after any comment lines; one byte of
        # white space, then the pixels.
        fields, at = [], 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at)
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        result.append((int(fields[1]), int(fields[2]), data[at + 1:]))
    return result


def ink(page, box):
    """The box of the ink within box (pixels), or None."""
    width, height, pixels = page
    x0, y0 = max(0, int(box[0])), max(0, int(box[1]))
    x1, y1 = min(width, int(box[2]) + 1), min(height, int(box[3]) + 1)
    left = top = right = bottom = None
    for y in range(y0, y1):
        row = pixels[y * width + x0:y * width + x1]
        first = INK.search(row)
        if not first:
            continue
        last = len(row) - 1 - INK.search(row[::-1]).start()
        left = first.start() if left is None else min(left, first.start())
        right = last if right is None else max(right, last)
        top = y if top is None else top
        bottom = y
    return None if top is None else (x0 + left, top, x0 + right, bottom)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    expected_pdf, printed, tolerance_mm = sys.argv[1], sys.argv[2], float(sys.argv[3])
    tolerance = tolerance_mm / 25.4 * DPI
    margin = 1.5 / 25.4 * DPI
    with tempfile.TemporaryDirectory() as folder:
        expected, got = pages(expected_pdf, folder, "expected"), pages(printed, folder, "printed")
        page_words = words(expected_pdf)
        if len(expected) != len(got):
            sys.exit(f"{len(got)} pages printed, {len(expected)} expected")
        worst, count = 0.0, 0
        for number, (want, have, listed) in enumerate(zip(expected, got, page_words), 1):
            for text, box in listed:
                around = (box[0] - margin, box[1] - margin, box[2] + margin, box[3] + margin)
                a, b = ink(want, around), ink(have, around)
                if a is None:
                    continue  # a word of white ink, or beyond the paper
                if b is None:
                    sys.exit(f"page {number}: \"{text}\" is not printed near {[round(v) for v in box]}")
                offset = max(abs(p - q) for p, q in zip(a, b))
                if offset > tolerance:
                    sys.exit(f"page {number}: \"{text}\" is printed {offset / DPI * 25.4:.2f} mm from its place")
                worst, count = max(worst, offset), count + 1
        if not count:
            sys.exit("no word to compare")
    print(f"{count} words printed where the PDF puts them (at most {worst / DPI * 25.4:.2f} mm apart)")


main()
