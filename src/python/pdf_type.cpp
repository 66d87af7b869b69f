// The Pdf class: its method table and the calling frame of every method.

#include "python/pdf_type.h"

#include <optional>

#include "python/arguments.h"
#include "python/docstrings.h"
#include "python/pdf_methods.h"

namespace quirelle::python {
namespace {

const PdfHandle& handle_of(PyObject* self) { return *reinterpret_cast<PdfObject*>(self)->handle; }

// Runs pure C++ work with the interpreter lock released; no Python object
// may be touched inside `work`.
template <class F>
auto without_gil(F&& work) {
  using Result = decltype(work());
  std::optional<Result> result;
  std::exception_ptr error;
  Py_BEGIN_ALLOW_THREADS
  try {
    result.emplace(work());
  } catch (...) {
    error = std::current_exception();
  }
  Py_END_ALLOW_THREADS
  if (error) std::rethrow_exception(error);
  return std::move(*result);
}

PyObject* parse_page(const char* function, PyObject* args, PyObject* kwargs, uint32_t& page) {
  static const char* keywords[] = {"page", nullptr};
  std::string format = std::string("O:") + function;
  PyObject* o = nullptr;
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, format.c_str(), const_cast<char**>(keywords), &o))
    throw PythonErrorSet{};
  page = page_argument(function, o);
  return o;
}

PyObject* py_page_count(PyObject* self, PyObject*) {
  return guarded([&] { return to_int((long long)page_list(handle_of(self).document).size()); });
}

PyObject* py_extract_text(PyObject* self, PyObject*) {
  return guarded([&] { return to_str(method_extract_text(handle_of(self))); });
}

PyObject* py_extract_images(PyObject* self, PyObject*) {
  return guarded([&] { return method_extract_images(handle_of(self)); });
}

PyObject* py_extract_fonts(PyObject* self, PyObject*) {
  return guarded([&] { return method_extract_fonts(handle_of(self)); });
}

PyObject* py_extract_tables(PyObject* self, PyObject*) {
  return guarded([&] { return method_extract_tables(handle_of(self)); });
}

PyObject* py_extract_links(PyObject* self, PyObject*) {
  return guarded([&] { return method_extract_links(handle_of(self)); });
}

PyObject* py_to_html(PyObject* self, PyObject*) {
  return guarded([&] {
    const PdfHandle& h = handle_of(self);
    std::string html = without_gil([&] { return method_to_html(h, h.toc); });
    return to_str(html);
  });
}

PyObject* py_toc(PyObject* self, PyObject*) {
  return guarded([&] {
    const PdfHandle& h = handle_of(self);
    auto entries = without_gil([&] { return method_toc(h); });
    return toc_to_python(entries);
  });
}

PyObject* py_section(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    static const char* keywords[] = {"name", nullptr};
    PyObject* o = nullptr;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O:section", const_cast<char**>(keywords), &o))
      throw PythonErrorSet{};
    std::string name = str_argument("section", "name", o);
    const PdfHandle& h = handle_of(self);
    auto html = without_gil([&] { return method_section(h, name); });
    if (!html) Py_RETURN_NONE;
    return to_str(*html);
  });
}

PyObject* py_mine_text(PyObject* self, PyObject*) {
  return guarded([&] { return to_str(method_mine_text(handle_of(self))); });
}

PyObject* py_dbg_spans(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&] {
    uint32_t page = 0;
    parse_page("_dbg_spans", args, kwargs, page);
    return method_dbg_spans(handle_of(self), page, false);
  });
}

PyObject* py_dbg_spans_xy(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&] {
    uint32_t page = 0;
    parse_page("_dbg_spans_xy", args, kwargs, page);
    return method_dbg_spans(handle_of(self), page, true);
  });
}

PyObject* py_debug_page(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&] {
    uint32_t page = 0;
    parse_page("debug_page", args, kwargs, page);
    return to_str(method_debug_page(handle_of(self), page));
  });
}

PyObject* py_extract_page_text(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&] {
    uint32_t page = 0;
    parse_page("extract_page_text", args, kwargs, page);
    return to_str(method_extract_page_text(handle_of(self), page));
  });
}

PyObject* py_static_open(PyObject*, PyObject* args, PyObject* kwargs);
PyObject* py_static_from_bytes(PyObject*, PyObject* args, PyObject* kwargs);

#define KW_METHOD(f) reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(f))

PyMethodDef pdf_methods[] = {
    {"open", KW_METHOD(py_static_open), METH_VARARGS | METH_KEYWORDS | METH_STATIC, doc::pdf_open},
    {"from_bytes", KW_METHOD(py_static_from_bytes), METH_VARARGS | METH_KEYWORDS | METH_STATIC,
     doc::pdf_from_bytes},
    {"page_count", py_page_count, METH_NOARGS, doc::page_count},
    {"extract_text", py_extract_text, METH_NOARGS, doc::extract_text},
    {"extract_images", py_extract_images, METH_NOARGS, doc::extract_images},
    {"extract_fonts", py_extract_fonts, METH_NOARGS, doc::extract_fonts},
    {"extract_tables", py_extract_tables, METH_NOARGS, doc::extract_tables},
    {"extract_links", py_extract_links, METH_NOARGS, doc::extract_links},
    {"to_html", py_to_html, METH_NOARGS, doc::to_html},
    {"toc", py_toc, METH_NOARGS, doc::toc},
    {"section", KW_METHOD(py_section), METH_VARARGS | METH_KEYWORDS, doc::section},
    {"_mine_text", py_mine_text, METH_NOARGS, doc::mine_text},
    {"_dbg_spans", KW_METHOD(py_dbg_spans), METH_VARARGS | METH_KEYWORDS, doc::dbg_spans},
    {"_dbg_spans_xy", KW_METHOD(py_dbg_spans_xy), METH_VARARGS | METH_KEYWORDS, doc::dbg_spans_xy},
    {"debug_page", KW_METHOD(py_debug_page), METH_VARARGS | METH_KEYWORDS, doc::debug_page},
    {"extract_page_text", KW_METHOD(py_extract_page_text), METH_VARARGS | METH_KEYWORDS,
     doc::extract_page_text},
    {nullptr, nullptr, 0, nullptr},
};

// The class object, set once when the module is created; static methods
// receive no class argument, so they find it here.
PyObject* pdf_type_object = nullptr;

PyObject* py_static_open(PyObject*, PyObject* args, PyObject* kwargs) {
  return open_pdf(pdf_type_object, "open", args, kwargs);
}

PyObject* py_static_from_bytes(PyObject*, PyObject* args, PyObject* kwargs) {
  return pdf_from_bytes(pdf_type_object, "from_bytes", args, kwargs);
}

PyObject* pdf_new(PyTypeObject* type, PyObject*, PyObject*) {
  return guarded([&]() -> PyObject* {
    throw TypeError("No constructor defined for " + class_name(reinterpret_cast<PyObject*>(type)));
  });
}

void pdf_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  delete reinterpret_cast<PdfObject*>(self)->handle;
  auto* free_slot = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_slot(self);
  Py_DECREF(type);  // heap type instances own a reference to their type
}

PyType_Slot pdf_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(pdf_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(pdf_dealloc)},
    {Py_tp_methods, pdf_methods},
    {0, nullptr},
};

PyType_Spec pdf_spec = {"_quirelle.Pdf", sizeof(PdfObject), 0, Py_TPFLAGS_DEFAULT, pdf_slots};

}  // namespace

PyObject* create_pdf_type(PyObject*) {
  if (!pdf_type_object) pdf_type_object = PyType_FromSpec(&pdf_spec);
  Py_XINCREF(pdf_type_object);
  return pdf_type_object;
}

}  // namespace quirelle::python
