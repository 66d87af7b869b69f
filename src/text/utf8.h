#pragma once

// UTF-8 helpers shared by the text engine. All text inside the system is
// UTF-8; these are the only places that encode or decode it by hand.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quirelle {

inline constexpr char32_t replacement_character = 0xFFFD;

// True for code points that may appear in well-formed UTF-8: at most
// U+10FFFF and not a UTF-16 surrogate (U+D800 to U+DFFF).
constexpr bool is_scalar_value(uint32_t cp) {
  return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

// Appends the UTF-8 form of `cp`. A value that is not a scalar value is
// written as U+FFFD so the buffer always stays well-formed.
void append_utf8(std::string& out, char32_t cp);

// Decodes the code point starting at byte `i` and moves `i` past it.
// Precondition: i < text.size(). Meant for valid UTF-8, but an ill-formed
// sequence yields U+FFFD and consumes its maximal subpart, so a loop over
// any input always advances and terminates.
char32_t next_code_point(std::string_view text, std::size_t& i);

// `bytes` as UTF-8 with each maximal ill-formed subpart replaced by one
// U+FFFD (the substitution practice recommended by the Unicode Standard).
std::string utf8_with_replacement(std::string_view bytes);

}  // namespace quirelle
