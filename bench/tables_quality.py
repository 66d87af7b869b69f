#!/usr/bin/env python3
"""Table extraction quality on the ICDAR 2013 files of the corpus.

For each of the camelot-icdar2013-*.json files in shared/corpus/tables_expected
(human-annotated ground truth: one cell grid per table region, the page of each
in `table_pages`, the text of a spanning cell in its top-left cell), every
expected table is matched to the best table a tool returns on the same page,
and the match is scored:

- cell precision/recall/F1: the non-empty cells of both grids as multisets of
  texts, compared after NFKC normalisation with all white space removed (tools
  differ in where they put spaces, not in what they read);
- adjacency F1: the pairs of horizontally and vertically neighbouring non-empty
  cells (the ICDAR 2013 structure measure), compared the same way;
- detected: the best match holds at least half of the expected cells
  (cell recall >= 0.5).

The best match is the table with the highest cell F1 (then adjacency F1); one
returned table may be the best match of several expected ones. Unmatched
expected tables score 0. A file's F1 is the mean over its expected tables; the
overall figures are over all expected tables.

Tools, side by side:
- quirelle: `quirelle.open(path).extract_tables()` (body rows only: header rows
  found above a body are not reported, which costs cell recall), run by the
  interpreter of --quirelle-python (default: this one), or any executable given
  with --quirelle-driver that prints the same list of dicts as JSON;
- pdfplumber: `page.extract_tables()` with its default settings;
- camelot: `camelot.read_pdf(path, flavor="stream", pages=...)`.

pdfplumber and camelot live in bench/.venv-tables:

    python3 -m venv bench/.venv-tables
    bench/.venv-tables/bin/pip install pdfplumber camelot-py
    bench/.venv-tables/bin/python bench/tables_quality.py --quirelle-python bench/.venv/bin/python
"""

import argparse
import json
import subprocess
import sys
import time
import unicodedata
from collections import Counter
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_CORPUS = ROOT.parent / "shared" / "corpus"
TOOLS = ("quirelle", "pdfplumber", "camelot")
# A table counts as detected when its best match holds at least this share
# of the expected non-empty cells.
MIN_DETECTED_RECALL = 0.5

QUIRELLE_SNIPPET = (
    "import json, sys, quirelle\n"
    "print(json.dumps(quirelle.open(sys.argv[1]).extract_tables()))\n"
)


def norm(text):
    text = unicodedata.normalize("NFKC", text or "")
    return "".join(text.split())


def cell_bag(grid):
    return Counter(t for row in grid for t in (norm(c) for c in row) if t)


def adjacency_bag(grid):
    rows = [[norm(c) for c in row] for row in grid]
    pairs = Counter()
    for row in rows:
        filled = [t for t in row if t]
        pairs.update(("h", a, b) for a, b in zip(filled, filled[1:]))
    width = max((len(r) for r in rows), default=0)
    for c in range(width):
        filled = [r[c] for r in rows if c < len(r) and r[c]]
        pairs.update(("v", a, b) for a, b in zip(filled, filled[1:]))
    return pairs


def prf(expected, found):
    tp = sum((expected & found).values())
    p = tp / sum(found.values()) if found else 0.0
    r = tp / sum(expected.values()) if expected else 0.0
    f = 2 * p * r / (p + r) if p + r else 0.0
    return p, r, f


def score(expected_grid, found_grid):
    p, r, f = prf(cell_bag(expected_grid), cell_bag(found_grid))
    _, _, adj = prf(adjacency_bag(expected_grid), adjacency_bag(found_grid))
    return {"precision": p, "recall": r, "f1": f, "adjacency_f1": adj}


# --- The tools: each returns a list of (page, grid) for one file. ---


def run_quirelle(path, args):
    if args.quirelle_driver:
        cmd = [args.quirelle_driver, str(path)]
    else:
        cmd = [args.quirelle_python or sys.executable, "-c", QUIRELLE_SNIPPET, str(path)]
    out = subprocess.run(cmd, capture_output=True, text=True, timeout=args.timeout, check=True).stdout
    return [(int(t["page"]), t["cells"]) for t in json.loads(out)]


def run_pdfplumber(path, pages, args):
    import pdfplumber

    found = []
    with pdfplumber.open(str(path)) as pdf:
        for n in pages:
            for table in pdf.pages[n - 1].extract_tables():
                found.append((n, [[c or "" for c in row] for row in table]))
    return found


def run_camelot(path, pages, args):
    import warnings

    import camelot

    warnings.filterwarnings("ignore", module="camelot")  # "No tables found in table area"
    tables = camelot.read_pdf(str(path), flavor="stream", pages=",".join(str(n) for n in pages))
    return [(int(t.page), [[str(c) for c in row] for row in t.df.values.tolist()]) for t in tables]


def run_tool(tool, path, pages, args):
    start = time.perf_counter()
    try:
        if tool == "quirelle":
            found = run_quirelle(path, args)
        elif tool == "pdfplumber":
            found = run_pdfplumber(path, pages, args)
        else:
            found = run_camelot(path, pages, args)
        error = None
    except Exception as e:  # a tool that fails on a file scores 0 there
        found, error = [], f"{type(e).__name__}: {str(e).strip().splitlines()[-1] if str(e).strip() else ''}"
    return found, error, time.perf_counter() - start


def evaluate_file(spec, corpus, tools, args):
    path = corpus / "real" / spec["file"]
    expected = list(zip(spec["table_pages"], spec["tables"]))
    pages = sorted(set(spec["table_pages"]))
    result = {"file": spec["file"], "expected": len(expected), "tools": {}}
    for tool in tools:
        found, error, seconds = run_tool(tool, path, pages, args)
        matches = []
        for page, grid in expected:
            candidates = [score(grid, g) for p, g in found if p == page]
            best = max(candidates, key=lambda s: (s["f1"], s["adjacency_f1"]), default=None)
            matches.append(best or {"precision": 0.0, "recall": 0.0, "f1": 0.0, "adjacency_f1": 0.0})
        result["tools"][tool] = {
            "matches": matches,
            "detected": sum(m["recall"] >= MIN_DETECTED_RECALL for m in matches),
            "returned": sum(1 for p, _ in found if p in pages),
            "seconds": seconds,
            "error": error,
            "found": found if args.details else None,
        }
    return result


def mean(values):
    values = list(values)
    return sum(values) / len(values) if values else 0.0


def report(results, tools):
    head = "| file | tables |" + "".join(f" {t} det | {t} cell F1 | {t} adj F1 |" for t in tools)
    lines = [head, "|" + "---|" * (2 + 3 * len(tools))]
    total = sum(r["expected"] for r in results)
    for r in results:
        row = f"| {r['file'].removeprefix('camelot-icdar2013-').removesuffix('.pdf')} | {r['expected']} |"
        for t in tools:
            x = r["tools"][t]
            mark = " (error)" if x["error"] else ""
            row += (f" {x['detected']}/{r['expected']}{mark} | {mean(m['f1'] for m in x['matches']):.2f} |"
                    f" {mean(m['adjacency_f1'] for m in x['matches']):.2f} |")
        lines.append(row)
    row = f"| **all** | {total} |"
    for t in tools:
        matches = [m for r in results for m in r["tools"][t]["matches"]]
        detected = sum(r["tools"][t]["detected"] for r in results)
        row += (f" {detected}/{total} = {detected / total:.2f} | {mean(m['f1'] for m in matches):.2f} |"
                f" {mean(m['adjacency_f1'] for m in matches):.2f} |")
    lines.append(row)
    lines.append("")
    lines.append("| tool | tables returned on table pages | seconds | errors |")
    lines.append("|---|---|---|---|")
    for t in tools:
        returned = sum(r["tools"][t]["returned"] for r in results)
        seconds = sum(r["tools"][t]["seconds"] for r in results)
        errors = "; ".join(f"{r['file']}: {r['tools'][t]['error']}" for r in results if r["tools"][t]["error"])
        lines.append(f"| {t} | {returned} | {seconds:.2f} | {errors or '-'} |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--corpus", type=Path, default=DEFAULT_CORPUS, help="the shared corpus directory")
    parser.add_argument("--tools", default=",".join(TOOLS), help="comma-separated subset of " + ",".join(TOOLS))
    parser.add_argument("--quirelle-python", help="interpreter that can import quirelle (default: this one)")
    parser.add_argument("--quirelle-driver", help="executable printing extract_tables() of a PDF as JSON")
    parser.add_argument("--timeout", type=float, default=120, help="seconds per file for quirelle")
    parser.add_argument("--files", default="camelot-icdar2013-*.json", help="glob of expected-table files")
    parser.add_argument("--json", type=Path, help="write all scores (and, with --details, the tables) here")
    parser.add_argument("--details", action="store_true", help="keep every returned table in the JSON")
    args = parser.parse_args()

    tools = [t for t in args.tools.split(",") if t]
    unknown = set(tools) - set(TOOLS)
    if unknown:
        parser.error(f"unknown tools: {', '.join(sorted(unknown))}")
    specs = [json.loads(p.read_text()) for p in sorted((args.corpus / "tables_expected").glob(args.files))]
    # Only the files built from the human annotation carry `table_pages`; the
    # others hold a peer tool's own output (camelot-icdar2013-us-030).
    skipped = [s["file"] for s in specs if "table_pages" not in s]
    specs = [s for s in specs if "table_pages" in s]
    if skipped:
        print(f"skipped (no ground truth): {', '.join(skipped)}", file=sys.stderr)
    if not specs:
        parser.error(f"no expected tables match {args.files} in {args.corpus / 'tables_expected'}")
    results = [evaluate_file(spec, args.corpus, tools, args) for spec in specs]
    print(report(results, tools))
    if args.json:
        args.json.write_text(json.dumps(results, indent=1, ensure_ascii=False))


if __name__ == "__main__":
    main()
