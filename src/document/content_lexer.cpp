// The content-stream lexer and parser. Garbage is skipped a byte or a token
// at a time, so every loop makes progress and no input can make it fail.

#include <array>
#include <charconv>
#include <cmath>

#include "document/content_operations.h"

namespace quirelle {
namespace {

enum ByteClass : uint8_t { regular, whitespace, delimiter };

constexpr std::array<ByteClass, 256> make_byte_classes() {
  std::array<ByteClass, 256> table{};
  for (unsigned char c : {0, 9, 10, 12, 13, 32}) table[c] = whitespace;
  for (unsigned char c : std::string_view("()<>[]{}/%")) table[c] = delimiter;
  return table;
}
constexpr auto byte_class = make_byte_classes();

// Bounds for what a hostile stream could otherwise inflate.
constexpr int max_nesting = 32;            // arrays and dictionaries inside operands
constexpr size_t max_operands = 4096;      // pending operands before an operator
constexpr size_t max_inline_image_keys = 64;

int hex_digit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct Lexer {
  std::string_view s;
  size_t pos = 0;

  bool at_end() const { return pos >= s.size(); }
  unsigned char peek(size_t ahead = 0) const { return pos + ahead < s.size() ? s[pos + ahead] : 0; }

  void skip_space() {
    while (pos < s.size()) {
      unsigned char c = s[pos];
      if (byte_class[c] == whitespace) {
        ++pos;
      } else if (c == '%') {
        while (pos < s.size() && s[pos] != '\n' && s[pos] != '\r') ++pos;
      } else {
        break;
      }
    }
  }

  std::string_view word() {
    size_t start = pos;
    while (pos < s.size() && byte_class[(unsigned char)s[pos]] == regular) ++pos;
    return s.substr(start, pos - start);
  }

  Object number() {
    size_t start = pos;
    bool negative = false;
    while (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
    size_t digits_start = pos;
    int64_t whole = 0;
    bool overflow = false;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
      if (whole > (INT64_MAX - 9) / 10) overflow = true;
      else whole = whole * 10 + (s[pos] - '0');
      ++pos;
    }
    bool real = pos < s.size() && s[pos] == '.';
    if (!real && !overflow) return make_integer(negative ? -whole : whole);
    if (real) ++pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    // from_chars takes no '+' and only one sign: parse the unsigned digits.
    double value = 0;
    std::from_chars(s.data() + digits_start, s.data() + pos, value);
    if (pos == start) ++pos;  // cannot happen for callers, but never stall
    return make_real(float(negative ? -value : value));
  }

  Object name() {
    ++pos;  // solidus
    std::string bytes;
    while (pos < s.size() && byte_class[(unsigned char)s[pos]] == regular) {
      char c = s[pos++];
      int hi, lo;
      if (c == '#' && (hi = hex_digit(peek())) >= 0 && (lo = hex_digit(peek(1))) >= 0) {
        bytes += char(hi * 16 + lo);
        pos += 2;
      } else {
        bytes += c;
      }
    }
    return make_name(std::move(bytes));
  }

  Object literal_string() {
    ++pos;  // opening parenthesis
    std::string bytes;
    int depth = 1;
    while (pos < s.size()) {
      char c = s[pos++];
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth == 0) break;
      } else if (c == '\\') {
        if (pos >= s.size()) break;
        char e = s[pos++];
        switch (e) {
          case 'n': c = '\n'; break;
          case 'r': c = '\r'; break;
          case 't': c = '\t'; break;
          case 'b': c = '\b'; break;
          case 'f': c = '\f'; break;
          case '\r':
            if (peek() == '\n') ++pos;
            continue;  // line continuation
          case '\n': continue;
          default:
            if (e >= '0' && e <= '7') {
              int v = e - '0';
              for (int k = 0; k < 2 && peek() >= '0' && peek() <= '7'; ++k) v = v * 8 + (s[pos++] - '0');
              c = char(v & 0xff);
            } else {
              c = e;
            }
        }
      }
      bytes += c;
    }
    return make_string(std::move(bytes));
  }

  Object hex_string() {
    ++pos;  // '<'
    std::string bytes;
    int high = -1;
    while (pos < s.size() && s[pos] != '>') {
      int v = hex_digit(s[pos++]);
      if (v < 0) continue;
      if (high < 0) {
        high = v;
      } else {
        bytes += char(high * 16 + v);
        high = -1;
      }
    }
    if (pos < s.size()) ++pos;  // '>'
    if (high >= 0) bytes += char(high * 16);
    return make_string(std::move(bytes));
  }

  // One operand object. Returns false at an operator word, which is left
  // unread for the caller, or at the end of the input.
  bool object(Object& out, int depth);

  Object array(int depth) {
    ++pos;  // '['
    std::vector<Object> items;
    for (;;) {
      skip_space();
      if (at_end()) break;
      if (peek() == ']') {
        ++pos;
        break;
      }
      Object item;
      if (!object(item, depth + 1)) {
        if (at_end() || byte_class[peek()] == regular) break;  // unterminated: stop at the operator
        continue;
      }
      items.push_back(std::move(item));
    }
    return make_array(std::move(items));
  }

  Object dictionary(int depth) {
    pos += 2;  // "<<"
    Dictionary dict;
    for (;;) {
      skip_space();
      if (at_end()) break;
      if (peek() == '>' && peek(1) == '>') {
        pos += 2;
        break;
      }
      if (peek() != '/') {
        Object junk;
        if (!object(junk, depth + 1) && (at_end() || byte_class[peek()] == regular)) break;
        continue;
      }
      std::string key = std::get<Name>(name().value).bytes;
      skip_space();
      Object value;
      if (!object(value, depth + 1)) break;
      if (value.is(ObjectKind::Null)) continue;  // a null entry is the same as no entry
      dict.entries.emplace_back(std::move(key), std::move(value));
    }
    return make_dictionary(std::move(dict));
  }
};

bool Lexer::object(Object& out, int depth) {
  skip_space();
  if (at_end()) return false;
  unsigned char c = peek();
  if (depth > max_nesting) {
    ++pos;  // too deep: consume a byte so the caller keeps moving
    return false;
  }
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') {
    out = number();
    return true;
  }
  switch (c) {
    case '/': out = name(); return true;
    case '(': out = literal_string(); return true;
    case '[': out = array(depth); return true;
    case '<':
      out = peek(1) == '<' ? dictionary(depth) : hex_string();
      return true;
    default: break;
  }
  if (byte_class[c] == delimiter) {
    ++pos;  // a stray ')', '>', ']', '{' or '}'
    return false;
  }
  size_t start = pos;
  std::string_view w = word();
  if (w == "true" || w == "false") {
    out = Object{w == "true"};
    return true;
  }
  if (w == "null") {
    out = make_null();
    return true;
  }
  pos = start;  // an operator: leave it for the caller
  return false;
}

bool is_space(unsigned char c) { return byte_class[c] == whitespace; }

// Inline image data ends at "EI" standing alone: after whitespace and
// before whitespace, a delimiter or the end.
size_t find_inline_image_end(std::string_view s, size_t from) {
  for (size_t i = from; i + 1 < s.size(); ++i) {
    if (s[i] != 'E' || s[i + 1] != 'I') continue;
    bool before = i == from || is_space(s[i - 1]);
    bool after = i + 2 >= s.size() || byte_class[(unsigned char)s[i + 2]] != regular;
    if (before && after) return i;
  }
  return std::string_view::npos;
}

void inline_image(Lexer& lx, Operations& out) {
  Dictionary params;
  for (size_t keys = 0; keys < max_inline_image_keys;) {
    lx.skip_space();
    if (lx.at_end()) return;
    if (lx.peek() == '/') {
      std::string key = std::get<Name>(lx.name().value).bytes;
      Object value;
      if (!lx.object(value, 1)) continue;
      params.entries.emplace_back(std::move(key), std::move(value));
      ++keys;
      continue;
    }
    size_t start = lx.pos;
    std::string_view w = lx.word();
    if (w == "ID") break;
    if (w.empty()) lx.pos = start + 1;  // a stray delimiter
  }
  if (lx.pos < lx.s.size() && is_space(lx.s[lx.pos])) ++lx.pos;  // the single space after ID
  size_t data_start = lx.pos;
  size_t end = find_inline_image_end(lx.s, data_start);
  size_t data_end = end == std::string_view::npos ? lx.s.size() : end;
  if (data_end > data_start && is_space(lx.s[data_end - 1])) --data_end;
  lx.pos = end == std::string_view::npos ? lx.s.size() : end + 2;
  Operation op{"BI", uint32_t(out.operands.size()), 2};
  out.operands.push_back(make_dictionary(std::move(params)));
  out.operands.push_back(make_string(std::string(lx.s.substr(data_start, data_end - data_start))));
  out.ops.push_back(std::move(op));
}

}  // namespace

Operations decode_operations(std::string_view content) {
  Operations out;
  Lexer lx{content};
  size_t pending = 0;  // operands read since the last operator
  out.ops.reserve(content.size() / 16);
  out.operands.reserve(content.size() / 8);
  while (true) {
    Object operand;
    if (lx.object(operand, 0)) {
      if (pending == max_operands) {
        // Garbage, not a real operand list: drop it and start over.
        out.operands.resize(out.operands.size() - pending);
        pending = 0;
      }
      out.operands.push_back(std::move(operand));
      ++pending;
      continue;
    }
    if (lx.at_end()) break;
    size_t start = lx.pos;
    std::string_view w = lx.word();
    if (w.empty()) {
      if (lx.pos == start) ++lx.pos;
      continue;
    }
    if (w == "BI") {
      out.operands.resize(out.operands.size() - pending);
      pending = 0;
      inline_image(lx, out);
      continue;
    }
    out.ops.push_back(Operation{std::string(w), uint32_t(out.operands.size() - pending), uint32_t(pending)});
    pending = 0;
  }
  return out;
}

}  // namespace quirelle
