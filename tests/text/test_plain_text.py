"""Plain text in reading order, and the hybrid rule."""

import quirelle
from pdf_writer import simple_pdf

PLAIN = {"F1": "<< /Type /Font /Subtype /Type1 /BaseFont /Foo >>"}


def show(*items, size=10):
    """Text objects for (x, y, text) items."""
    return " ".join("BT /F1 {} Tf {} {} Td ({}) Tj ET".format(size, x, y, t) for x, y, t in items)


def text_of(content, fonts=PLAIN):
    return quirelle.from_bytes(simple_pdf([content], fonts=fonts)).extract_page_text(1)


def test_spacing_between_words_on_one_baseline():
    # "ab" is 10 wide at size 10: a gap of 1 (<= 2) joins, a gap of 3 separates
    assert text_of(show((0, 0, "ab"), (11, 0, "cd"))) == "abcd"
    assert text_of(show((0, 0, "ab"), (13, 0, "cd"))) == "ab cd"
    assert text_of(show((0, 0, "ab "), (30, 0, "cd"))) == "ab cd"  # no second space


def test_two_columns_come_out_column_by_column():
    left = [(72, 700 - 12 * i, "left{}".format(i)) for i in range(10)]
    right = [(302, 700 - 12 * i, "right{}".format(i)) for i in range(10)]
    text = text_of(show(*(left + right)))
    lines = text.split("\n")
    assert lines == ["left{}".format(i) for i in range(10)] + ["right{}".format(i) for i in range(10)]


def test_single_character_pages_use_the_fallback():
    # The engine reads "A" only; the fallback reads the same and gives it back.
    assert text_of(show((0, 0, "A"))) == "A"
    assert text_of(show((0, 0, "AB"))) == "AB"


def test_engine_uses_no_base_encoding():
    # Byte 0x93 is a curly quote in WinAnsi, but the engine reads it as U+0093;
    # with two characters on the page its own text stands.
    fonts = {"F1": "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"}
    pdf = quirelle.from_bytes(simple_pdf(["BT /F1 10 Tf 0 0 Td (\\223x) Tj ET"], fonts=fonts))
    assert pdf.extract_page_text(1) == "\u0093x"


def test_pages_the_engine_cannot_read_use_the_fallback():
    # The two-byte font's ToUnicode map covers none of the codes shown, so the
    # engine decodes nothing; the fallback reads the codes as characters.
    from pdf_writer import PdfWriter, ref
    w = PdfWriter()
    catalog, pages = w.reserve(), w.reserve()
    cmap = w.add_stream("beginbfchar <0001> <0041> endbfchar")
    font = w.add("<< /Type /Font /Subtype /Type0 /BaseFont /Foo /Encoding /Identity-H /ToUnicode {} "
                 "/DescendantFonts [<< /Subtype /CIDFontType2 >>] >>".format(ref(cmap)))
    content = w.add_stream("BT /F1 10 Tf 0 0 Td <00480065006C006C006F> Tj ET")
    page = w.add("<< /Type /Page /Parent {} /Resources << /Font << /F1 {} >> >> /Contents {} >>".format(
        ref(pages), ref(font), ref(content)))
    w.add("<< /Type /Pages /Kids [{}] /Count 1 >>".format(ref(page)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    pdf = quirelle.from_bytes(w.tobytes(catalog))
    assert pdf._mine_text() == "\n"
    assert pdf.extract_page_text(1) == "Hello"
    assert pdf.extract_text() == "Hello\n"


def test_extract_text_ends_every_page_with_a_newline():
    data = simple_pdf([show((0, 0, "one")), "", show((0, 0, "three"))], fonts=PLAIN)
    pdf = quirelle.from_bytes(data)
    assert pdf.extract_text() == "one\n\nthree\n"
    assert pdf._mine_text() == "one\n\nthree\n"
    assert pdf.extract_page_text(2) == ""


def test_empty_document():
    from pdf_writer import PdfWriter
    w = PdfWriter()
    w.add("<< /Type /Catalog /Pages 2 0 R >>")
    w.add("<< /Type /Pages /Kids [] /Count 0 >>")
    pdf = quirelle.from_bytes(w.tobytes(1))
    assert (pdf.page_count(), pdf.extract_text(), pdf._mine_text()) == (0, "", "")


def test_real_text(corpus):
    text = quirelle.open(corpus("pdfminer-simple5.pdf")).extract_text()
    assert "Heading" in text
