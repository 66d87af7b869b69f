#include "text/type1_encoding.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "text/glyph_names.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// An unsigned 32-bit decimal with an optional leading "+".
std::optional<uint32_t> code_of(std::string_view token) {
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  uint32_t value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (token.empty() || error != std::errc() || end != token.data() + token.size()) return std::nullopt;
  return value;
}

bool is_ascii_letter_or_digit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

void read_entry(std::string_view code_token, std::string_view name_token, CodeTextMap& out) {
  auto code = code_of(code_token);
  if (!code || name_token.empty() || name_token.front() != '/') return;
  std::string_view glyph = name_token.substr(1);
  if (auto text = glyph_text(glyph)) {
    out[*code] = std::move(*text);
  } else if (glyph.size() == 1 && is_ascii_letter_or_digit(glyph.front())) {
    out[*code] = std::string(glyph);
  }
}

}  // namespace

CodeTextMap type1_builtin_encoding(std::string_view program) {
  program = program.substr(0, program.find("eexec"));
  const std::string text = utf8_with_replacement(program);

  // The last four tokens seen, oldest first; a "dup code name put" run is
  // checked each time a token completes one.
  std::array<std::string_view, 4> window;
  size_t seen = 0;
  CodeTextMap out;
  auto take_token = [&](size_t start, size_t end) {
    if (end == start) return;
    window = {window[1], window[2], window[3], std::string_view(text).substr(start, end - start)};
    if (++seen >= 4 && window[0] == "dup" && window[3] == "put") read_entry(window[1], window[2], out);
  };

  size_t token_start = 0;
  for (size_t i = 0; i < text.size();) {
    size_t at = i;
    char32_t cp = next_code_point(text, i);
    if (is_unicode_whitespace(cp)) {
      take_token(token_start, at);
      token_start = i;
    }
  }
  take_token(token_start, text.size());
  return out;
}

}  // namespace quirelle
