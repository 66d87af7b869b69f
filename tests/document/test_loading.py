"""Loading through the reader: damaged, encrypted and odd page trees."""

import quirelle
from pdf_writer import PdfWriter, simple_pdf, text_page


def test_broken_cross_reference_table_is_recovered():
    data = simple_pdf([text_page(["one"]), text_page(["two"]), text_page(["three"])])
    assert quirelle.from_bytes(data).page_count() == 3
    # startxref points nowhere and the table's header is wrong
    broken = data.replace(b"startxref\n", b"startxref\n9").replace(b"xref\n0", b"xref\n5")
    assert quirelle.from_bytes(broken).page_count() == 3
    assert quirelle.from_bytes(data[: data.rindex(b"xref")]).page_count() == 3  # no table at all


def test_offsets_pointing_elsewhere_are_recovered():
    w = PdfWriter()
    w.add("<< /Type /Catalog /Pages 2 0 R >>")
    w.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
    w.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >>")
    assert quirelle.from_bytes(w.tobytes(1, broken_xref=True)).page_count() == 1


def test_unreadable_page_tree_gives_no_pages():
    w = PdfWriter()
    w.add("<< /Type /Catalog /Pages 5 0 R >>")
    w.add("<< /Producer (nothing) >>")
    assert quirelle.from_bytes(w.tobytes(1)).page_count() == 0


def test_encrypted_with_empty_user_password_opens(corpus):
    for name in ("pypdf-encryption-r2-empty-password.pdf", "pypdf-encryption-r6-empty-password.pdf",
                 "camelot-birdisland.pdf"):
        assert quirelle.open(corpus(name)).page_count() >= 1


def test_encrypted_with_a_real_user_password_fails(corpus):
    for name in ("pdfminer-encryption-aes-256-r6.pdf", "pdfminer-encryption-aes-128.pdf"):
        path = corpus(name)
        try:
            quirelle.open(path)
        except ValueError as error:
            assert str(error).startswith("open failed: ")
        else:
            raise AssertionError(name + " opened without its password")
        with open(path, "rb") as f:
            data = f.read()
        try:
            quirelle.from_bytes(data)
        except ValueError as error:
            assert str(error).startswith("parse failed: ")
        else:
            raise AssertionError(name + " opened without its password")


def test_damaged_files_without_a_trailer_keyword_open(corpus):
    # Their Root is only in a cross-reference stream that recovery skips.
    assert quirelle.open(corpus("pdfjs-pdfbox-3148-2-fuzzed.pdf")).page_count() == 1


def test_pages_of_a_lost_page_tree_are_found():
    # The Pages root is missing; the two page objects survive.
    w = PdfWriter()
    w.add("<< /Type /Catalog /Pages 9 0 R >>")
    w.add("<< /Type /Page /Parent 9 0 R /MediaBox [0 0 10 10] >>")
    w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>")
    w.add("<< /Type /Page /Parent 9 0 R /MediaBox [0 0 10 10] >>")
    assert quirelle.from_bytes(w.tobytes(1)).page_count() == 2


def test_real_files_with_a_lost_page_tree(corpus):
    assert quirelle.open(corpus("pysamples-unreadablemetadata.pdf")).page_count() == 3
