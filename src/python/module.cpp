// The module initialiser: the class, the two module-level shorthands and the
// version, each also listed in __all__.

#include "python/docstrings.h"
#include "python/pdf_type.h"

namespace quirelle::python {
namespace {

PyObject* module_pdf_type(PyObject* module) {
  return PyObject_GetAttrString(module, "Pdf");
}

PyObject* module_open(PyObject* module, PyObject* args, PyObject* kwargs) {
  Ref type(module_pdf_type(module));
  if (!type.p) return nullptr;
  return open_pdf(type.p, "open", args, kwargs);
}

PyObject* module_from_bytes(PyObject* module, PyObject* args, PyObject* kwargs) {
  Ref type(module_pdf_type(module));
  if (!type.p) return nullptr;
  return pdf_from_bytes(type.p, "from_bytes", args, kwargs);
}

#define KW_FUNCTION(f) reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(f))

PyMethodDef module_functions[] = {
    {"open", KW_FUNCTION(module_open), METH_VARARGS | METH_KEYWORDS, doc::module_open},
    {"from_bytes", KW_FUNCTION(module_from_bytes), METH_VARARGS | METH_KEYWORDS, doc::module_from_bytes},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT, "_quirelle", nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// Adds `value` (a new reference, consumed) as an attribute and to __all__.
bool export_name(PyObject* module, const char* name, PyObject* value) {
  if (!value) return false;
  if (PyModule_AddObject(module, name, value) < 0) {
    Py_DECREF(value);
    return false;
  }
  PyObject* all = PyObject_GetAttrString(module, "__all__");
  if (!all) {
    PyErr_Clear();
    all = PyList_New(0);
    if (!all || PyModule_AddObject(module, "__all__", all) < 0) {
      Py_XDECREF(all);
      return false;
    }
    Py_INCREF(all);
  }
  Ref all_ref(all);
  Ref name_str(PyUnicode_FromString(name));
  return name_str.p && PyList_Append(all, name_str.p) == 0;
}

bool add_function(PyObject* module, PyMethodDef* def) {
  Ref module_name(PyModule_GetNameObject(module));
  if (!module_name.p) return false;
  return export_name(module, def->ml_name, PyCFunction_NewEx(def, module, module_name.p));
}

}  // namespace
}  // namespace quirelle::python

extern "C" __attribute__((visibility("default"))) PyObject* PyInit__quirelle() {
  using namespace quirelle::python;
  PyObject* module = PyModule_Create(&module_def);
  if (!module) return nullptr;
  bool ok = export_name(module, "Pdf", create_pdf_type(module)) &&
            add_function(module, &module_functions[0]) && add_function(module, &module_functions[1]) &&
            export_name(module, "__version__", PyUnicode_FromString("0.0.4"));
  if (!ok) {
    Py_DECREF(module);
    return nullptr;
  }
  return module;
}
