"""Many threads on shared and separate documents, and memory that stays flat
over thousands of documents."""

import resource
import threading

import quirelle

CALLS = ("page_count", "extract_text", "_mine_text", "extract_fonts", "extract_images", "extract_links")
PAGE_CALLS = ("extract_page_text", "debug_page", "_dbg_spans", "_dbg_spans_xy")


def everything(pdf):
    """Every built method's result, in a fixed order."""
    results = []
    for name in CALLS + ("extract_tables", "to_html", "toc"):
        try:
            results.append(getattr(pdf, name)())
        except NotImplementedError:
            results.append(None)
    for page in range(1, pdf.page_count() + 1):
        results.extend(getattr(pdf, name)(page) for name in PAGE_CALLS)
    return results


def test_threads_share_one_document_and_agree(corpus):
    path = corpus("pdfminer-simple5.pdf")
    expected = everything(quirelle.open(path))
    shared = quirelle.open(path)
    outcomes = []

    def work(own):
        pdf = quirelle.open(path) if own else shared
        for _ in range(3):
            outcomes.append(everything(pdf) == expected)

    threads = [threading.Thread(target=work, args=(i % 2 == 0,)) for i in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert outcomes == [True] * 24


def rss_kb():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * resource.getpagesize() // 1024


def test_memory_stays_flat_over_thousands_of_documents(corpus):
    with open(corpus("pdfminer-simple5.pdf"), "rb") as f:
        data = f.read()

    def round_trip():
        pdf = quirelle.from_bytes(data)
        everything(pdf)

    for _ in range(200):  # let allocator caches settle first
        round_trip()
    before = rss_kb()
    for _ in range(2000):
        round_trip()
    growth_mb = (rss_kb() - before) / 1024
    assert growth_mb < 16, "resident memory grew by {:.1f} MB".format(growth_mb)


def test_conversions_do_not_hold_the_lock(corpus):
    """While another thread converts, this thread keeps running Python code."""
    import time
    pdf = quirelle.open(corpus("pdfjs-tracemonkey.pdf"))
    for name, args in (("to_html", ()), ("toc", ()), ("section", ("introduction",))):
        method = getattr(pdf, name)
        try:
            started = time.perf_counter()
            method(*args)
            alone = time.perf_counter() - started
        except NotImplementedError:
            continue  # not built yet
        done = threading.Event()

        def convert():
            for _ in range(5):
                method(*args)
            done.set()

        worker = threading.Thread(target=convert)
        worker.start()
        longest_pause, last = 0.0, time.perf_counter()
        while not done.is_set():
            now = time.perf_counter()
            longest_pause, last = max(longest_pause, now - last), now
        worker.join()
        # Holding the lock for a whole conversion would stall this loop that long.
        assert longest_pause < max(alone / 2, 0.05), (name, longest_pause, alone)
