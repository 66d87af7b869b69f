#include "text/utf8.h"

namespace quirelle {
namespace {

struct Decoded {
  char32_t cp;       // U+FFFD when the sequence is ill-formed
  std::size_t size;  // bytes consumed, at least 1
  bool valid;
};

constexpr bool is_trail(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

// Follows the table of well-formed byte sequences of the Unicode Standard
// (Table 3-7): the second byte's range depends on the lead byte, which
// excludes overlong forms, surrogates and values above U+10FFFF. On the
// first byte that does not fit, the bytes accepted so far form the maximal
// subpart and are replaced as a unit.
Decoded decode(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return {b0, 1, true};

  std::size_t trail_count = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  char32_t cp = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    trail_count = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    trail_count = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;       // overlong
    else if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    trail_count = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;       // overlong
    else if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    // C0, C1 (always overlong), F5..FF and stray trail bytes.
    return {replacement_character, 1, false};
  }

  std::size_t n = 1;
  for (std::size_t k = 0; k < trail_count; ++k, ++n) {
    if (i + n >= s.size()) return {replacement_character, n, false};
    const auto b = static_cast<unsigned char>(s[i + n]);
    const bool fits = k == 0 ? (b >= lo && b <= hi) : is_trail(b);
    if (!fits) return {replacement_character, n, false};
    cp = (cp << 6) | (b & 0x3F);
  }
  return {cp, n, true};
}

}  // namespace

void append_utf8(std::string& out, char32_t cp) {
  if (!is_scalar_value(cp)) cp = replacement_character;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t next_code_point(std::string_view text, std::size_t& i) {
  const Decoded d = decode(text, i);
  i += d.size;
  return d.cp;
}

std::string utf8_with_replacement(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    // Copy the well-formed run in one go; most input has no errors.
    std::size_t run = i;
    Decoded d{};
    while (run < bytes.size() && (d = decode(bytes, run)).valid) run += d.size;
    out.append(bytes.substr(i, run - i));
    if (run == bytes.size()) break;
    append_utf8(out, replacement_character);
    i = run + d.size;
  }
  return out;
}

}  // namespace quirelle
