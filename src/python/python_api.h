#pragma once
// The CPython stable ABI, and the conversions and error mapping shared by
// the module's functions.

#define PY_SSIZE_T_CLEAN
#ifndef Py_LIMITED_API
#define Py_LIMITED_API 0x03080000
#endif
#include <Python.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quirelle::python {

// A failure whose message reaches Python as ValueError.
struct ValueError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct TypeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct OverflowError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct NotBuilt : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A Python exception is already set; just unwind.
struct PythonErrorSet {};

// Every function body runs through here, so no C++ exception ever crosses
// into the interpreter.
template <class F>
PyObject* guarded(F&& body) noexcept {
  try {
    return body();
  } catch (const PythonErrorSet&) {
  } catch (const ValueError& e) {
    PyErr_SetString(PyExc_ValueError, e.what());
  } catch (const TypeError& e) {
    PyErr_SetString(PyExc_TypeError, e.what());
  } catch (const OverflowError& e) {
    PyErr_SetString(PyExc_OverflowError, e.what());
  } catch (const NotBuilt& e) {
    PyErr_SetString(PyExc_NotImplementedError, e.what());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());  // our own fault
  } catch (...) {
    PyErr_SetString(PyExc_RuntimeError, "internal error");
  }
  return nullptr;
}

// Owns one reference.
struct Ref {
  PyObject* p = nullptr;
  explicit Ref(PyObject* o = nullptr) : p(o) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() { Py_XDECREF(p); }
  PyObject* release() {
    PyObject* o = p;
    p = nullptr;
    return o;
  }
};

inline PyObject* check(PyObject* o) {
  if (!o) throw PythonErrorSet{};
  return o;
}

// Text from the engine is UTF-8; a stray invalid byte must not turn a whole
// result into an exception.
inline PyObject* to_str(std::string_view text) {
  return check(PyUnicode_DecodeUTF8(text.data(), Py_ssize_t(text.size()), "replace"));
}
inline PyObject* to_bytes(std::string_view data) {
  return check(PyBytes_FromStringAndSize(data.data(), Py_ssize_t(data.size())));
}
inline PyObject* to_float(float v) { return check(PyFloat_FromDouble(double(v))); }
inline PyObject* to_int(long long v) { return check(PyLong_FromLongLong(v)); }
inline PyObject* to_bool(bool v) { return check(PyBool_FromLong(v)); }

// The name of o's type, and the name of a type object.
std::string type_name(PyObject* o);
std::string class_name(PyObject* type);

}  // namespace quirelle::python
