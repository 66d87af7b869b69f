#include "text/show_text.h"

#include <algorithm>
#include <string_view>

#include "document/access.h"
#include "text/normalise.h"
#include "text/tex_text.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

constexpr uint32_t space_code = 32;

void append_text(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size();) append_normalised(out, next_code_point(text, i));
}

const std::string* find_text(const CodeTextMap& map, uint32_t code) {
  auto it = map.find(code);
  return it == map.end() ? nullptr : &it->second;
}

// The text of one code, through the character filter, into `glyph`.
void decode_code(const FontRecord& font, uint32_t code, std::string& glyph) {
  if (font.tounicode && !font.tounicode->empty()) {
    if (const std::string* text = find_text(*font.tounicode, code)) return append_text(glyph, *text);
  }
  if (const std::string* text = find_text(font.encoding, code)) return append_text(glyph, *text);
  // An empty ToUnicode map, or one of a two-byte font (whose codes are
  // glyph ids, not characters), is trusted to mean "no text" for codes it
  // lacks. A simple font's map that covers only a few codes (LaTeX writes
  // one for the ligatures alone) leaves the rest to the one-byte rule, or
  // all the page's ordinary letters would be lost.
  if (font.tounicode && (font.two_byte || font.tounicode->empty())) return;
  if (font.two_byte) {
    if (is_scalar_value(code)) append_normalised(glyph, char32_t(code));
    return;
  }
  if (font.tex_text && code < 128) {
    if (std::string_view tex = tex_text_char(uint8_t(code)); !tex.empty()) return append_text(glyph, tex);
  }
  append_normalised(glyph, char32_t(code));
}

float glyph_width(const FontRecord& font, uint32_t code) {
  auto it = font.widths.find(code);
  return it == font.widths.end() ? font.default_width : it->second;
}

// The open piece and the rules that split text into pieces.
class PieceBuilder {
 public:
  explicit PieceBuilder(std::vector<TextPiece>& pieces) : pieces_(pieces) {}

  void add_glyph(std::string_view glyph, float x, float advance, float size) {
    if (glyph.empty()) {
      if (advance > empty_glyph_gap_em * size) add_space();
      return;
    }
    if (is_whitespace_only(glyph)) return add_space();
    if (pending_break_ || text_.empty()) {
      close();
      start_ = x;
      pending_break_ = false;
    }
    text_ += glyph;
    end_ = x + advance;
  }

  // One space at most ends a piece: a space glyph followed by a wide TJ gap
  // is still one word separator.
  void add_space() {
    if (text_.empty() || text_.back() != ' ') text_ += ' ';
    pending_break_ = true;
  }

  void close() {
    if (!is_whitespace_only(text_))
      pieces_.push_back(TextPiece{std::move(text_), start_, std::max(0.0f, end_ - start_)});
    text_.clear();
  }

 private:
  std::vector<TextPiece>& pieces_;
  std::string text_;
  float start_ = 0;
  float end_ = 0;
  bool pending_break_ = false;
};

}  // namespace

void show_text(const FontRecord* font, std::span<const Object> elements, float size,
               float char_spacing, float word_spacing, ShownText& out) {
  out.pieces.clear();
  PieceBuilder builder(out.pieces);
  std::string glyph;  // reused for every code; glyph texts fit its inline storage
  const bool two_byte = font && font->two_byte;
  float x = 0;
  for (const Object& element : elements) {
    if (is_number(&element)) {
      const float adjustment = number_of(&element);
      x -= adjustment / 1000 * size;
      if (adjustment < word_gap_adjustment) builder.add_space();
      continue;
    }
    auto bytes = as_string(&element);
    if (!bytes) continue;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes->data());
    const size_t length = bytes->size();
    for (size_t i = 0; i < length;) {
      uint32_t code = data[i++];
      // A final odd byte of a two-byte string is a code by itself.
      if (two_byte && i < length) code = (code << 8) | data[i++];
      glyph.clear();
      float advance;
      if (font) {
        decode_code(*font, code, glyph);
        advance = glyph_width(*font, code) / 1000 * size + char_spacing;
        if (!two_byte && code == space_code) advance += word_spacing;
      } else {
        append_normalised(glyph, char32_t(code));
        advance = no_font_advance_em * size + char_spacing;
        if (code == space_code) advance += word_spacing;
      }
      builder.add_glyph(glyph, x, advance, size);
      x += advance;
    }
  }
  builder.close();
  out.advance = x;
}

}  // namespace quirelle
