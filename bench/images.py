"""Image capture and encoding against PyMuPDF, in one run.

quirelle: build/cbench/images_bench (C++), which finds the images every page
draws and encodes them as data URIs, as the HTML conversion does. PyMuPDF:
page.get_images() for every page, then doc.extract_image() for the images
quirelle encoded on that page (images drawn smaller than a figure, and those
only listed in the resources, are left out by both). Both run single
threaded, pinned to one CPU, in their own processes, over the corpus files
tagged "images" in MANIFEST.tsv; the best of --repeat runs counts, and peak
RSS is the largest seen.

    bench/.venv/bin/python bench/images.py [--repeat 3] [--bench build/cbench/images_bench]
"""

import argparse
import csv
import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "shared", "corpus")


def image_files():
    files = []
    with open(os.path.join(CORPUS, "MANIFEST.tsv"), newline="") as manifest:
        for row in csv.DictReader(manifest, delimiter="\t"):
            if "images" not in row["tags"].split(",") or "password" in row["notes"].lower():
                continue
            path = os.path.join(CORPUS, "real", row["file"])
            if os.path.exists(path):
                files.append(path)
    return sorted(files)


def mupdf_main(list_path):
    import pymupdf
    pymupdf.TOOLS.mupdf_display_errors(False)
    with open(list_path) as f:
        wanted = [json.loads(line) for line in f if line.startswith('{"file"')]
    totals = dict(documents=0, pages=0, images=0, encoded=0, bytes=0)
    start = time.perf_counter()
    for entry in wanted:
        try:
            doc = pymupdf.open(entry["file"])
        except Exception:
            continue
        totals["documents"] += 1
        for page, xrefs in zip(doc, entry["pages"]):
            totals["pages"] += 1
            listed = {image[0] for image in page.get_images()}
            for xref in xrefs:
                if xref not in listed:
                    continue
                totals["images"] += 1
                try:
                    extracted = doc.extract_image(xref)
                except Exception:
                    continue
                if extracted and extracted.get("image"):
                    totals["encoded"] += 1
                    totals["bytes"] += len(extracted["image"])
    totals["seconds"] = round(time.perf_counter() - start, 4)
    print(json.dumps(totals))


def run_pinned(command):
    """The JSON line the command prints, and its peak RSS in MB."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True,
                               preexec_fn=lambda: os.sched_setaffinity(0, {min(os.sched_getaffinity(0))}))
    output = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("{} failed with {}".format(command[0], process.returncode))
    return json.loads(output.strip().splitlines()[-1]), usage.ru_maxrss / 1024


def measure(command, repeat):
    best, peak = None, 0.0
    for _ in range(repeat):
        result, rss = run_pinned(command)
        peak = max(peak, rss)
        if best is None or result["seconds"] < best["seconds"]:
            best = result
    best["rss"] = peak
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--bench", default=os.path.join(HERE, "..", "build", "cbench", "images_bench"))
    parser.add_argument("--mupdf", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.mupdf is not None:
        return mupdf_main(args.mupdf)
    files = image_files()
    with tempfile.NamedTemporaryFile("w", suffix=".jsonl") as listing:
        listing.write(subprocess.run([args.bench, "--list", *files], check=True, capture_output=True,
                                     text=True).stdout)
        listing.flush()
        rows = [("quirelle", measure([args.bench, *files], args.repeat)),
                ("PyMuPDF", measure([sys.executable, __file__, "--mupdf", listing.name], args.repeat))]
    quirelle_rate = rows[0][1]["pages"] / rows[0][1]["seconds"]
    lines = ["{} files tagged images, best of {} runs, one pinned CPU".format(len(files), args.repeat), "",
             "| library | pages | images | encoded | MB out | seconds | pages/s | peak RSS MB | quirelle ÷ peer |",
             "|---|--:|--:|--:|--:|--:|--:|--:|--:|"]
    for name, r in rows:
        rate = r["pages"] / r["seconds"]
        ratio = "" if name == "quirelle" else "{:.2f}".format(quirelle_rate / rate)
        lines.append("| {} | {} | {} | {} | {:.1f} | {:.3f} | {:.0f} | {:.0f} | {} |".format(
            name, r["pages"], r["images"], r["encoded"], r["bytes"] / 1e6, r["seconds"], rate, r["rss"], ratio))
    q = rows[0][1]
    lines += ["", "quirelle's seconds: load {:.3f}, content decoding {:.3f}, capture and encoding {:.3f}".format(
        q["load"], q["content"], q["capture"])]
    print("\n".join(lines))


if __name__ == "__main__":
    main()
