"""Every file of the real-world corpus opens (or fails with the documented
error) and every method returns a well-formed result: no crash, no hang."""

import os
import subprocess
import sys
import threading

import pytest

from conftest import CORPUS

WORKER = os.path.join(os.path.dirname(__file__), "sweep_worker.py")
# Generous: the slowest corpus file takes well under a second per method.
SECONDS_PER_FILE = 60
BATCH = 8


def corpus_files():
    if not os.path.isdir(CORPUS):
        return []
    return sorted(os.path.join(CORPUS, f) for f in os.listdir(CORPUS) if f.lower().endswith(".pdf"))


def run_batch(paths):
    """Problems of one batch as (file, what happened) pairs."""
    try:
        done = subprocess.run([sys.executable, WORKER, *paths], capture_output=True, text=True,
                              timeout=SECONDS_PER_FILE * len(paths))
        lines, crashed = done.stdout.splitlines(), done.returncode != 0
        tail = done.stderr[-500:]
    except subprocess.TimeoutExpired as expired:
        out = expired.stdout or b""
        lines = (out.decode() if isinstance(out, bytes) else out).splitlines()
        crashed, tail = True, "timed out"
    problems = [(line[5:].split(":")[0], line) for line in lines if line.startswith("fail ")]
    if not crashed and tail.strip():
        # Nothing may ever be printed, least of all the reader's warnings.
        problems.append((paths[0], "printed to standard error: " + tail))
    started = [line[6:] for line in lines if line.startswith("start ")]
    finished = {line[5:] for line in lines if line.startswith("done ")}
    unfinished = [p for p in started if p not in finished]
    if crashed:
        culprit = unfinished[0] if unfinished else "(before the first file)"
        problems.append((culprit, "crashed or hung: " + tail))
        rest = paths[paths.index(culprit) + 1:] if culprit in paths else []
        if rest:
            problems.extend(run_batch(rest))  # the files after the culprit still get their run
    return problems


def test_corpus_sweep():
    files = corpus_files()
    if not files:
        pytest.skip("corpus not present")
    batches = [files[i:i + BATCH] for i in range(0, len(files), BATCH)]
    problems, lock = [], threading.Lock()

    def work():
        while True:
            with lock:
                if not batches:
                    return
                batch = batches.pop()
            found = run_batch(batch)
            with lock:
                problems.extend(found)

    threads = [threading.Thread(target=work) for _ in range(os.cpu_count() or 2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not problems, "\n".join("{}: {}".format(os.path.basename(f), why) for f, why in sorted(problems))
