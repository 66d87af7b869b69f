"""extract_links: URI and internal links, explicit and named destinations."""

import quirelle
from pdf_writer import PdfWriter, ref


def links_document(annots, catalog_extra=""):
    """Two pages; page 1 carries the annotations (PDF syntax, with PAGE2
    standing for a reference to page 2)."""
    w = PdfWriter()
    catalog, pages, page1, page2 = w.reserve(), w.reserve(), w.reserve(), w.reserve()
    fill = lambda text: text.replace("PAGE2", ref(page2))
    annot_refs = [w.add(fill(a)) for a in annots]
    w.add("<< /Type /Page /Parent {} /Annots [{}] >>".format(ref(pages), " ".join(ref(a) for a in annot_refs)), page1)
    w.add("<< /Type /Page /Parent {} >>".format(ref(pages)), page2)
    w.add("<< /Type /Pages /Kids [{} {}] /Count 2 >>".format(ref(page1), ref(page2)), pages)
    kids_node = w.add(fill("<< /Names [(in tree) [PAGE2 /FitH 500] (via dict) << /D [PAGE2 /Fit] >>] >>"))
    loop_node = w.reserve()
    w.add("<< /Kids [{} {}] >>".format(ref(kids_node), ref(loop_node)), loop_node)  # a /Kids cycle
    w.add(fill("<< /Type /Catalog /Pages {} /Dests << /chap#201 [PAGE2 /XYZ 72 540 0] >> "
               "/Names << /Dests << /Kids [{}] >> >> {} >>".format(ref(pages), ref(loop_node), catalog_extra)), catalog)
    return w.tobytes(catalog)


def link(rect, rest):
    return "<< /Type /Annot /Subtype /Link /Rect {} {} >>".format(rect, rest)


def test_links():
    annots = [
        link("[300 700 100 650]", "/A << /S /URI /URI (https://example.org/) >> /Dest [PAGE2 /Fit]"),
        link("[0 0 10 10]", "/A << /S /JavaScript /JS (app.alert(1)) >> /Dest [PAGE2 /Fit]"),
        link("[0 0 /x 10]", "/Dest [PAGE2 /XYZ 72 540 0]"),
        link("[0 0 10]", "/Dest [PAGE2 /Fit]"),
        link("[1 1 2 2]", "/Dest [1 /XYZ 0 0 0]"),
        link("[1 1 2 2]", "/Dest /chap#201"),
        link("[1 1 2 2]", "/A << /S /GoTo /D (in tree) >>"),
        link("[1 1 2 2]", "/Dest (via dict)"),
        link("[1 1 2 2]", "/Dest (nowhere)"),
        "<< /Type /Annot /Subtype /Text /Rect [0 0 1 1] /Dest [PAGE2 /Fit] >>",
    ]
    got = quirelle.from_bytes(links_document(annots)).extract_links()
    assert list(got[0]) == ["page", "rect", "kind", "uri", "dest_page", "dest_name"]
    assert got[0] == {"page": 1, "rect": [100.0, 650.0, 300.0, 700.0], "kind": "uri",
                      "uri": "https://example.org/", "dest_page": None, "dest_name": None}
    assert got[1] == {"page": 1, "rect": [0.0, 0.0, 0.0, 10.0], "kind": "internal",
                      "uri": None, "dest_page": 2, "dest_name": None}
    assert [(l["dest_page"], l["dest_name"]) for l in got[2:]] == [
        (2, "chap 1"), (2, "in tree"), (2, "via dict"), (None, "nowhere")]
    assert all(l["kind"] == "internal" for l in got[1:])


def test_no_links():
    assert quirelle.from_bytes(links_document([])).extract_links() == []


def test_links_of_real_files(corpus):
    links = quirelle.open(corpus("pdfminer-simple5.pdf")).extract_links()
    assert links and all(l["page"] >= 1 and len(l["rect"]) == 4 for l in links)
