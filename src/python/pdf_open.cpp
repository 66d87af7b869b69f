// Open and from_bytes: mode first (before the file is touched), then the
// bytes, then the reader.

#include "document/read_file.h"
#include "python/arguments.h"
#include "python/pdf_type.h"

namespace quirelle::python {
namespace {

struct OpenArguments {
  PyObject* first = nullptr;
  std::string mode_text = "section";
  LayoutMode mode = LayoutMode::Section;
  bool images = true;
  bool toc = true;
};

LayoutMode parse_mode(const std::string& mode) {
  if (mode == "section") return LayoutMode::Section;
  if (mode == "page") return LayoutMode::Page;
  throw ValueError("invalid mode " + mode + ": expected \"section\" or \"page\"");
}

OpenArguments parse_open_arguments(const char* function, const char* first_name, PyObject* args,
                                   PyObject* kwargs) {
  static const char* path_keywords[] = {"path", "mode", "images", "toc", nullptr};
  static const char* data_keywords[] = {"data", "mode", "images", "toc", nullptr};
  const char** keywords = std::string_view(first_name) == "path" ? path_keywords : data_keywords;
  std::string format = std::string("O|OOO:") + function;
  OpenArguments parsed;
  PyObject *mode = nullptr, *images = nullptr, *toc = nullptr;
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, format.c_str(), const_cast<char**>(keywords),
                                   &parsed.first, &mode, &images, &toc))
    throw PythonErrorSet{};
  if (mode) parsed.mode_text = str_argument(function, "mode", mode);
  parsed.images = bool_argument(function, "images", images, true);
  parsed.toc = bool_argument(function, "toc", toc, true);
  return parsed;
}

PyObject* make_pdf(PyObject* pdf_type, std::unique_ptr<PdfHandle> handle) {
  auto* alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(reinterpret_cast<PyTypeObject*>(pdf_type), Py_tp_alloc));
  PyObject* self = check(alloc(reinterpret_cast<PyTypeObject*>(pdf_type), 0));
  reinterpret_cast<PdfObject*>(self)->handle = handle.release();
  return self;
}

PyObject* load(PyObject* pdf_type, const OpenArguments& a, std::string bytes, const char* failure_prefix) {
  auto handle = std::make_unique<PdfHandle>();
  handle->mode = a.mode;
  handle->images = a.images;
  handle->toc = a.toc;
  handle->source = std::move(bytes);
  auto loaded = reader_load(handle->source);
  if (!loaded.ok()) throw ValueError(failure_prefix + loaded.error);
  handle->document = std::move(*loaded.value);
  return make_pdf(pdf_type, std::move(handle));
}

}  // namespace

PyObject* open_pdf(PyObject* pdf_type, const char* function, PyObject* args, PyObject* kwargs) {
  return guarded([&] {
    OpenArguments a = parse_open_arguments(function, "path", args, kwargs);
    std::string path = path_argument(function, a.first);
    a.mode = parse_mode(a.mode_text);  // before the file is touched
    auto bytes = read_file(path);
    if (!bytes.ok()) throw ValueError("read failed: " + bytes.error);
    return load(pdf_type, a, std::move(*bytes.value), "open failed: ");
  });
}

PyObject* pdf_from_bytes(PyObject* pdf_type, const char* function, PyObject* args, PyObject* kwargs) {
  return guarded([&] {
    OpenArguments a = parse_open_arguments(function, "data", args, kwargs);
    std::string bytes = bytes_argument(function, "data", a.first);
    a.mode = parse_mode(a.mode_text);
    return load(pdf_type, a, std::move(bytes), "parse failed: ");
  });
}

}  // namespace quirelle::python
