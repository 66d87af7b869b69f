"""Opens each PDF named on the command line and calls every method on it,
checking the shape of each result. Prints "start NAME" before and "done NAME"
after each file (flushed), so the parent can name the file that crashed or
hung, and "fail NAME: WHY" for a malformed result or an unexpected error."""

import sys

import quirelle


def is_str_keyed_dicts(value):
    return isinstance(value, list) and all(
        isinstance(d, dict) and all(isinstance(k, str) for k in d) for d in value)


def check_spans(pdf, page, name, width):
    spans = getattr(pdf, name)(page)
    assert isinstance(spans, list), name
    for span in spans:
        assert isinstance(span, tuple) and len(span) == width, (name, span)
        assert isinstance(span[0], str) and span[0].strip(), (name, span)
        assert all(isinstance(v, float) for v in span[1:]), (name, span)


def check_debug_page(pdf, page):
    report = pdf.debug_page(page)
    assert isinstance(report, str) and report.startswith("fonts=") and report.endswith("\n"), report


def check_toc(pdf):
    toc = pdf.toc()
    assert isinstance(toc, list) and all(isinstance(e, tuple) and len(e) == 4 for e in toc)


def checks(pdf):
    """One check per method; each is run on its own."""
    pages = pdf.page_count()
    assert isinstance(pages, int) and pages >= 0
    yield lambda: isinstance(pdf.extract_text(), str) or 1 / 0
    yield lambda: isinstance(pdf._mine_text(), str) or 1 / 0
    for page in (sorted({1, pages}) if pages else []):
        yield lambda page=page: check_spans(pdf, page, "_dbg_spans", 4)
        yield lambda page=page: check_spans(pdf, page, "_dbg_spans_xy", 5)
        yield lambda page=page: check_debug_page(pdf, page)
        yield lambda page=page: isinstance(pdf.extract_page_text(page), str) or 1 / 0
    for name in ("extract_fonts", "extract_images", "extract_links", "extract_tables"):
        yield lambda name=name: is_str_keyed_dicts(getattr(pdf, name)()) or 1 / 0
    yield lambda: isinstance(pdf.to_html(), str) or 1 / 0
    yield lambda: check_toc(pdf)


def run_checks(pdf):
    for check in checks(pdf):
        try:
            check()
        except NotImplementedError:
            pass  # not built yet


def sweep(path):
    try:
        from_path = quirelle.open(path)
    except ValueError as error:
        assert str(error).startswith("open failed: "), str(error)
        with open(path, "rb") as f:
            data = f.read()
        try:
            quirelle.from_bytes(data)
        except ValueError as again:
            assert str(again).startswith("parse failed: "), str(again)
            return
        raise AssertionError("from_bytes opened what open refused")
    with open(path, "rb") as f:
        from_bytes = quirelle.from_bytes(f.read())
    assert from_path.page_count() == from_bytes.page_count()
    run_checks(from_path)
    run_checks(from_bytes)


def main(paths):
    for path in paths:
        print("start", path, flush=True)
        try:
            sweep(path)
        except Exception as error:  # reported by name; the sweep goes on
            print("fail {}: {}: {}".format(path, type(error).__name__, error), flush=True)
        print("done", path, flush=True)


if __name__ == "__main__":
    main(sys.argv[1:])
