"""Word-level agreement of quirelle's extract_text() with poppler's pdftotext
on every file of the corpus.

    python bench/text_similarity.py [--corpus DIR] [--out FILE.md]

Similarity of a file: 2 |A & B| / (|A| + |B|) over the multisets of words
(whitespace-separated, NFKC-normalised) of the two texts; 1.0 when both are
empty. Files where either tool fails to open are listed apart."""

import argparse
import collections
import os
import subprocess
import sys
import unicodedata

import quirelle

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CORPUS = os.path.join(HERE, "..", "..", "shared", "corpus", "real")


def words(text):
    return collections.Counter(unicodedata.normalize("NFKC", text).split())


def similarity(a, b):
    total = sum(a.values()) + sum(b.values())
    if total == 0:
        return 1.0
    return 2 * sum((a & b).values()) / total


def poppler_text(path):
    try:
        done = subprocess.run(["pdftotext", "-q", "-enc", "UTF-8", path, "-"], capture_output=True, timeout=60)
    except subprocess.TimeoutExpired:
        return None
    if done.returncode != 0:
        return None
    return done.stdout.decode("utf-8", "replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--corpus", default=DEFAULT_CORPUS)
    parser.add_argument("--out", default=None)
    args = parser.parse_args()
    rows, skipped = [], []
    for name in sorted(os.listdir(args.corpus)):
        if not name.endswith(".pdf"):
            continue
        path = os.path.join(args.corpus, name)
        try:
            ours = quirelle.open(path).extract_text()
        except ValueError as error:
            skipped.append((name, "quirelle: " + str(error)))
            continue
        theirs = poppler_text(path)
        if theirs is None:
            skipped.append((name, "pdftotext failed or took over a minute"))
            continue
        a, b = words(ours), words(theirs)
        rows.append((name, similarity(a, b), sum(a.values()), sum(b.values())))
    scores = [r[1] for r in rows]
    weighted = sum(r[1] * r[3] for r in rows) / max(1, sum(r[3] for r in rows))
    lines = ["# extract_text() against pdftotext, word multisets", "",
             "files compared: {}; mean similarity {:.3f}; median {:.3f}; weighted by pdftotext words {:.3f}; "
             "files >= 0.9: {}".format(len(rows), sum(scores) / max(1, len(scores)),
                                      sorted(scores)[len(scores) // 2] if scores else 0, weighted,
                                      sum(s >= 0.9 for s in scores)),
             "", "| file | similarity | quirelle words | pdftotext words |", "|---|---|---|---|"]
    for name, score, ours, theirs in sorted(rows, key=lambda r: r[1]):
        if score < 0.9:
            lines.append("| {} | {:.3f} | {} | {} |".format(name, score, ours, theirs))
    lines += ["", "Skipped: {}".format(", ".join("{} ({})".format(n, why) for n, why in skipped))]
    report = "\n".join(lines) + "\n"
    sys.stdout.write(report)
    if args.out:
        with open(args.out, "w") as f:
            f.write(report)


if __name__ == "__main__":
    main()
