"""Command line: convert PDF files to HTML or plain text."""

import argparse
import sys

from . import __version__
from . import open as open_pdf


def _convert(pdf, args):
    if args.text:
        return pdf.extract_text()
    try:
        return pdf.to_html()
    except NotImplementedError:
        # Until the HTML conversion is available, fall back to what exists.
        try:
            text = pdf.extract_text()
        except NotImplementedError:
            text = ""
        return "pages: {}\n{}".format(pdf.page_count(), text)


def main(argv=None):
    parser = argparse.ArgumentParser(prog="quirelle", description="Convert PDF files to HTML or text.")
    parser.add_argument("files", nargs="+", metavar="FILE", help="PDF files to convert")
    parser.add_argument("--text", action="store_true", help="write plain text instead of HTML")
    parser.add_argument("--mode", choices=("section", "page"), default="section",
                        help="HTML structure: logical sections (default) or one section per page")
    parser.add_argument("--no-images", action="store_true", help="write <image N> placeholders instead of images")
    parser.add_argument("--no-toc", action="store_true", help="omit the table of contents")
    parser.add_argument("--version", action="version", version="quirelle " + __version__)
    args = parser.parse_args(argv)
    status = 0
    for path in args.files:
        try:
            pdf = open_pdf(path, mode=args.mode, images=not args.no_images, toc=not args.no_toc)
            sys.stdout.write(_convert(pdf, args))
            sys.stdout.write("\n")
        except ValueError as error:
            print("quirelle: {}: {}".format(path, error), file=sys.stderr)
            status = 1
    return status
