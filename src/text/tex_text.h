#pragma once

// The classic 7-bit TeX text layout (OT1), used for TeX text fonts that come
// without a ToUnicode map: their low codes hold Greek capitals, ligatures,
// accents and curly quotes where ASCII has controls and straight quotes.

#include <cstdint>
#include <string_view>

namespace quirelle {

// The UTF-8 text of `code` in the TeX text layout, or an empty view when the
// code is not one of the 41 positions that differ from ASCII (the caller then
// reads the code as its own code point).
std::string_view tex_text_char(uint8_t code);

}  // namespace quirelle
