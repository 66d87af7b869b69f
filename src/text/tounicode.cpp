#include "text/tounicode.h"

#include <array>
#include <cstddef>

#include "text/utf8.h"

namespace quirelle {
namespace {

enum class TokenKind : uint8_t { hex, word, array_start, array_end };

// No allocation per token: `text` views the input. For a hex string it is
// everything between "<" and ">", junk included; digits are read on use.
struct Token {
  TokenKind kind;
  std::string_view text;
};

// Whitespace of the CMap syntax: TAB, LF, FF, CR and space.
constexpr bool is_space(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

// Bytes that end a word. ">" does not: it is only special after "<".
constexpr auto ends_word = [] {
  std::array<bool, 256> table{};
  for (unsigned c = 0; c < 256; ++c)
    table[c] = is_space(static_cast<unsigned char>(c)) || c == '<' || c == '[' || c == ']';
  return table;
}();

// Hex digit value, or -1.
constexpr auto hex_value = [] {
  std::array<int8_t, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    table[c] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
               : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
               : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                                      : int8_t{-1};
  }
  return table;
}();

// Tokenises raw stream bytes. Decoding them as UTF-8 first would change
// nothing: replacement only touches bytes of 0x80 and above, none of which
// is whitespace, a bracket or a hex digit, so every token boundary, keyword
// and hex digit is the same either way. Words other than the block keywords
// are never looked at.
class Lexer {
 public:
  explicit Lexer(std::string_view src) : src_(src) {}

  bool next(Token& token) {
    while (pos_ < src_.size() && is_space(byte(pos_))) ++pos_;
    if (pos_ == src_.size()) return false;

    const char c = src_[pos_];
    if (c == '[' || c == ']') {
      token = {c == '[' ? TokenKind::array_start : TokenKind::array_end, src_.substr(pos_, 1)};
      ++pos_;
    } else if (c == '<') {
      // Runs to the next ">" whatever lies between, so "<<" yields one junk
      // hex string; an unterminated one ends with the input.
      const std::size_t start = pos_ + 1;
      std::size_t end = src_.find('>', start);
      if (end == std::string_view::npos) end = src_.size();
      token = {TokenKind::hex, src_.substr(start, end - start)};
      pos_ = end < src_.size() ? end + 1 : end;
    } else {
      const std::size_t start = pos_;
      while (pos_ < src_.size() && !ends_word[byte(pos_)]) ++pos_;
      token = {TokenKind::word, src_.substr(start, pos_ - start)};
    }
    return true;
  }

 private:
  unsigned char byte(std::size_t i) const { return static_cast<unsigned char>(src_[i]); }

  std::string_view src_;
  std::size_t pos_ = 0;
};

// The block reader needs to look at most three tokens ahead.
class TokenStream {
 public:
  explicit TokenStream(std::string_view src) : lexer_(src) {}

  // The token `k` places ahead (k < 3), or null past the end. Stays valid
  // until the next advance().
  const Token* peek(std::size_t k) {
    while (count_ <= k) {
      if (!lexer_.next(window_[(head_ + count_) % window_.size()])) return nullptr;
      ++count_;
    }
    return &window_[(head_ + k) % window_.size()];
  }

  bool at_end() { return peek(0) == nullptr; }

  void advance() {
    if (at_end()) return;
    head_ = (head_ + 1) % window_.size();
    --count_;
  }

 private:
  Lexer lexer_;
  std::array<Token, 3> window_{};
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

bool is_hex(const Token* t) { return t != nullptr && t->kind == TokenKind::hex; }

bool is_word(const Token* t, std::string_view word) {
  return t != nullptr && t->kind == TokenKind::word && t->text == word;
}

// The bytes of a hex string: other characters between the digits are
// ignored and an odd final digit is completed with "0".
class HexBytes {
 public:
  explicit HexBytes(std::string_view digits) : s_(digits) {}

  bool next(uint8_t& out) {
    const int high = next_digit();
    if (high < 0) return false;
    const int low = next_digit();
    out = static_cast<uint8_t>(high << 4 | (low < 0 ? 0 : low));
    return true;
  }

 private:
  int next_digit() {
    while (i_ < s_.size()) {
      const int v = hex_value[static_cast<unsigned char>(s_[i_++])];
      if (v >= 0) return v;
    }
    return -1;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

// Big-endian, keeping the low 32 bits: only the last four bytes count.
uint32_t code_value(std::string_view digits) {
  HexBytes bytes(digits);
  uint32_t code = 0;
  for (uint8_t b; bytes.next(b);) code = code << 8 | b;
  return code;
}

// Code points of a hex string read as UTF-16BE. A trailing odd byte is a
// unit of its own; an unpaired surrogate reads as U+FFFD.
class Utf16CodePoints {
 public:
  explicit Utf16CodePoints(std::string_view digits) : bytes_(digits) {}

  bool next(char32_t& out) {
    uint16_t unit;
    if (has_pending_) {
      unit = pending_;
      has_pending_ = false;
    } else if (!next_unit(unit)) {
      return false;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      out = replacement_character;
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      uint16_t low;
      if (!next_unit(low)) {
        out = replacement_character;
      } else if (low >= 0xDC00 && low <= 0xDFFF) {
        out = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00);
      } else {
        out = replacement_character;
        pending_ = low;  // not part of the pair: read it on its own next
        has_pending_ = true;
      }
    } else {
      out = unit;
    }
    return true;
  }

 private:
  bool next_unit(uint16_t& unit) {
    uint8_t high, low;
    if (!bytes_.next(high)) return false;
    unit = bytes_.next(low) ? static_cast<uint16_t>(high << 8 | low) : high;
    return true;
  }

  HexBytes bytes_;
  uint16_t pending_ = 0;
  bool has_pending_ = false;
};

std::string text_value(std::string_view digits) {
  std::string text;
  Utf16CodePoints cps(digits);
  for (char32_t cp; cps.next(cp);) append_utf8(text, cp);
  return text;
}

void read_bfchar(TokenStream& tokens, CodeTextMap& map) {
  while (!tokens.at_end() && !is_word(tokens.peek(0), "endbfchar")) {
    const Token* src = tokens.peek(0);
    const Token* dst = tokens.peek(1);
    if (is_hex(src) && is_hex(dst)) {
      map.insert_or_assign(code_value(src->text), text_value(dst->text));
      tokens.advance();
    }
    tokens.advance();
  }
}

// <lo> <hi> [<text> <text> ...]: one destination per code from lo upwards;
// the array may be shorter or longer than the range.
void read_range_array(TokenStream& tokens, uint32_t lo, CodeTextMap& map) {
  uint64_t code = lo;
  for (; !tokens.at_end(); tokens.advance()) {
    const Token* t = tokens.peek(0);
    if (t->kind == TokenKind::array_end) {
      tokens.advance();
      return;
    }
    if (t->kind != TokenKind::hex) continue;
    // Codes past 32 bits cannot occur in a font; don't wrap around to 0.
    if (code <= UINT32_MAX) map.insert_or_assign(static_cast<uint32_t>(code), text_value(t->text));
    ++code;
  }
}

// <lo> <hi> <text>: code lo + k maps to the single character first + k,
// where first is the first code point of <text>.
void expand_range(uint32_t lo, uint32_t hi, std::string_view dst, uint64_t& budget,
                  CodeTextMap& map) {
  if (hi < lo) return;
  char32_t first;
  if (!Utf16CodePoints(dst).next(first)) return;

  uint64_t count = uint64_t{hi} - lo + 1;
  if (count > max_bfrange_codes) count = max_bfrange_codes;
  if (count > budget) count = budget;
  budget -= count;

  std::string text;
  for (uint64_t k = 0; k < count; ++k) {
    const uint64_t cp = uint64_t{first} + k;
    if (cp > 0x10FFFF) break;
    if (!is_scalar_value(static_cast<uint32_t>(cp))) continue;
    text.clear();
    append_utf8(text, static_cast<char32_t>(cp));
    map.insert_or_assign(static_cast<uint32_t>(lo + k), text);
  }
}

void read_bfrange(TokenStream& tokens, uint64_t& budget, CodeTextMap& map) {
  while (!tokens.at_end() && !is_word(tokens.peek(0), "endbfrange")) {
    const Token* lo = tokens.peek(0);
    const Token* hi = tokens.peek(1);
    const Token* dst = is_hex(lo) && is_hex(hi) ? tokens.peek(2) : nullptr;
    if (dst != nullptr && dst->kind == TokenKind::array_start) {
      const uint32_t lo_code = code_value(lo->text);
      tokens.advance();
      tokens.advance();
      tokens.advance();
      read_range_array(tokens, lo_code, map);
    } else if (dst != nullptr && dst->kind == TokenKind::hex) {
      expand_range(code_value(lo->text), code_value(hi->text), dst->text, budget, map);
      tokens.advance();
      tokens.advance();
      tokens.advance();
    } else {
      tokens.advance();
    }
  }
}

}  // namespace

CodeTextMap parse_tounicode(std::string_view stream_bytes) {
  CodeTextMap map;
  uint64_t budget = max_bfrange_total_codes;
  TokenStream tokens(stream_bytes);
  // Everything outside the two block kinds (codespacerange, usecmap,
  // dictionaries, PostScript procedures) is skipped token by token.
  for (; !tokens.at_end(); tokens.advance()) {
    const Token* t = tokens.peek(0);
    if (is_word(t, "beginbfchar")) {
      tokens.advance();
      read_bfchar(tokens, map);
    } else if (is_word(t, "beginbfrange")) {
      tokens.advance();
      read_bfrange(tokens, budget, map);
    }
  }
  return map;
}

}  // namespace quirelle
