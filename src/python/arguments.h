#pragma once
// Argument conversion with the rules of the Python surface: messages name
// the function and the argument that failed.

#include <cstdint>
#include <string>

#include "python/python_api.h"

namespace quirelle::python {

std::string str_argument(const char* function, const char* name, PyObject* o);
// A filesystem path: str only, encoded as the file system expects.
std::string path_argument(const char* function, PyObject* o);
std::string bytes_argument(const char* function, const char* name, PyObject* o);
// A Python bool or a numpy boolean scalar; an int such as 1 is refused.
bool bool_argument(const char* function, const char* name, PyObject* o, bool fallback);
uint32_t page_argument(const char* function, PyObject* o);

}  // namespace quirelle::python
