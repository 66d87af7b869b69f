"""Images and figures as a browser shows them: the encoder's data URIs (PNGs
with alpha from half-resolution soft masks, one stored inverted under a
Decode array, and a JPEG) and the SVG of a real bar chart, opened in
headless Chromium; the layout is read back from the DOM and the pixels from
a screenshot."""

import io
import json
import os
import shutil
import subprocess
import zlib

import pytest
from PIL import Image

from pdf_writer import PdfWriter, ref

HERE = os.path.dirname(__file__)
TOOLS_DIR = os.environ.get("QUIRELLE_TOOLS_DIR", os.path.join(HERE, "..", "..", "build", "wheel"))
PAGE_TOOL = os.path.join(TOOLS_DIR, "page_media_html")

BACKGROUND = (0x30, 0x60, 0xC0)
RED = (255, 0, 0)
GREEN = (0, 160, 0)
# The chart's bar colours in the file.
BAR_COLOURS = [(0x00, 0x45, 0x86), (0xFF, 0x42, 0x0E), (0xFF, 0xD3, 0x20)]
# The category axis draws "1 ligne" and so on in two runs each.
CHART_LABELS = ["ligne"] * 4 + ["0", "2", "4", "6", "8", "10", "12"]

PAGE = """<!doctype html>
<html><head><meta charset="utf-8"></head>
<body style="margin:0;background:#3060c0">
<div id="images" style="padding:10px">{images}</div>
<div id="chart" style="width:600px;background:#fff">{chart}</div>
<pre id="layout" hidden></pre>
<script>
function box(e) {{
  const r = e.getBoundingClientRect();
  return [r.left, r.top, r.width, r.height];
}}
document.getElementById("layout").textContent = JSON.stringify({{
  images: [...document.images].map(i => ({{natural: [i.naturalWidth, i.naturalHeight], box: box(i)}})),
  svg: [...document.querySelectorAll("#chart svg")].map(box),
  labels: [...document.querySelectorAll("#chart text")].map(t => ({{text: t.textContent, box: box(t)}})),
}});
</script>
</body></html>
"""


def browser():
    for name in ("chromium", "chromium-browser"):
        if shutil.which(name):
            return shutil.which(name)
    return None


@pytest.fixture
def chromium():
    path = browser()
    missing = [what for what, ok in (("chromium", path), (PAGE_TOOL, os.path.exists(PAGE_TOOL))) if not ok]
    if missing:
        if os.environ.get("QUIRELLE_REQUIRE_BROWSER"):
            pytest.fail("missing for the browser test: " + ", ".join(missing))
        pytest.skip("missing for the browser test: " + ", ".join(missing))
    return path


def images_pdf():
    """One page drawing a red 64 x 32 Flate image whose 32 x 16 soft mask is
    opaque on the left half and clear on the right, the same with its mask
    stored inverted under Decode [1 0], and a green JPEG."""
    jpeg = io.BytesIO()
    Image.new("RGB", (48, 40), GREEN).save(jpeg, "JPEG", quality=95)
    w = PdfWriter()
    catalog, pages = w.reserve(), w.reserve()
    mask = w.add_stream(zlib.compress((b"\xff" * 16 + b"\x00" * 16) * 16),
                        "/Subtype /Image /Width 32 /Height 16 /ColorSpace /DeviceGray /BitsPerComponent 8",
                        filters="/FlateDecode")
    inverted_mask = w.add_stream(zlib.compress((b"\x00" * 16 + b"\xff" * 16) * 16),
                                 "/Subtype /Image /Width 32 /Height 16 /ColorSpace /DeviceGray "
                                 "/BitsPerComponent 8 /Decode [1 0]", filters="/FlateDecode")
    red, red_inverted = (w.add_stream(zlib.compress(bytes(RED) * 64 * 32),
                                      "/Subtype /Image /Width 64 /Height 32 /ColorSpace /DeviceRGB "
                                      "/BitsPerComponent 8 /SMask {}".format(ref(m)), filters="/FlateDecode")
                         for m in (mask, inverted_mask))
    green = w.add_stream(jpeg.getvalue(), "/Subtype /Image /Width 48 /Height 40 /ColorSpace /DeviceRGB "
                         "/BitsPerComponent 8", filters="/DCTDecode")
    content = w.add_stream("q 128 0 0 64 72 600 cm /Red Do Q q 128 0 0 64 72 500 cm /Inv Do Q "
                           "q 96 0 0 80 72 400 cm /Green Do Q")
    page = w.add("<< /Type /Page /Parent {} /MediaBox [0 0 612 792] /Contents {} "
                 "/Resources << /XObject << /Red {} /Inv {} /Green {} >> >> >>".format(
                     ref(pages), ref(content), ref(red), ref(red_inverted), ref(green)))
    w.add("<< /Type /Pages /Kids [{}] /Count 1 >>".format(ref(page)), pages)
    w.add("<< /Type /Catalog /Pages {} >>".format(ref(pages)), catalog)
    return w.tobytes(catalog)


def page_media(path, page):
    return subprocess.run([PAGE_TOOL, path, str(page)], check=True, capture_output=True, text=True,
                          timeout=60).stdout


def run_chromium(chromium, tmp_path, *args):
    command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
               "--force-device-scale-factor=1", "--window-size=800,800",
               "--user-data-dir=" + str(tmp_path / "profile"), *args]
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=120).stdout


def close_to(pixel, colour, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel[:3], colour))


def pixels_in(shot, box):
    left, top, width, height = (round(v) for v in box)
    data = shot.crop((left, top, left + width, top + height)).tobytes()
    return list(zip(data[0::3], data[1::3], data[2::3]))


def test_images_and_chart_in_a_browser(chromium, tmp_path, corpus):
    fixture = tmp_path / "images.pdf"
    fixture.write_bytes(images_pdf())
    images = page_media(str(fixture), 1)
    chart = page_media(corpus("pdfplumber-figure-structure.pdf"), 1)
    assert images.count("<img ") == 3 and "data:image/png;base64," in images and "data:image/jpeg;base64," in images
    assert chart.count("<svg ") == 1
    html = tmp_path / "page.html"
    html.write_text(PAGE.format(images=images, chart=chart), encoding="utf-8")

    dom = run_chromium(chromium, tmp_path, "--dump-dom", html.as_uri())
    layout = json.loads(dom.split('<pre id="layout" hidden="">')[1].split("</pre>")[0])
    run_chromium(chromium, tmp_path, "--screenshot=" + str(tmp_path / "shot.png"), html.as_uri())
    shot = Image.open(tmp_path / "shot.png").convert("RGB")

    *pngs, jpeg = layout["images"]
    for png in pngs:
        assert png["natural"] == [64, 32] and png["box"][2:] == [64, 32]
        left, top = png["box"][:2]
        # The mask was resampled to the image's size: its opaque half shows
        # the image, its clear half the page behind it.
        assert close_to(shot.getpixel((left + 12, top + 16)), RED, 8)
        assert close_to(shot.getpixel((left + 52, top + 16)), BACKGROUND, 8)
    assert jpeg["natural"] == [48, 40] and jpeg["box"][2:] == [48, 40]
    inner = [jpeg["box"][0] + 4, jpeg["box"][1] + 4, 40, 32]
    assert all(close_to(p, GREEN, 16) for p in pixels_in(shot, inner))

    (svg_box,) = layout["svg"]
    assert svg_box[2] > 300 and svg_box[3] > 150
    chart_pixels = pixels_in(shot, svg_box)
    for colour in BAR_COLOURS:  # every series of bars is drawn
        assert sum(close_to(p, colour, 24) for p in chart_pixels) > 500, colour
    texts = [label["text"].strip() for label in layout["labels"]]
    for text in set(CHART_LABELS):
        assert texts.count(text) >= CHART_LABELS.count(text), texts
    for label in layout["labels"]:  # every label is inside the chart, drawn in dark ink
        box = label["box"]
        assert box[2] > 0 and box[3] > 0
        assert svg_box[0] <= box[0] and box[0] + box[2] <= svg_box[0] + svg_box[2] + 1
        assert any(sum(p) < 200 for p in pixels_in(shot, box)), label
