#!/usr/bin/env python3
"""Benchmark quirelle against other PDF libraries, operation by operation.

Run with the benchmark environment (see bench/README.md):

    bench/.venv/bin/python bench/run.py [--ops text,spans] [--quick] [--files GLOB]
                                        [--no-large] [--out DIR] [--timeout S]

Every (operation, library) pair runs in fresh worker processes:
  - 1 core: one worker pinned to one CPU; pages/s = pages / sum of per-file times;
    its ru_maxrss is the peak resident memory;
  - all cores: os.cpu_count() workers take files from a shared queue;
    pages/s = pages / wall-clock time of the whole pass;
  - quirelle methods that release the GIL also run on a thread pool of
    os.cpu_count() threads in one process.
A file that takes longer than the timeout gets its worker killed and counts as a
timeout; an exception counts as an error. NotImplementedError marks the pair as
"not available".
"""
import argparse
import datetime
import fnmatch
import json
import os
import platform
import select
import subprocess
import sys
import time
from collections import deque

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
CORPUS = "/work/shared/corpus/real"
MANIFEST = "/work/shared/corpus/MANIFEST.tsv"
LARGE = "/usr/share/R/doc/manual/fullrefman.pdf"
QUICK_FILES = 40


# ---------------------------------------------------------------- operations
# Each callable takes a path and does the whole operation on every page. The
# "open" callables return the page count (used to check that every library can
# open a file); the others return nothing.

def q_open(path):
    import quirelle
    return quirelle.open(path).page_count()


def q_text(path):
    import quirelle
    quirelle.open(path).extract_text()


def q_spans(path):
    import quirelle
    pdf = quirelle.open(path)
    for n in range(1, pdf.page_count() + 1):
        pdf._dbg_spans(n)


def q_html(path):
    import quirelle
    quirelle.open(path).to_html()


def q_tables(path):
    import quirelle
    quirelle.open(path).extract_tables()


def q_images(path):
    import quirelle
    quirelle.open(path).extract_images()


def mupdf_open(path):
    import pymupdf
    with pymupdf.open(path) as doc:
        return doc.page_count


def mupdf_pages(path, fn):
    import pymupdf
    with pymupdf.open(path) as doc:
        for page in doc:
            fn(doc, page)


def mupdf_text(path):
    mupdf_pages(path, lambda doc, page: page.get_text())


def mupdf_spans(path):
    mupdf_pages(path, lambda doc, page: page.get_text("rawdict"))


def mupdf_tables(path):
    mupdf_pages(path, lambda doc, page: [t.extract() for t in page.find_tables().tables])


def mupdf_images(path):
    def page_images(doc, page):
        for img in page.get_images(full=True):
            doc.extract_image(img[0])
    mupdf_pages(path, page_images)


def mupdf4llm_html(path):
    import pymupdf4llm
    pymupdf4llm.to_markdown(path)


def pdfium_open(path):
    import pypdfium2
    pdf = pypdfium2.PdfDocument(path)
    try:
        return len(pdf)
    finally:
        pdf.close()


def pdfium_text(path):
    import pypdfium2
    pdf = pypdfium2.PdfDocument(path)
    try:
        for i in range(len(pdf)):
            page = pdf[i]
            textpage = page.get_textpage()
            textpage.get_text_range()
            textpage.close()
            page.close()
    finally:
        pdf.close()


def pdfminer_open(path):
    from pdfminer.pdfdocument import PDFDocument
    from pdfminer.pdfpage import PDFPage
    from pdfminer.pdfparser import PDFParser
    with open(path, "rb") as f:
        return sum(1 for _ in PDFPage.create_pages(PDFDocument(PDFParser(f))))


def pdfminer_text(path):
    from pdfminer.high_level import extract_text
    extract_text(path)


def pdfminer_spans(path):
    from pdfminer.high_level import extract_pages
    for _ in extract_pages(path):
        pass


def pypdf_reader(path):
    import pypdf
    reader = pypdf.PdfReader(path)
    if reader.is_encrypted:
        reader.decrypt("")
    return reader


def pypdf_open(path):
    return len(pypdf_reader(path).pages)


def pypdf_text(path):
    for page in pypdf_reader(path).pages:
        page.extract_text()


def plumber_tables(path):
    import pdfplumber
    with pdfplumber.open(path) as pdf:
        for page in pdf.pages:
            page.extract_tables()
            page.close()


# operation -> {library -> callable}; quirelle comes first in every entry.
OPS = {
    "open": {"quirelle": q_open, "PyMuPDF": mupdf_open, "pypdfium2": pdfium_open,
             "pdfminer.six": pdfminer_open, "pypdf": pypdf_open},
    "text": {"quirelle": q_text, "PyMuPDF": mupdf_text, "pypdfium2": pdfium_text,
             "pdfminer.six": pdfminer_text, "pypdf": pypdf_text},
    "spans": {"quirelle": q_spans, "PyMuPDF": mupdf_spans, "pdfminer.six": pdfminer_spans},
    "html": {"quirelle": q_html, "pymupdf4llm": mupdf4llm_html},
    "tables": {"quirelle": q_tables, "pdfplumber": plumber_tables, "PyMuPDF": mupdf_tables},
    "images": {"quirelle": q_images, "PyMuPDF": mupdf_images},
}
# quirelle operations that release the GIL, also measured on a thread pool.
THREADED = {"html"}
# modules a worker imports before it reports ready, so imports are not timed.
IMPORTS = {"quirelle": ["quirelle"], "PyMuPDF": ["pymupdf"], "pymupdf4llm": ["pymupdf4llm"],
           "pypdfium2": ["pypdfium2"], "pypdf": ["pypdf"], "pdfplumber": ["pdfplumber"],
           "pdfminer.six": ["pdfminer.high_level", "pdfminer.pdfpage"]}


# ---------------------------------------------------------------- worker side

def worker_main(op, lib, threads, pin, warmup):
    """Reads "path" lines on stdin, runs the operation, writes one JSON line per file.

    Before it reports ready it runs the operation once on the small warm-up file,
    so one-time initialisation of the library is not counted against a file."""
    out = os.fdopen(os.dup(1), "w", buffering=1)
    os.dup2(2, 1)  # libraries that print must not corrupt the result stream
    if pin is not None:
        os.sched_setaffinity(0, {pin})
    import importlib
    import importlib.metadata
    import logging
    import threading
    import warnings
    logging.disable(logging.CRITICAL)
    warnings.simplefilter("ignore")
    try:
        for module in IMPORTS[lib]:
            importlib.import_module(module)
        version = importlib.metadata.version(lib)
    except Exception as e:  # library missing or broken
        out.write(json.dumps({"ready": False, "error": repr(e)}) + "\n")
        return
    if warmup:
        try:
            OPS[op][lib](warmup)
        except Exception:
            pass
    out.write(json.dumps({"ready": True, "version": version}) + "\n")
    fn, lock = OPS[op][lib], threading.Lock()

    def handle(path):
        start = time.perf_counter()
        result = {"file": path, "status": "ok"}
        try:
            pages = fn(path)
            if pages is not None:
                result["pages"] = pages
        except NotImplementedError as e:
            result.update(status="notimpl", error=str(e))
        except Exception as e:
            result.update(status="error", error=f"{type(e).__name__}: {e}"[:300])
        result["seconds"] = time.perf_counter() - start
        with lock:
            out.write(json.dumps(result) + "\n")

    if threads:
        from concurrent.futures import ThreadPoolExecutor
        with ThreadPoolExecutor(threads) as pool:
            for line in sys.stdin:
                pool.submit(handle, line.rstrip("\n"))
    else:
        for line in sys.stdin:
            handle(line.rstrip("\n"))


# ---------------------------------------------------------------- parent side

class Worker:
    warmup = None  # the small file every worker runs once before it reports ready

    def __init__(self, op, lib, threads=0, pin=None):
        cmd = [sys.executable, os.path.abspath(__file__), "--worker", op, lib, "--threads", str(threads)]
        if pin is not None:
            cmd += ["--pin", str(pin)]
        if Worker.warmup:
            cmd += ["--warmup", Worker.warmup]
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, bufsize=0)
        self.slots = max(1, threads)
        self.inflight = {}  # path -> deadline
        self.buffer = b""

    def send(self, path, deadline):
        self.inflight[path] = deadline
        try:
            self.proc.stdin.write((path + "\n").encode())
        except BrokenPipeError:
            pass  # the worker died; its end of output reports the file as lost

    def wait_ready(self, timeout):
        """Returns the worker's first line, or an error when it has none in time."""
        end = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                return {"ready": False, "error": "worker did not start in time"}
            data = os.read(self.proc.stdout.fileno(), 1 << 16)
            if not data:
                return {"ready": False, "error": "worker did not start"}
            self.buffer += data
        line, self.buffer = self.buffer.split(b"\n", 1)
        return json.loads(line)

    def read_lines(self):
        """Returns the complete lines read, or None at end of output."""
        data = os.read(self.proc.stdout.fileno(), 1 << 16)
        if not data:
            return None
        self.buffer += data
        *lines, self.buffer = self.buffer.split(b"\n")
        return [json.loads(line) for line in lines if line]

    def finish(self, kill=False):
        """Ends the worker; returns its peak resident memory in MB."""
        if kill:
            self.proc.kill()
        else:
            try:
                self.proc.stdin.close()
            except OSError:
                pass
        _, status, usage = os.wait4(self.proc.pid, 0)
        self.proc.returncode = status
        return usage.ru_maxrss / 1024


def run_pass(op, lib, files, workers=1, threads=0, pin=None, timeout=60.0):
    """Runs one operation of one library over files [(path, pages)].

    Returns {"status", "wall", "rss_mb", "results": {path: result}, ...}."""
    pool = [Worker(op, lib, threads, pin) for _ in range(workers)]
    version = None
    for w in pool:  # wait until every worker has imported its library
        hello = w.wait_ready(timeout)
        if not hello.get("ready"):
            for x in pool:
                x.finish(kill=True)
            return {"status": "not installed", "error": hello.get("error")}
        version = hello["version"]
    pages = dict(files)
    queue = deque(path for path, _ in sorted(files, key=lambda f: -f[1]))
    results, rss, status = {}, 0.0, "ok"
    start = time.perf_counter()

    def replace(w, kill):
        nonlocal rss
        rss = max(rss, w.finish(kill))
        for path in w.inflight:  # work lost with the worker goes back to the queue
            queue.appendleft(path)
        pool[pool.index(w)] = Worker(op, lib, threads, pin)

    while status == "ok" and (queue or any(w.inflight for w in pool)):
        for w in pool:
            while queue and len(w.inflight) < w.slots:
                path = queue.popleft()
                w.send(path, time.monotonic() + timeout * max(1.0, pages[path] / 100))
        busy = [w for w in pool if w.inflight]
        wait = max(0.0, min(d for w in busy for d in w.inflight.values()) - time.monotonic())
        readable, _, _ = select.select([w.proc.stdout for w in busy], [], [], wait)
        for w in busy:
            if w.proc.stdout in readable:
                lines = w.read_lines()
                if lines is None:  # the worker died (crash, out of memory)
                    for path in w.inflight:
                        results[path] = {"status": "error", "error": "worker died"}
                    w.inflight.clear()
                    replace(w, kill=False)
                    continue
                for r in lines:
                    if "file" not in r:  # the ready line of a replacement worker
                        continue
                    w.inflight.pop(r["file"], None)
                    results[r["file"]] = r
                    if r["status"] == "notimpl":
                        status = "not available"
            now = time.monotonic()
            late = [p for p, d in w.inflight.items() if d <= now]
            if late and w in pool:
                for path in late:
                    results[path] = {"status": "timeout"}
                    del w.inflight[path]
                replace(w, kill=True)
    wall = time.perf_counter() - start
    for w in pool:
        rss = max(rss, w.finish(kill=bool(w.inflight)))
    return {"status": status, "version": version, "wall": wall, "rss_mb": rss, "results": results}


# ---------------------------------------------------------------- corpus

def password_files():
    """Files whose manifest notes say a user password is needed."""
    skip = set()
    with open(MANIFEST, encoding="utf-8") as f:
        for line in f.read().splitlines()[1:]:
            cols = line.split("\t")
            notes = cols[7].lower() if len(cols) > 7 else ""
            if "user password required" in notes or "needs a user password" in notes:
                skip.add(cols[0])
    return skip


def candidate_files(args):
    names = sorted(n for n in os.listdir(CORPUS) if n.lower().endswith(".pdf"))
    if args.files:
        names = [n for n in names if fnmatch.fnmatch(n, args.files)]
    skipped = sorted(set(names) & password_files())
    names = [n for n in names if n not in skipped]
    if args.quick and len(names) > QUICK_FILES:
        step = len(names) / QUICK_FILES  # a fixed spread over the sorted list
        names = [names[int(i * step)] for i in range(QUICK_FILES)]
    paths = [os.path.join(CORPUS, n) for n in names]
    if not args.no_large and not args.quick and not args.files and os.path.exists(LARGE):
        paths.append(LARGE)
    return paths, skipped


def probe(paths, timeout):
    """Opens every file with every library of "open"; keeps the files all of them
    open with at least one page. Returns ({path: pages}, {path: reason})."""
    counts, refused = {}, {}
    for lib in OPS["open"]:
        run = run_pass("open", lib, [(p, 1) for p in paths], timeout=timeout)
        for path in paths:
            r = run.get("results", {}).get(path, {"status": run["status"]})
            if r["status"] != "ok" or not r.get("pages"):
                why = r.get("error", r["status"]) if r["status"] != "ok" else "no pages"
                refused[path] = "; ".join(filter(None, [refused.get(path), f"{lib}: {why}"]))
            elif lib == "pypdfium2" or path not in counts:
                counts[path] = r["pages"]  # pdfium's count is the reference
    return {p: n for p, n in counts.items() if p not in refused}, refused


# ---------------------------------------------------------------- measuring

def measure(op, lib, files, timeout):
    """All passes of one (operation, library) over files; returns a table row."""
    cpus = os.cpu_count() or 1
    row = {"op": op, "library": lib}
    single = run_pass(op, lib, files, pin=sorted(os.sched_getaffinity(0))[-1], timeout=timeout)
    row["version"] = single.get("version")
    if single["status"] != "ok":
        row.update(status=single["status"], error=single.get("error"))
        return [row]
    res = single["results"]
    ok = [p for p, _ in files if res.get(p, {}).get("status") == "ok"]
    pages = sum(n for p, n in files if p in ok)
    seconds = sum(res[p]["seconds"] for p in ok)
    errors = {p: r.get("error", "") for p, r in res.items() if r["status"] == "error"}
    row.update(status="ok", pages=pages, seconds_1core=round(seconds, 3),
               pps_1core=pages / seconds if seconds else None, rss_mb=round(single["rss_mb"], 1),
               errors=len(errors), timeouts=sum(r["status"] == "timeout" for r in res.values()),
               error_samples=dict(list(errors.items())[:5]),
               slowest=sorted(((round(res[p]["seconds"], 3), os.path.basename(p)) for p in ok), reverse=True)[:5])
    rows = [row]
    variants = [("", cpus, 0)]
    if lib == "quirelle" and op in THREADED:
        variants.append((f" ({cpus} threads)", 1, cpus))
    for suffix, workers, threads in variants:
        run = run_pass(op, lib, files, workers=workers, threads=threads, timeout=timeout)
        if suffix:
            rows.append({"op": op, "library": lib + suffix, "version": row["version"],
                         "status": run["status"], "rss_mb": round(run.get("rss_mb", 0), 1)})
        target = rows[-1]
        if run["status"] != "ok":
            target["status"] = run["status"]
            continue
        done = [p for p, _ in files if run["results"].get(p, {}).get("status") == "ok"]
        target["pages_all"] = sum(n for p, n in files if p in done)
        target["wall_all"] = round(run["wall"], 3)
        target["pps_all"] = target["pages_all"] / run["wall"] if run["wall"] else None
        if suffix:
            target["pages"] = target["pages_all"]
            target["errors"] = sum(r["status"] == "error" for r in run["results"].values())
            target["timeouts"] = sum(r["status"] == "timeout" for r in run["results"].values())
    return rows


def add_ratios(rows):
    """quirelle pages/s divided by each peer's (above 1: quirelle is faster)."""
    q = next((r for r in rows if r["library"] == "quirelle" and r["status"] == "ok"), None)
    for r in rows:
        for key in ("1core", "all"):
            mine, theirs = (q or {}).get("pps_" + key), r.get("pps_" + key)
            r["ratio_" + key] = mine / theirs if mine and theirs else None


# ---------------------------------------------------------------- report

def fmt(value, digits=1):
    return "–" if value is None else f"{value:,.{digits}f}"


def markdown(report):
    lines = [f"# quirelle benchmark {report['started']}", "",
             f"{report['machine']}; quirelle at {report['commit']}; timeout {report['timeout']:g} s per file "
             "(more for files over 100 pages). Figures are comparable only within this run.", "",
             "1 core: one pinned worker, pages / sum of per-file times. All cores: "
             f"{report['cpus']} worker processes over the files (wall clock). "
             "Ratio: quirelle pages/s ÷ the library's (1 core / all cores); above 1 means quirelle is faster.", ""]
    for s in report["sets"]:
        lines += [f"## {s['name']}: {s['files']} files, {s['pages']} pages", "",
                  "| operation | library | pages | pages/s 1 core | pages/s all cores | peak RSS MB "
                  "| ratio vs quirelle | errors |",
                  "|---|---|--:|--:|--:|--:|--:|--:|"]
        for r in s["rows"]:
            name = f"{r['library']} {r.get('version') or ''}".strip()
            if r["status"] != "ok":
                lines.append(f"| {r['op']} | {name} | {r['status']} | | | | | |")
                continue
            ratio = "" if r["library"].startswith("quirelle") else \
                f"{fmt(r['ratio_1core'], 2)} / {fmt(r['ratio_all'], 2)}"
            bad = f"{r.get('errors', 0)}" + (f" + {r['timeouts']} timeouts" if r.get("timeouts") else "")
            lines.append(f"| {r['op']} | {name} | {r.get('pages', 0):,} | {fmt(r.get('pps_1core'))} "
                         f"| {fmt(r.get('pps_all'))} | {fmt(r.get('rss_mb'))} | {ratio} | {bad} |")
        lines.append("")
    lines += [f"Left out: {len(report['password_files'])} files that need a user password"
              + (", and these files, which a library could not open:" if report["skipped"] else "."), ""]
    if report["skipped"]:
        lines += [f"- {os.path.basename(p)}: {why}" for p, why in sorted(report["skipped"].items())]
    return "\n".join(lines) + "\n"


def git_commit():
    """The commit bench/setup.sh installed quirelle from, else the work tree's."""
    try:
        with open(os.path.join(HERE, ".venv", "quirelle-commit"), encoding="utf-8") as f:
            return f.read().strip()
    except OSError:
        pass
    try:
        head = subprocess.run(["git", "-C", REPO, "rev-parse", "--short", "HEAD"],
                              capture_output=True, text=True, check=True).stdout.strip()
        dirty = subprocess.run(["git", "-C", REPO, "status", "--porcelain", "--untracked-files=no"],
                               capture_output=True, text=True).stdout.strip()
        return head + ("+changes" if dirty else "")
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--ops", default=",".join(OPS), help="comma-separated operations: " + ",".join(OPS))
    ap.add_argument("--quick", action="store_true", help=f"a fixed subset of {QUICK_FILES} corpus files, no large document")
    ap.add_argument("--files", help="only corpus files whose name matches this glob (no large document)")
    ap.add_argument("--no-large", action="store_true", help="leave out " + LARGE)
    ap.add_argument("--out", default=os.path.join(HERE, "results"), help="directory for the .md and .json")
    ap.add_argument("--timeout", type=float, default=60.0, help="seconds per file and library")
    ap.add_argument("--libs", help="comma-separated peers to measure besides quirelle (default: all)")
    ap.add_argument("--worker", nargs=2, metavar=("OP", "LIB"), help=argparse.SUPPRESS)
    ap.add_argument("--threads", type=int, default=0, help=argparse.SUPPRESS)
    ap.add_argument("--pin", type=int, help=argparse.SUPPRESS)
    ap.add_argument("--warmup", help=argparse.SUPPRESS)
    args = ap.parse_args()
    if args.worker:
        return worker_main(*args.worker, args.threads, args.pin, args.warmup)

    ops = [o.strip() for o in args.ops.split(",") if o.strip()]
    unknown = [o for o in ops if o not in OPS]
    if unknown:
        ap.error(f"unknown operation {', '.join(unknown)}; known: {', '.join(OPS)}")
    started = datetime.datetime.now().strftime("%Y-%m-%d_%H%M%S")
    paths, passworded = candidate_files(args)
    for p in paths:  # read every file once so that no library pays for the disk
        with open(p, "rb") as f:
            while f.read(1 << 20):
                pass
    print(f"probing {len(paths)} files with {len(OPS['open'])} libraries", file=sys.stderr)
    pages, refused = probe(paths, args.timeout)
    Worker.warmup = min(pages, key=os.path.getsize) if pages else None
    corpus = [(p, n) for p, n in pages.items() if p != LARGE]
    sets = [("corpus", corpus)] + ([(os.path.basename(LARGE), [(LARGE, pages[LARGE])])] if LARGE in pages else [])
    report = {"started": started, "commit": git_commit(), "cpus": os.cpu_count(), "timeout": args.timeout,
              "machine": f"{os.cpu_count()} CPUs, Python {platform.python_version()}, {platform.machine()}",
              "password_files": passworded, "warmup": Worker.warmup,
              "skipped": refused, "sets": []}
    for name, files in sets:
        rows = []
        for op in ops:
            op_rows = []
            for lib in OPS[op]:
                if args.libs and lib != "quirelle" and lib not in args.libs.split(","):
                    continue
                print(f"{name}: {op} / {lib}", file=sys.stderr)
                op_rows += measure(op, lib, files, args.timeout)
            add_ratios(op_rows)
            rows += op_rows
        report["sets"].append({"name": name, "files": len(files), "pages": sum(n for _, n in files), "rows": rows,
                               "file_list": [os.path.basename(p) for p, _ in files]})
    os.makedirs(args.out, exist_ok=True)
    text = markdown(report)
    base = os.path.join(args.out, started)
    with open(base + ".md", "w", encoding="utf-8") as f:
        f.write(text)
    with open(base + ".json", "w", encoding="utf-8") as f:
        json.dump(report, f, indent=1)
    print(text)
    print(f"wrote {base}.md and {base}.json", file=sys.stderr)


if __name__ == "__main__":
    main()
