#pragma once

#include <memory>
#include <string>

#include "document/document.h"
#include "html/document/layout_mode.h"
#include "python/python_api.h"

namespace quirelle::python {

// Everything a Pdf object holds; never changed after construction, so any
// number of threads may read it at once.
struct PdfHandle {
  Document document;
  std::string source;  // the complete file bytes as loaded
  LayoutMode mode = LayoutMode::Section;
  bool images = true;
  bool toc = true;
};

struct PdfObject {
  PyObject_HEAD
  PdfHandle* handle;
};

PyObject* create_pdf_type(PyObject* module);

// The shared bodies of the class's static constructors and the module-level
// functions of the same names.
PyObject* open_pdf(PyObject* pdf_type, const char* function, PyObject* args, PyObject* kwargs);
PyObject* pdf_from_bytes(PyObject* pdf_type, const char* function, PyObject* args, PyObject* kwargs);

}  // namespace quirelle::python
