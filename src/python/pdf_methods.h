#pragma once
// Method bodies of Pdf, between the calling frame and the engine. Those
// that return text give UTF-8; those that return structures build them here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "python/pdf_type.h"

namespace quirelle::python {

struct TocRow {
  int level = 0;
  std::string title;
  uint32_t page = 0;
  std::string anchor_id;
};

std::string method_extract_text(const PdfHandle& pdf);
std::string method_mine_text(const PdfHandle& pdf);
std::string method_extract_page_text(const PdfHandle& pdf, uint32_t page);
std::string method_debug_page(const PdfHandle& pdf, uint32_t page);
PyObject* method_dbg_spans(const PdfHandle& pdf, uint32_t page, bool with_y);
PyObject* method_extract_images(const PdfHandle& pdf);
PyObject* method_extract_fonts(const PdfHandle& pdf);
PyObject* method_extract_tables(const PdfHandle& pdf);
PyObject* method_extract_links(const PdfHandle& pdf);

// These three run without the interpreter lock: no Python objects inside.
std::string method_to_html(const PdfHandle& pdf, bool with_toc);
std::vector<TocRow> method_toc(const PdfHandle& pdf);
std::optional<std::string> method_section(const PdfHandle& pdf, const std::string& name);
PyObject* toc_to_python(const std::vector<TocRow>& rows);

}  // namespace quirelle::python
