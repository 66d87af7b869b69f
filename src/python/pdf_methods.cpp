#include "python/pdf_methods.h"

#include "extract/table_report.h"
#include "html/document/links.h"
#include "img/image_report.h"
#include "text/debug_page.h"
#include "text/font_report.h"
#include "text/page_spans.h"
#include "text/page_text.h"

namespace quirelle::python {
namespace {

// Sets d[key] = value, taking over the new reference `value`.
void set_item(PyObject* d, const char* key, PyObject* value) {
  Ref owned(value);
  if (PyDict_SetItemString(d, key, owned.p) < 0) throw PythonErrorSet{};
}

PyObject* none() {
  Py_INCREF(Py_None);
  return Py_None;
}

void append(PyObject* list, PyObject* item) {
  Ref owned(item);
  if (PyList_Append(list, owned.p) < 0) throw PythonErrorSet{};
}

[[noreturn]] void not_built(const char* method) {
  throw NotBuilt(std::string(method) + "() is not available in this build yet");
}

}  // namespace

std::string method_extract_text(const PdfHandle& pdf) { return extract_text(pdf.document, pdf.source); }

std::string method_mine_text(const PdfHandle& pdf) { return mine_text(pdf.document, pdf.source); }

std::string method_extract_page_text(const PdfHandle& pdf, uint32_t page) {
  if (!page_id(pdf.document, page)) throw ValueError("no page " + std::to_string(page));
  return hybrid_page_text(pdf.document, page, pdf.source);
}

std::string method_debug_page(const PdfHandle& pdf, uint32_t page) {
  const ObjectId* id = page_id(pdf.document, page);
  if (!id) throw ValueError("no page " + std::to_string(page));
  return debug_page(pdf.document, *id, pdf.source);
}

PyObject* method_dbg_spans(const PdfHandle& pdf, uint32_t page, bool with_y) {
  const ObjectId* id = page_id(pdf.document, page);
  if (!id) throw ValueError("no page");
  Ref list(check(PyList_New(0)));
  for (const Span& span : page_spans(pdf.document, *id, pdf.source)) {
    Ref text(to_str(span.text)), x(to_float(span.x)), width(to_float(span.width)), size(to_float(span.size));
    if (with_y) {
      Ref y(to_float(span.y));
      append(list.p, check(PyTuple_Pack(5, text.p, x.p, y.p, width.p, size.p)));
    } else {
      append(list.p, check(PyTuple_Pack(4, text.p, x.p, width.p, size.p)));
    }
  }
  return list.release();
}
PyObject* method_extract_images(const PdfHandle& pdf) {
  Ref list(check(PyList_New(0)));
  for (const auto& image : extract_images(pdf.document)) {
    Ref d(check(PyDict_New()));
    set_item(d.p, "page", to_int(image.page));
    set_item(d.p, "index", to_int(image.index));
    set_item(d.p, "width", to_int(image.width));
    set_item(d.p, "height", to_int(image.height));
    set_item(d.p, "color_space", image.color_space ? to_str(*image.color_space) : none());
    set_item(d.p, "format", to_str(image.format));
    set_item(d.p, "data", to_bytes(image.data));
    append(list.p, d.release());
  }
  return list.release();
}

PyObject* method_extract_fonts(const PdfHandle& pdf) {
  Ref list(check(PyList_New(0)));
  for (const auto& font : extract_fonts(pdf.document)) {
    Ref d(check(PyDict_New()));
    set_item(d.p, "page", to_int(font.page));
    set_item(d.p, "name", to_str(font.name));
    set_item(d.p, "subtype", to_str(font.subtype));
    set_item(d.p, "base_font", to_str(font.base_font));
    set_item(d.p, "encoding", to_str(font.encoding));
    set_item(d.p, "embedded", to_bool(font.embedded));
    set_item(d.p, "has_tounicode", to_bool(font.has_tounicode));
    append(list.p, d.release());
  }
  return list.release();
}
PyObject* method_extract_tables(const PdfHandle& pdf) {
  Ref list(check(PyList_New(0)));
  for (const auto& table : extract_tables(pdf.document, pdf.source)) {
    Ref d(check(PyDict_New()));
    set_item(d.p, "page", to_int(table.page));
    set_item(d.p, "n_rows", to_int((long long)table.n_rows));
    set_item(d.p, "n_cols", to_int((long long)table.n_cols));
    Ref rows(check(PyList_New(0)));
    for (const auto& row : table.cells) {
      Ref cells(check(PyList_New(0)));
      for (const auto& cell : row) append(cells.p, to_str(cell));
      append(rows.p, cells.release());
    }
    set_item(d.p, "cells", rows.release());
    append(list.p, d.release());
  }
  return list.release();
}
PyObject* method_extract_links(const PdfHandle& pdf) {
  Ref list(check(PyList_New(0)));
  for (const auto& link : collect_links(pdf.document)) {
    Ref d(check(PyDict_New()));
    set_item(d.p, "page", to_int(link.page));
    Ref rect(check(PyList_New(0)));
    for (float v : link.rect) append(rect.p, to_float(v));
    set_item(d.p, "rect", rect.release());
    set_item(d.p, "kind", to_str(link.uri ? "uri" : "internal"));
    set_item(d.p, "uri", link.uri ? to_str(*link.uri) : none());
    set_item(d.p, "dest_page", link.dest_page ? to_int(*link.dest_page) : none());
    set_item(d.p, "dest_name", link.dest_name ? to_str(*link.dest_name) : none());
    append(list.p, d.release());
  }
  return list.release();
}
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
