#pragma once
// Small, total accessors over the object model: every failure is "absent"
// (a null pointer or nullopt), never an exception.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "document/document.h"

namespace quirelle {

using Matrix = std::array<float, 6>;  // a b c d e f
inline constexpr Matrix identity_matrix{1, 0, 0, 1, 0, 0};

const Object* resolve_object(const Document& doc, const Object* object);
const Dictionary* as_dict(const Object* object);
const Array* as_array(const Object* object);
const Stream* as_stream(const Object* object);
std::optional<std::string_view> as_name(const Object* object);
std::optional<std::string_view> as_string(const Object* object);
std::optional<int64_t> as_integer(const Object* object);

// Integer or Real as a float, 0 for anything else (absent included).
float number_of(const Object* object);
bool is_number(const Object* object);
Matrix matrix_of(const Array* array);
// m x n in the row-vector convention of the PDF standard.
Matrix concat_matrix(const Matrix& m, const Matrix& n);

// A dictionary entry with references followed.
const Object* resolved_entry(const Document& doc, const Dictionary& dict, std::string_view key);
const Dictionary* dict_entry(const Document& doc, const Dictionary& dict, std::string_view key);
const Array* array_entry(const Document& doc, const Dictionary& dict, std::string_view key);

}  // namespace quirelle
