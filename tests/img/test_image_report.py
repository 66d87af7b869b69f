"""extract_images: image XObjects of each page's own resources, bytes as stored."""

import zlib

import quirelle
from pdf_writer import PdfWriter, ref


def images_document():
    w = PdfWriter()
    catalog, pages = w.reserve(), w.reserve()
    jpeg_bytes = zlib.compress(b"\xff\xd8\xff\xe0 not really a jpeg \xff\xd9")
    form = w.add_stream("0 0 m", "/Type /XObject /Subtype /Form /BBox [0 0 1 1]")
    jpeg = w.add_stream(jpeg_bytes, "/Type /XObject /Subtype /Image /Width 4 /Height 2 /ColorSpace /DeviceRGB "
                        "/BitsPerComponent 8", filters="[/FlateDecode /DCTDecode]")
    indexed = w.add_stream(b"\x00\x01", "/Subtype /Image /Width 2 /Height 1 /BitsPerComponent 8 "
                           "/ColorSpace [/Indexed /DeviceRGB 1 <000000FFFFFF>]")
    mask = w.add_stream(b"\x80", "/Subtype /Image /Width 1 /Height 1 /ImageMask true", filters="/CCITTFaxDecode")
    xobjects = "<< /A {} /B {} /C {} /D {} >>".format(ref(form), ref(jpeg), ref(indexed), ref(mask))
    page1 = w.add("<< /Type /Page /Parent {} /Resources << /XObject {} >> >>".format(ref(pages), xobjects))
    page2 = w.add("<< /Type /Page /Parent {} /Resources << /XObject << /Im {} >> >> >>".format(ref(pages), ref(jpeg)))
    w.add("<< /Type /Pages /Kids [{} {}] /Count 2 >>".format(ref(page1), ref(page2)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    return w.tobytes(catalog), jpeg_bytes


def test_image_report():
    data, jpeg_bytes = images_document()
    images = quirelle.from_bytes(data).extract_images()
    assert [(i["page"], i["index"]) for i in images] == [(1, 0), (1, 1), (1, 2), (2, 0)]
    assert list(images[0]) == ["page", "index", "width", "height", "color_space", "format", "data"]
    first = images[0]
    assert (first["width"], first["height"], first["color_space"], first["format"]) == (4, 2, "DeviceRGB", "jpeg")
    assert first["data"] == jpeg_bytes  # as stored: still deflated
    assert (images[1]["color_space"], images[1]["format"]) == ("Indexed", "raw")
    assert (images[2]["color_space"], images[2]["format"]) == (None, "ccitt")
    assert images[3]["data"] == jpeg_bytes


def test_image_report_of_real_files(corpus):
    images = quirelle.open(corpus("camelot-birdisland.pdf")).extract_images()  # encrypted
    assert images and all(isinstance(i["data"], bytes) and i["data"] for i in images)
