#pragma once

// Glyph names (from an Encoding's Differences or a Type 1 program's built-in
// encoding) to text.

#include <optional>
#include <string>
#include <string_view>

namespace quirelle {

// The text of a glyph name, tried in this order: "uniXXXX" (four hex digits,
// any suffix after them ignored, surrogates excluded), "uXXXX" to "uXXXXXX"
// (a scalar value), a single ASCII letter, then the fixed glyph-name table.
// Ligature names give their separate ASCII letters ("fi" gives "fi", not
// U+FB01). Unknown names give nothing. Thread-safe: reads constant data only.
std::optional<std::string> glyph_text(std::string_view name);

}  // namespace quirelle
