#pragma once
// Character classes and small text measures shared by the heading, title and
// list recognisers. Unicode properties come from ICU.

#include <cstddef>
#include <string_view>

#include "text/unicode.h"

namespace quirelle {

// An ASCII letter or a character with the Alphabetic property.
bool is_letter(char32_t cp);
// ASCII a-z or a lower-case letter (general category Ll).
bool is_lower_letter(char32_t cp);
// ASCII A-Z, or from U+00C0 on an upper-case letter (general category Lu).
bool is_upper_letter(char32_t cp);
// A letter, or a numeric character (general categories Nd, Nl, No).
bool is_alphanumeric(char32_t cp);

// First and last code point; 0 for an empty text.
char32_t first_code_point(std::string_view text);
char32_t last_code_point(std::string_view text);

size_t letter_count(std::string_view text);
// `text` without leading white space.
std::string_view trim_leading_whitespace(std::string_view text);

// '1','9' or '2','0' followed by two ASCII digits, anywhere in the text.
bool contains_year(std::string_view text);
// 1 when the text starts with an ASCII capital and a full stop, plus 1 for
// every space, ASCII capital, full stop sequence.
int count_initials(std::string_view text);

constexpr bool is_ascii_digit(char32_t c) { return c >= '0' && c <= '9'; }
constexpr bool is_ascii_upper(char32_t c) { return c >= 'A' && c <= 'Z'; }
constexpr bool is_ascii_letter(char32_t c) { return (c >= 'a' && c <= 'z') || is_ascii_upper(c); }

}  // namespace quirelle
