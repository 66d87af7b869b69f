"""A small PDF writer for tests: exact control over every object, content
stream and the cross-reference table, so each fixture shows one fault."""

import zlib


def ref(number):
    return "{} 0 R".format(number)


def pdf_string(text):
    """A literal string with the characters that need it escaped."""
    if isinstance(text, str):
        text = text.encode("latin-1")
    out = text.replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)")
    return "(" + out.decode("latin-1") + ")"


class PdfWriter:
    """Objects are numbered from 1 in the order they are added or reserved."""

    def __init__(self):
        self.bodies = []

    def reserve(self):
        self.bodies.append(None)
        return len(self.bodies)

    def add(self, body, number=None):
        """Adds an object written in PDF syntax (str or bytes)."""
        if isinstance(body, str):
            body = body.encode("latin-1")
        if number is None:
            self.bodies.append(body)
            return len(self.bodies)
        self.bodies[number - 1] = body
        return number

    def add_stream(self, data, entries="", compress=False, filters=None, number=None):
        """A stream; `entries` are extra dictionary entries in PDF syntax.
        `compress` deflates the data; `filters` names the Filter entry as it
        is written, for data the caller has already encoded."""
        if isinstance(data, str):
            data = data.encode("latin-1")
        if compress:
            data = zlib.compress(data)
            filters = "/FlateDecode"
        head = "<< /Length {} {}".format(len(data), entries)
        if filters:
            head += " /Filter " + filters
        body = head.encode("latin-1") + b" >>\nstream\n" + data + b"\nendstream"
        return self.add(body, number)

    def tobytes(self, root, trailer_extra="", broken_xref=False):
        out = bytearray(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
        offsets = []
        for number, body in enumerate(self.bodies, start=1):
            offsets.append(len(out))
            if body is None:
                body = b"null"
            out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
        xref_at = len(out)
        out += b"xref\n0 %d\n" % (len(self.bodies) + 1)
        out += b"0000000000 65535 f \n"
        for offset in offsets:
            if broken_xref:
                offset += 7  # every entry points into the wrong place
            out += b"%010d 00000 n \n" % offset
        trailer = "trailer\n<< /Size {} /Root {} {} >>\n".format(len(self.bodies) + 1, ref(root), trailer_extra)
        out += trailer.encode("latin-1")
        out += b"startxref\n%d\n%%%%EOF\n" % xref_at
        return bytes(out)


HELVETICA = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"


def document(page_contents, fonts=None, page_extra="", compress=False):
    """A document with one page per content stream (str or bytes, or a list
    of them for a Contents array). `fonts` maps resource names to font
    dictionaries in PDF syntax; F1 is Helvetica by default."""
    w = PdfWriter()
    catalog = w.reserve()
    pages = w.reserve()
    fonts = {"F1": HELVETICA} if fonts is None else fonts
    font_refs = " ".join("/{} {}".format(name, ref(w.add(body))) for name, body in fonts.items())
    kids = []
    for content in page_contents:
        parts = content if isinstance(content, list) else [content]
        streams = [w.add_stream(part, compress=compress) for part in parts]
        contents = ref(streams[0]) if len(streams) == 1 else "[" + " ".join(ref(s) for s in streams) + "]"
        kids.append(w.add(
            "<< /Type /Page /Parent {} /MediaBox [0 0 612 792] /Resources << /Font << {} >> >> "
            "/Contents {} {} >>".format(ref(pages), font_refs, contents, page_extra)))
    w.add("<< /Type /Pages /Kids [{}] /Count {} >>".format(" ".join(ref(k) for k in kids), len(kids)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    return w, catalog


def simple_pdf(page_contents, **kwargs):
    w, catalog = document(page_contents, **kwargs)
    return w.tobytes(catalog)


def text_page(lines, size=12, font="F1", x=72, top=720, leading=None):
    """A content stream showing each line of text below the previous one."""
    leading = leading or size * 1.2
    ops = ["BT /{} {} Tf".format(font, size)]
    for i, line in enumerate(lines):
        ops.append("1 0 0 1 {} {} Tm {} Tj".format(x, top - i * leading, pdf_string(line)))
    ops.append("ET")
    return "\n".join(ops)
