#include "python/pdf_methods.h"

namespace quirelle::python {
namespace {

[[noreturn]] void not_built(const char* method) {
  throw NotBuilt(std::string(method) + "() is not available in this build yet");
}

}  // namespace

std::string method_extract_text(const PdfHandle&) { not_built("extract_text"); }
std::string method_mine_text(const PdfHandle&) { not_built("_mine_text"); }
std::string method_extract_page_text(const PdfHandle& pdf, uint32_t page) {
  if (!page_id(pdf.document, page)) throw ValueError("no page " + std::to_string(page));
  not_built("extract_page_text");
}
std::string method_debug_page(const PdfHandle& pdf, uint32_t page) {
  if (!page_id(pdf.document, page)) throw ValueError("no page " + std::to_string(page));
  not_built("debug_page");
}
PyObject* method_dbg_spans(const PdfHandle& pdf, uint32_t page, bool with_y) {
  if (!page_id(pdf.document, page)) throw ValueError("no page");
  not_built(with_y ? "_dbg_spans_xy" : "_dbg_spans");
}
PyObject* method_extract_images(const PdfHandle&) { not_built("extract_images"); }
PyObject* method_extract_fonts(const PdfHandle&) { not_built("extract_fonts"); }
PyObject* method_extract_tables(const PdfHandle&) { not_built("extract_tables"); }
PyObject* method_extract_links(const PdfHandle&) { not_built("extract_links"); }
std::string method_to_html(const PdfHandle&, bool) { not_built("to_html"); }
std::vector<TocRow> method_toc(const PdfHandle&) { not_built("toc"); }
std::optional<std::string> method_section(const PdfHandle&, const std::string&) { not_built("section"); }

PyObject* toc_to_python(const std::vector<TocRow>& rows) {
  Ref list(check(PyList_New(0)));
  for (const auto& row : rows) {
    Ref level(to_int(row.level)), title(to_str(row.title)), page(to_int(row.page)),
        anchor(to_str(row.anchor_id));
    Ref tuple(check(PyTuple_Pack(4, level.p, title.p, page.p, anchor.p)));
    if (PyList_Append(list.p, tuple.p) < 0) throw PythonErrorSet{};
  }
  return list.release();
}

}  // namespace quirelle::python
