"""extract_fonts: facts read from the font dictionaries of every page."""

import quirelle
from pdf_writer import PdfWriter, ref


def two_pages_sharing_fonts():
    w = PdfWriter()
    catalog, pages = w.reserve(), w.reserve()
    descriptor = w.add("<< /Type /FontDescriptor /FontFile2 99 0 R >>")
    descendant = w.add("<< /Type /Font /Subtype /CIDFontType2 /FontDescriptor {} >>".format(ref(descriptor)))
    fonts = {
        "T0": w.add("<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Noto /Encoding /Identity-H "
                    "/DescendantFonts [{}] /ToUnicode 77 0 R >>".format(ref(descendant))),
        "T3": w.add("<< /Type /Font /Subtype /Type3 /Encoding << /Differences [1 /a] >> >>"),
        "A1": w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"),
    }
    resources = "<< /Font << {} >> >>".format(" ".join("/{} {}".format(n, ref(o)) for n, o in fonts.items()))
    kids = [w.add("<< /Type /Page /Parent {} /Resources {} >>".format(ref(pages), resources)) for _ in range(2)]
    w.add("<< /Type /Pages /Kids [{}] /Count 2 >>".format(" ".join(ref(k) for k in kids)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    return w.tobytes(catalog)


def test_font_report():
    fonts = quirelle.from_bytes(two_pages_sharing_fonts()).extract_fonts()
    assert [(f["page"], f["name"]) for f in fonts] == [(1, "A1"), (1, "T0"), (1, "T3"), (2, "A1"), (2, "T0"), (2, "T3")]
    assert list(fonts[0]) == ["page", "name", "subtype", "base_font", "encoding", "embedded", "has_tounicode"]
    assert fonts[0] == {"page": 1, "name": "A1", "subtype": "Type1", "base_font": "Helvetica",
                        "encoding": "WinAnsiEncoding", "embedded": False, "has_tounicode": False}
    # the descendant's descriptor names FontFile2; a ToUnicode to a missing object still counts
    assert fonts[1] == {"page": 1, "name": "T0", "subtype": "Type0", "base_font": "ABCDEF+Noto",
                        "encoding": "Identity-H", "embedded": True, "has_tounicode": True}
    assert fonts[2] == {"page": 1, "name": "T3", "subtype": "Type3", "base_font": "",
                        "encoding": "custom", "embedded": False, "has_tounicode": False}


def test_font_report_of_real_files(corpus):
    fonts = quirelle.open(corpus("pdfminer-simple5.pdf")).extract_fonts()
    assert fonts and all(f["page"] == 1 for f in fonts)
    assert any(f["embedded"] for f in fonts)
