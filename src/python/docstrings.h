#pragma once
// Docstrings of the Python surface. Each starts with its text signature and
// a "--" line, from which the interpreter derives __text_signature__.

namespace quirelle::python::doc {

inline constexpr const char* pdf_open =
    "open(path, mode=\"section\", images=True, toc=True)\n--\n\n"
    "Open a PDF from a filesystem path.\n"
    "\n"
    "`mode` chooses the `to_html()` structure: `\"section\"` (default) makes logical\n"
    "sections first-order \u2014 each heading becomes a nested `<section id=\"sec-\u2026\">` and\n"
    "page info is dropped; `\"page\"` wraps each page in `<section data-page>`.\n"
    "`images=False` replaces embedded raster images in `to_html()` with a\n"
    "`<image N>` placeholder (keeping captions and figure anchors) instead of\n"
    "inlining their base64 bytes \u2014 handy for compact, text-only LLM input.\n"
    "`toc=False` omits the auto table-of-contents `<nav>` from `to_html()` (heading\n"
    "anchors are still emitted, so links and `section()` keep working).";

inline constexpr const char* module_open =
    "open(path, mode=\"section\", images=True, toc=True)\n--\n\n"
    "Open a PDF from a filesystem path \u2014 `quirelle.open(\"file.pdf\")`. A module-level\n"
    "shorthand for `Pdf.open(...)`. `mode` selects the `to_html()` structure\n"
    "(`\"section\"` default / `\"page\"`); `images=False` emits `<image N>` placeholders\n"
    "instead of inline base64 images; `toc=False` omits the table-of-contents nav.";

inline constexpr const char* pdf_from_bytes =
    "from_bytes(data, mode=\"section\", images=True, toc=True)\n--\n\n"
    "Open a PDF from raw bytes. See `open` for the `mode`/`images`/`toc` flags.";

inline constexpr const char* module_from_bytes =
    "from_bytes(data, mode=\"section\", images=True, toc=True)\n--\n\n"
    "Open a PDF from raw bytes \u2014 `quirelle.from_bytes(data)`. Shorthand for\n"
    "`Pdf.from_bytes(...)`. See `open` for the `mode`/`images`/`toc` flags.";

inline constexpr const char* page_count = "page_count($self)\n--\n\nNumber of pages.";

inline constexpr const char* extract_text =
    "extract_text($self)\n--\n\n"
    "Extract plain text from all pages (concatenated, page order).\n"
    "\n"
    "Prefers our own ToUnicode-aware content-stream extractor (it handles CID fonts\n"
    "and diacritics) and falls back per page to the PDF library's built-in extractor\n"
    "when ours yields little, so simply encoded documents never regress.";

inline constexpr const char* extract_images =
    "extract_images($self)\n--\n\nExtract images from all pages (list of dicts incl. raw bytes).";

inline constexpr const char* extract_fonts =
    "extract_fonts($self)\n--\n\nExtract per-page font info (list of dicts).";

inline constexpr const char* extract_tables =
    "extract_tables($self)\n--\n\nExtract tables from all pages (list of dicts with cell grids).";

inline constexpr const char* extract_links =
    "extract_links($self)\n--\n\n"
    "Extract hyperlinks from all pages. Each dict:\n"
    "{page, rect:[x0,y0,x1,y1], kind:\"uri\"|\"internal\",\n"
    " uri:str|None, dest_page:int|None, dest_name:str|None}.";

inline constexpr const char* to_html =
    "to_html($self)\n--\n\n"
    "Convert the PDF to thin, AI-ready HTML (per-page sections, headings,\n"
    "bold/italic, lists, tables, monospace; inline images added separately).\n"
    "\n"
    "The conversion (which internally renders pages in parallel) runs with the GIL\n"
    "released, so converting many PDFs across Python threads scales across cores.";

inline constexpr const char* toc =
    "toc($self)\n--\n\n"
    "Document outline: a list of `(level, title, page, anchor_id)` per heading, in\n"
    "reading order. `level` 1 is the title, 2 a section, 3 a subsection, \u2026 . The\n"
    "`anchor_id` matches an `id=` in `to_html()` (link with `#anchor_id`).";

inline constexpr const char* section =
    "section($self, name)\n--\n\n"
    "HTML of a single section: the heading matching `name` (its `sec-\u2026` slug, an id\n"
    "prefix, or a case-insensitive title substring) plus its content up to the next\n"
    "same-or-higher heading. E.g. `section(\"abstract\")`. None if no match.";

inline constexpr const char* mine_text =
    "_mine_text($self)\n--\n\nDiagnostic: force our ToUnicode extractor for all pages (eval only).";

inline constexpr const char* dbg_spans =
    "_dbg_spans($self, page)\n--\n\nDiagnostic: raw spans (text, x, width, size) for a 1-indexed page.";

inline constexpr const char* dbg_spans_xy =
    "_dbg_spans_xy($self, page)\n--\n\n"
    "Diagnostic: spans with y for a 1-indexed page (text, x, y, width, size).";

inline constexpr const char* debug_page =
    "debug_page($self, page)\n--\n\nDiagnostic for one 1-indexed page.";

inline constexpr const char* extract_page_text =
    "extract_page_text($self, page)\n--\n\nExtract text from a single 1-indexed page (hybrid).";

}  // namespace quirelle::python::doc
