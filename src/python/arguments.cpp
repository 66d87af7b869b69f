#include "python/arguments.h"

#include <cstring>

namespace quirelle::python {
namespace {

[[noreturn]] void wrong_type(const char* function, const char* name, const char* expected, PyObject* o) {
  throw TypeError(std::string(function) + "() argument '" + name + "' must be " + expected + ", not " +
                  type_name(o));
}

std::string attribute_text(PyObject* o, const char* attribute) {
  Ref value(PyObject_GetAttrString(o, attribute));
  if (!value.p || !PyUnicode_Check(value.p)) {
    PyErr_Clear();
    return {};
  }
  Ref utf8(PyUnicode_AsUTF8String(value.p));
  if (!utf8.p) {
    PyErr_Clear();
    return {};
  }
  return PyBytes_AsString(utf8.p);
}

}  // namespace

std::string class_name(PyObject* type) {
  std::string name = attribute_text(type, "__name__");
  return name.empty() ? "object" : name;
}

std::string type_name(PyObject* o) {
  std::string name = attribute_text(reinterpret_cast<PyObject*>(Py_TYPE(o)), "__name__");
  return name.empty() ? "object" : name;
}

std::string str_argument(const char* function, const char* name, PyObject* o) {
  if (!PyUnicode_Check(o)) wrong_type(function, name, "str", o);
  Ref utf8(check(PyUnicode_AsUTF8String(o)));
  char* data = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(utf8.p, &data, &size) < 0) throw PythonErrorSet{};
  return std::string(data, size_t(size));
}

std::string path_argument(const char* function, PyObject* o) {
  if (!PyUnicode_Check(o)) wrong_type(function, "path", "str", o);
  Ref encoded(check(PyUnicode_EncodeFSDefault(o)));
  char* data = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(encoded.p, &data, &size) < 0) throw PythonErrorSet{};
  return std::string(data, size_t(size));
}

std::string bytes_argument(const char* function, const char* name, PyObject* o) {
  if (!PyBytes_Check(o)) wrong_type(function, name, "bytes", o);
  char* data = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(o, &data, &size) < 0) throw PythonErrorSet{};
  return std::string(data, size_t(size));
}

bool bool_argument(const char* function, const char* name, PyObject* o, bool fallback) {
  if (!o) return fallback;
  if (PyBool_Check(o)) return o == Py_True;
  PyObject* type = reinterpret_cast<PyObject*>(Py_TYPE(o));
  std::string type_module = attribute_text(type, "__module__");
  std::string type_short = attribute_text(type, "__name__");
  if (type_module == "numpy" && (type_short == "bool_" || type_short == "bool")) {
    int truth = PyObject_IsTrue(o);
    if (truth < 0) throw PythonErrorSet{};
    return truth != 0;
  }
  wrong_type(function, name, "bool", o);
}

uint32_t page_argument(const char* function, PyObject* o) {
  if (!PyLong_Check(o)) wrong_type(function, "page", "int", o);
  int overflow = 0;
  long long v = PyLong_AsLongLongAndOverflow(o, &overflow);
  if (v == -1 && PyErr_Occurred()) throw PythonErrorSet{};
  if (overflow != 0 || v < 0 || v > 0xFFFFFFFFLL)
    throw OverflowError(std::string(function) + "() argument 'page' must be between 0 and 4294967295");
  return uint32_t(v);
}

}  // namespace quirelle::python
