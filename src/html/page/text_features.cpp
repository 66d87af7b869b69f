#include "html/page/text_features.h"

#include <unicode/uchar.h>

#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {

bool is_letter(char32_t cp) { return is_ascii_letter(cp) || u_isUAlphabetic(UChar32(cp)); }

bool is_lower_letter(char32_t cp) { return (cp >= 'a' && cp <= 'z') || u_islower(UChar32(cp)); }

bool is_upper_letter(char32_t cp) { return is_ascii_upper(cp) || (cp >= 0xC0 && u_isupper(UChar32(cp))); }

bool is_alphanumeric(char32_t cp) {
  if (is_letter(cp) || is_ascii_digit(cp)) return true;
  const int8_t type = u_charType(UChar32(cp));
  return type == U_DECIMAL_DIGIT_NUMBER || type == U_LETTER_NUMBER || type == U_OTHER_NUMBER;
}

char32_t first_code_point(std::string_view text) {
  size_t i = 0;
  return text.empty() ? 0 : next_code_point(text, i);
}

char32_t last_code_point(std::string_view text) {
  if (text.empty()) return 0;
  size_t lead = text.size() - 1;
  while (lead > 0 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) --lead;
  return next_code_point(text, lead);
}

size_t letter_count(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size();) n += is_letter(next_code_point(text, i));
  return n;
}

std::string_view trim_leading_whitespace(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t next = start;
    if (!is_unicode_whitespace(next_code_point(text, next))) break;
    start = next;
  }
  return text.substr(start);
}

bool contains_year(std::string_view text) {
  for (size_t i = 0; i + 4 <= text.size(); ++i) {
    const bool century = (text[i] == '1' && text[i + 1] == '9') || (text[i] == '2' && text[i + 1] == '0');
    if (century && is_ascii_digit(text[i + 2]) && is_ascii_digit(text[i + 3])) return true;
  }
  return false;
}

int count_initials(std::string_view text) {
  int n = text.size() >= 2 && is_ascii_upper(text[0]) && text[1] == '.';
  for (size_t i = 0; i + 3 <= text.size(); ++i)
    n += text[i] == ' ' && is_ascii_upper(text[i + 1]) && text[i + 2] == '.';
  return n;
}

}  // namespace quirelle
