"""Spans of the page walker, seen through _dbg_spans_xy and _dbg_spans."""

import math

import pytest

import quirelle
from pdf_writer import PdfWriter, ref, simple_pdf

# A simple font with neither ToUnicode nor Widths: every glyph is 500/1000 wide.
PLAIN = {"F1": "<< /Type /Font /Subtype /Type1 /BaseFont /Foo >>"}


def spans(content, fonts=PLAIN):
    return quirelle.from_bytes(simple_pdf([content], fonts=fonts))._dbg_spans_xy(1)


@pytest.mark.parametrize("content, expected", [
    ("BT /F1 12 Tf 100 700 Td (Hello World) Tj ET",
     [("Hello ", 100.0, 700.0, 30.0, 12.0), ("World", 136.0, 700.0, 30.0, 12.0)]),
    ("BT /F1 10 Tf 0 0 Td [(A) -200 (B)] TJ ET",
     [("A ", 0.0, 0.0, 5.0, 10.0), ("B", 7.0, 0.0, 5.0, 10.0)]),
    ("BT /F1 10 Tf 0 0 Td [(A) -100 (B)] TJ ET", [("AB", 0.0, 0.0, 11.0, 10.0)]),
    # size 1 under a text matrix scaling by 12: size 12, and the width drawn
    ("BT /F1 1 Tf 12 0 0 12 50 60 Tm (ab) Tj ET", [("ab", 50.0, 60.0, 12.0, 12.0)]),
    # the CTM scales position, width and size alike
    ("0.5 0 0 0.5 0 0 cm BT /F1 10 Tf 100 200 Td (x) Tj ET", [("x", 50.0, 100.0, 2.5, 5.0)]),
    ("1 0 0 1 50 0 cm BT /F1 10 Tf 100 200 Td (x) Tj ET", [("x", 150.0, 200.0, 5.0, 10.0)]),
    ("BT /F1 1.5 Tf 0 0 Td (tiny) Tj ET", []),
    ("BT /F1 0 Tf 0 0 Td (none) Tj ET", []),
    # the same word twice, 0.3 apart (fake bold), is one span
    ("BT /F1 10 Tf 10 10 Td (bold) Tj ET BT /F1 10 Tf 10.3 10 Td (bold) Tj ET",
     [("bold", 10.0, 10.0, 20.0, 10.0)]),
    ("BT /F1 10 Tf 14 TL 0 100 Td (a) Tj T* (b) Tj (c) ' ET",
     [("a", 0.0, 100.0, 5.0, 10.0), ("b", 0.0, 86.0, 5.0, 10.0), ("c", 0.0, 72.0, 5.0, 10.0)]),
    ("BT (no font) Tj ET", []),
])
def test_worked_examples(content, expected):
    assert [tuple(round(v, 4) if isinstance(v, float) else v for v in s) for s in spans(content)] == expected


def test_rotated_text_has_its_position_transformed():
    got = spans("0 1 -1 0 300 100 cm BT /F1 10 Tf 0 0 Td (up) Tj ET")
    assert len(got) == 1 and got[0][0] == "up"
    assert (round(got[0][1], 3), round(got[0][2], 3)) == (300.0, 100.0)


def test_dbg_spans_match_dbg_spans_xy():
    data = simple_pdf(["BT /F1 11 Tf 72 700 Td (Some words here) Tj 0 -14 Td (and more) Tj ET"], fonts=PLAIN)
    pdf = quirelle.from_bytes(data)
    with_y = pdf._dbg_spans_xy(1)
    assert [(t, x, w, s) for t, x, _, w, s in with_y] == pdf._dbg_spans(1)
    assert len(with_y) == 5


def test_tounicode_widths_and_two_byte_codes():
    w = PdfWriter()
    catalog, pages = w.reserve(), w.reserve()
    cmap = w.add_stream("begincmap 1 beginbfchar <0003> <0041> endbfchar 1 beginbfrange <0010> <0012> <0061> "
                        "endbfrange endcmap", compress=True)
    font = w.add("<< /Type /Font /Subtype /Type0 /BaseFont /XYZ+Bold /Encoding /Identity-H /ToUnicode {} "
                 "/DescendantFonts [<< /Subtype /CIDFontType2 /DW 600 /W [3 [250]] >>] >>".format(ref(cmap)))
    content = w.add_stream("BT /T0 10 Tf 0 0 Td <000300100011> Tj ET")
    page = w.add("<< /Type /Page /Parent {} /Resources << /Font << /T0 {} >> >> /Contents {} >>".format(
        ref(pages), ref(font), ref(content)))
    w.add("<< /Type /Pages /Kids [{}] /Count 1 >>".format(ref(page)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    got = quirelle.from_bytes(w.tobytes(catalog))._dbg_spans_xy(1)
    assert got == [("Aab", 0.0, 0.0, 2.5 + 6 + 6, 10.0)]


def test_real_files_yield_readable_words(corpus):
    cases = {
        "pdfminer-simple5.pdf": "Heading",                   # TeX, Type 1 with built-in encoding
        "pypdf-encryption-r2-empty-password.pdf": None,      # CID font, encrypted
    }
    for name, word in cases.items():
        text = " ".join(s[0] for s in quirelle.open(corpus(name))._dbg_spans(1))
        assert text.strip(), name
        if word:
            assert word in text, (name, text[:200])
