#pragma once

// One text-showing operation (Tj, TJ and the quote operators) turned into
// word pieces: decoding codes to text, advancing by glyph widths and
// splitting at spaces and wide gaps.

#include <span>
#include <string>
#include <vector>

#include "document/object.h"
#include "text/font_record.h"

namespace quirelle {

// A TJ adjustment below this (thousandths of the text-space unit, compared
// with <) moves the next glyph far enough right to start a new word.
inline constexpr float word_gap_adjustment = -150;

// A glyph that decodes to nothing but advances more than this (fraction of
// the font size, compared with >) stands for a space.
inline constexpr float empty_glyph_gap_em = 0.15f;

// Glyph advance when no font is selected, as a fraction of the font size.
inline constexpr float no_font_advance_em = 0.5f;

// Offsets and widths are in text-space units scaled by the font size (not by
// the text matrix), measured from the start of the operation.
struct TextPiece {
  std::string text;  // after the character filter; may end with one space
  float x = 0;
  float width = 0;
};

struct ShownText {
  std::vector<TextPiece> pieces;
  float advance = 0;  // how far the operation moves the text position
};

// `elements` are the String operand of Tj or the items of a TJ array: strings
// are shown, numbers are adjustments, anything else is skipped. `font` may be
// null (no font selected, or a name the resources do not define).
// Refills `out`, keeping its capacity, so that a walker can reuse one buffer.
void show_text(const FontRecord* font, std::span<const Object> elements, float size,
               float char_spacing, float word_spacing, ShownText& out);

inline ShownText show_text(const FontRecord* font, std::span<const Object> elements, float size,
                           float char_spacing, float word_spacing) {
  ShownText out;
  show_text(font, elements, size, char_spacing, word_spacing, out);
  return out;
}

}  // namespace quirelle
