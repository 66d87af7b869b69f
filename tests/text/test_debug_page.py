"""debug_page: the exact report on fonts, ToUnicode streams and content."""

import quirelle
from pdf_writer import PdfWriter, ref, simple_pdf


def test_page_without_fonts():
    data = simple_pdf(["0 0 m 10 10 l S"], fonts={})
    assert quirelle.from_bytes(data).debug_page(1) == "fonts=0\nops=3\nTf_names=[]\n"


def test_missing_content():
    w = PdfWriter()
    w.add("<< /Type /Catalog /Pages 2 0 R >>")
    w.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
    w.add("<< /Type /Page /Parent 2 0 R /Resources << >> >>")
    report = quirelle.from_bytes(w.tobytes(1)).debug_page(1)
    assert report.startswith("fonts=0\ncontent ERR: ")
    assert "ops=" not in report and report.endswith("\n")


def test_full_report():
    w = PdfWriter()
    catalog, pages = w.reserve(), w.reserve()
    cmap_text = 'beginbfchar <01><0041>\n<02><0042> endbfchar "q\\"'  # 48 characters
    good = w.add_stream(cmap_text)
    # A filter the reader cannot undo: the count then comes from the raw bytes.
    odd = w.add_stream("beginbfchar <05> <0043> endbfchar", filters="/DCTDecode")
    fonts = {
        "F2": w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Foo /ToUnicode {} >>".format(ref(good))),
        "F1": w.add("<< /Type /Font /Subtype /Type0 /BaseFont /Bar /ToUnicode {} >>".format(ref(odd))),
        "F3": w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Baz /ToUnicode 99 0 R >>"),
    }
    content = w.add_stream("BT /F1 1 Tf /F2 1 Tf /F1 1 Tf 3 Tf /F3 1 Tf /F2 1 Tf /F1 1 Tf ET")
    resources = " ".join("/{} {}".format(n, ref(o)) for n, o in fonts.items())
    page = w.add("<< /Type /Page /Parent {} /Resources << /Font << {} >> >> /Contents {} >>".format(
        ref(pages), resources, ref(content)))
    w.add("<< /Type /Pages /Kids [{}] /Count 1 >>".format(ref(page)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    report = quirelle.from_bytes(w.tobytes(catalog)).debug_page(1)
    lines = report.split("\n")
    assert lines[0] == "fonts=3"
    assert sorted(lines[1:4]) == ["  'F1': two_byte=true tounicode_len=1",
                                  "  'F2': two_byte=false tounicode_len=2",
                                  "  'F3': two_byte=false tounicode_len=-1"]
    assert lines[4] == ("  TU 'F1': ref=({}, 0) raw=33 dec=-1 parsed=1 dict=<</Filter /DCTDecode/Length 33>> "
                        "sample=\"beginbfchar <05> <0043> endbfchar\"".format(odd))
    assert lines[5] == ("  TU 'F2': ref=({}, 0) raw={} dec={} parsed=2 dict=<</Length {}>> "
                        "sample=\"beginbfchar <01><0041>\\n<02><0042> endbfchar \\\"q\\\\\\\"\"".format(
                            good, len(cmap_text), len(cmap_text), len(cmap_text)))
    assert lines[6:] == ["ops=9", 'Tf_names=["F1", "F2", "F1", "F3", "F2"]', ""]
