"""The Python surface: names, signatures, docstrings, argument rules and the
errors of opening a document."""

import inspect
import pathlib
import threading

import pytest

import quirelle
from pdf_writer import simple_pdf, text_page

HELLO = simple_pdf([text_page(["Hello"]), text_page(["World"])])

METHODS = ["page_count", "extract_text", "extract_images", "extract_fonts", "extract_tables",
           "extract_links", "to_html", "toc", "section", "_mine_text", "_dbg_spans",
           "_dbg_spans_xy", "debug_page", "extract_page_text"]


@pytest.fixture
def hello_path(tmp_path):
    path = tmp_path / "hello.pdf"
    path.write_bytes(HELLO)
    return str(path)


def test_module_exports():
    assert quirelle._quirelle.__all__ == ["Pdf", "open", "from_bytes", "__version__"]
    assert quirelle.__all__ == ["Pdf", "open", "from_bytes", "__version__"]
    assert quirelle.__version__ == "0.0.4"
    assert quirelle.open is not quirelle.Pdf.open  # module shorthand and static method
    assert [m for m in vars(quirelle.Pdf) if m in METHODS] == METHODS


@pytest.mark.parametrize("function, signature", [
    (quirelle.open, '(path, mode="section", images=True, toc=True)'),
    (quirelle.Pdf.open, '(path, mode="section", images=True, toc=True)'),
    (quirelle.from_bytes, '(data, mode="section", images=True, toc=True)'),
    (quirelle.Pdf.from_bytes, '(data, mode="section", images=True, toc=True)'),
    (quirelle.Pdf.page_count, "($self)"),
    (quirelle.Pdf.section, "($self, name)"),
    (quirelle.Pdf.debug_page, "($self, page)"),
    (quirelle.Pdf.extract_page_text, "($self, page)"),
])
def test_text_signatures(function, signature):
    assert function.__text_signature__ == signature


def test_docstrings():
    assert quirelle.Pdf.page_count.__doc__ == "Number of pages."
    assert quirelle.Pdf.from_bytes.__doc__ == (
        "Open a PDF from raw bytes. See `open` for the `mode`/`images`/`toc` flags.")
    assert quirelle.Pdf.open.__doc__.startswith("Open a PDF from a filesystem path.\n\n`mode` chooses")
    assert quirelle.open.__doc__.startswith("Open a PDF from a filesystem path \u2014 `quirelle.open(")
    assert quirelle.Pdf.extract_text.__doc__.startswith(
        "Extract plain text from all pages (concatenated, page order).\n\n")
    assert quirelle.Pdf.section.__doc__.endswith("E.g. `section(\"abstract\")`. None if no match.")
    assert str(inspect.signature(quirelle.Pdf.extract_page_text)) == "(self, /, page)"


def test_open_and_from_bytes(hello_path):
    for pdf in (quirelle.open(hello_path), quirelle.Pdf.open(hello_path, "page", False, False),
                quirelle.from_bytes(HELLO), quirelle.Pdf.from_bytes(data=HELLO, mode="page", images=False)):
        assert isinstance(pdf, quirelle.Pdf)
        assert pdf.page_count() == 2


def test_class_has_no_constructor():
    with pytest.raises(TypeError, match="^No constructor defined for Pdf$"):
        quirelle.Pdf()


@pytest.mark.parametrize("call, message", [
    (lambda p: quirelle.open(p, mode="Page"), 'invalid mode Page: expected "section" or "page"'),
    (lambda p: quirelle.open("/nonexistent/x.pdf", mode="Page"), 'invalid mode Page: expected "section" or "page"'),
    (lambda p: quirelle.from_bytes(b"", mode=""), 'invalid mode : expected "section" or "page"'),
    (lambda p: quirelle.open("/nonexistent/missing.pdf"), "read failed: No such file or directory"),
    (lambda p: quirelle.open(p + "\0x"), "read failed: "),
    (lambda p: quirelle.open("/"), "read failed: Is a directory"),
    (lambda p: quirelle.from_bytes(b""), "parse failed: "),
    (lambda p: quirelle.from_bytes(b"%PDF-1.4 not really a pdf at all"), "parse failed: "),
])
def test_open_errors(hello_path, call, message):
    with pytest.raises(ValueError) as error:
        call(hello_path)
    assert str(error.value).startswith(message)


def test_open_of_garbage_file(tmp_path):
    path = tmp_path / "garbage.pdf"
    path.write_bytes(b"\x00\xff" * 500)
    with pytest.raises(ValueError, match="^open failed: "):
        quirelle.open(str(path))


@pytest.mark.parametrize("call", [
    lambda p: quirelle.from_bytes(bytearray(HELLO)),
    lambda p: quirelle.from_bytes(memoryview(HELLO)),
    lambda p: quirelle.open(pathlib.Path(p)),
    lambda p: quirelle.open(p.encode()),
    lambda p: quirelle.open(p, images=1),
    lambda p: quirelle.open(p, toc=None),
    lambda p: quirelle.open(p, mode=b"page"),
    lambda p: quirelle.open(),
    lambda p: quirelle.open(p, "section", True, True, True),
    lambda p: quirelle.open(p, path=p),
    lambda p: quirelle.open(p, colour=True),
    lambda p: quirelle.from_bytes(HELLO).page_count(1),
    lambda p: quirelle.from_bytes(HELLO).extract_page_text("1"),
    lambda p: quirelle.from_bytes(HELLO).extract_page_text(1.0),
    lambda p: quirelle.from_bytes(HELLO).section(1),
])
def test_argument_type_errors(hello_path, call):
    with pytest.raises(TypeError):
        call(hello_path)


def test_type_error_names_the_argument(hello_path):
    with pytest.raises(TypeError, match="images"):
        quirelle.open(hello_path, images=1)
    with pytest.raises(TypeError, match="data"):
        quirelle.from_bytes(bytearray(HELLO))


def test_booleans_accept_false_and_numpy(hello_path):
    quirelle.open(hello_path, images=False, toc=False)
    numpy = pytest.importorskip("numpy")
    quirelle.open(hello_path, images=numpy.bool_(False), toc=numpy.bool_(True))


@pytest.mark.parametrize("method", ["extract_page_text", "debug_page", "_dbg_spans", "_dbg_spans_xy"])
def test_page_numbers(method):
    pdf = quirelle.from_bytes(HELLO)
    call = getattr(pdf, method)
    numbered = method in ("extract_page_text", "debug_page")
    for page in (0, 3, 2**32 - 1):
        with pytest.raises(ValueError) as error:
            call(page)
        assert str(error.value) == ("no page {}".format(page) if numbered else "no page")
    for page in (-1, 2**32, 2**70):
        with pytest.raises(OverflowError, match="page"):
            call(page)
    with pytest.raises(ValueError):
        call(page=0)


def test_bytes_argument_is_copied():
    data = bytearray(HELLO)
    pdf = quirelle.from_bytes(bytes(data))
    data[:] = b"x" * len(data)
    assert pdf.page_count() == 2


def test_every_method_is_callable():
    # Methods not built yet raise NotImplementedError instead of crashing.
    pdf = quirelle.from_bytes(HELLO)
    for name in METHODS:
        args = ("abstract",) if name == "section" else (1,) if name in (
            "debug_page", "_dbg_spans", "_dbg_spans_xy", "extract_page_text") else ()
        try:
            getattr(pdf, name)(*args)
        except NotImplementedError:
            pass


def test_pdf_shared_between_threads():
    pdf = quirelle.from_bytes(HELLO)
    counts = []
    threads = [threading.Thread(target=lambda: counts.append(pdf.page_count())) for _ in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert counts == [2] * 8
