#include "text/unicode.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "text/utf8.h"

namespace quirelle {

bool is_unicode_whitespace(char32_t cp) { return u_isUWhiteSpace(UChar32(cp)); }

size_t count_code_points(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;  // count lead bytes
  return n;
}

std::string_view trim_whitespace(std::string_view utf8) {
  size_t start = 0;
  while (start < utf8.size()) {
    size_t next = start;
    if (!is_unicode_whitespace(next_code_point(utf8, next))) break;
    start = next;
  }
  size_t end = utf8.size();
  while (end > start) {
    size_t lead = end - 1;
    while (lead > start && (static_cast<unsigned char>(utf8[lead]) & 0xC0) == 0x80) --lead;
    size_t probe = lead;
    if (!is_unicode_whitespace(next_code_point(utf8, probe))) break;
    end = lead;
  }
  return utf8.substr(start, end - start);
}

bool is_whitespace_only(std::string_view utf8) { return trim_whitespace(utf8).empty(); }

size_t count_words(std::string_view utf8) {
  size_t words = 0;
  bool in_word = false;
  for (size_t i = 0; i < utf8.size();) {
    const bool space = is_unicode_whitespace(next_code_point(utf8, i));
    if (!space && !in_word) ++words;
    in_word = !space;
  }
  return words;
}

std::string lower_case(std::string_view utf8) {
  std::string out;
  icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size()))).toLower(icu::Locale::getRoot()).toUTF8String(out);
  return out;
}

}  // namespace quirelle
