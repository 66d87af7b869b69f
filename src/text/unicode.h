#pragma once
// Unicode properties of text, from ICU: the White_Space property, full
// lower-case mapping, and counting characters (scalar values) of UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace quirelle {

bool is_unicode_whitespace(char32_t cp);
size_t count_code_points(std::string_view utf8);
// `utf8` without leading and trailing White_Space characters.
std::string_view trim_whitespace(std::string_view utf8);
bool is_whitespace_only(std::string_view utf8);
// Runs of characters between White_Space characters.
size_t count_words(std::string_view utf8);
// Full Unicode lower-case mapping (root locale).
std::string lower_case(std::string_view utf8);

}  // namespace quirelle
