#include "text/show_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace quirelle {
namespace {

struct Piece {
  std::string text;
  float x;
  float width;
  // Offsets are sums of float products; a ten-thousandth of a point is
  // far below anything the pieces are used for.
  friend bool operator==(const Piece& a, const Piece& b) {
    return a.text == b.text && std::fabs(a.x - b.x) < 1e-4f && std::fabs(a.width - b.width) < 1e-4f;
  }
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
  return os << '{' << '"' << p.text << "\" " << p.x << ' ' << p.width << '}';
}

std::vector<Piece> pieces_of(const ShownText& shown) {
  std::vector<Piece> out;
  for (const auto& p : shown.pieces) out.push_back({p.text, p.x, p.width});
  return out;
}

Object str(std::string bytes) { return make_string(std::move(bytes)); }

// The text of each code shown alone, so that pieces do not merge them.
std::string decoded(const FontRecord& font, std::string bytes) {
  const Object element = str(std::move(bytes));
  ShownText shown = show_text(&font, {&element, 1}, 10, 0, 0);
  return shown.pieces.empty() ? "" : shown.pieces[0].text;
}

TEST(show_text_test, decodes_codes_by_the_font_maps) {
  FontRecord mapped;
  mapped.tounicode = CodeTextMap{{'A', "X"}, {'L', "\ufb01"}, {'N', "\u00a0"}};
  mapped.encoding = {{'A', "Y"}, {'B', "Y"}};
  FontRecord empty_map;
  empty_map.tounicode = CodeTextMap{};
  empty_map.encoding = {{'A', "Y"}};
  FontRecord tex;
  tex.tex_text = true;
  FontRecord plain;
  FontRecord cid;
  cid.two_byte = true;
  FontRecord cid_mapped;
  cid_mapped.two_byte = true;
  cid_mapped.tounicode = CodeTextMap{{0x0003, " "}};
  struct Case {
    const char* what;
    const FontRecord& font;
    std::string bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"ToUnicode first", mapped, "A", "X"},
      {"then the encoding", mapped, "B", "Y"},
      {"a simple font's partial ToUnicode leaves other codes to the one-byte rule", mapped, "C", "C"},
      {"a two-byte font's ToUnicode without the code gives nothing", cid_mapped, "\x4e\x2d", ""},
      {"ligatures are split", mapped, "L", "fi"},
      {"an empty ToUnicode defers to the encoding", empty_map, "A", "Y"},
      {"and otherwise gives nothing", empty_map, "B", ""},
      {"TeX ligature", tex, "\x0c", "fi"},
      {"TeX en dash", tex, "{", "\u2013"},
      {"TeX letters are ASCII", tex, "a", "a"},
      {"plain brace", plain, "{", "{"},
      {"plain control dropped", plain, "\x0c", ""},
      {"no cp1252 guessing", plain, "\x93", "\u0093"},
      {"Latin-1", plain, "\xe9", "\u00e9"},
      {"two-byte code point", cid, "\x4e\x2d", "\u4e2d"},
      {"two-byte surrogate gives nothing", cid, std::string("\xd8\x00", 2), ""},
      {"final odd byte", cid, "\x41", "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(decoded(c.font, c.bytes), c.text);
  }
}

TEST(show_text_test, splits_words_and_measures_pieces) {
  FontRecord narrow;  // every glyph 500/1000 em unless listed
  narrow.widths = {{'i', 250}, {'Z', 100}};
  narrow.tounicode = CodeTextMap{{'A', "A"}, {'B', "B"}, {'Z', ""}, {' ', " "}, {'i', "i"}, {'N', "\u00a0"}};
  FontRecord wide = narrow;
  wide.widths = {{'Z', 200}};
  struct Case {
    const char* what;
    const FontRecord* font;
    std::vector<Object> elements;
    float char_spacing, word_spacing;
    std::vector<Piece> pieces;
    float advance;
  };
  const std::vector<Case> cases = {
      {"one word", &narrow, {str("AiB")}, 0, 0, {{"AiB", 0, 12.5f}}, 12.5f},
      {"space ends a word", &narrow, {str("A B")}, 0, 0, {{"A ", 0, 5}, {"B", 10, 5}}, 15},
      {"repeated spaces give one", &narrow, {str("A  B")}, 0, 0, {{"A ", 0, 5}, {"B", 15, 5}}, 20},
      {"leading space", &narrow, {str(" A")}, 0, 0, {{"A", 5, 5}}, 10},
      {"no-break space separates", &narrow, {str("ANB")}, 0, 0, {{"A ", 0, 5}, {"B", 10, 5}}, 15},
      {"wide gap separates", &narrow, {str("A"), make_integer(-200), str("B")}, 0, 0, {{"A ", 0, 5}, {"B", 7, 5}}, 12},
      {"narrow gap joins", &narrow, {str("A"), make_integer(-100), str("B")}, 0, 0, {{"AB", 0, 11}}, 11},
      {"Real adjustment", &narrow, {str("A"), make_real(-150.5f), str("B")}, 0, 0, {{"A ", 0, 5}, {"B", 6.505f, 5}}, 11.505f},
      {"kerning backwards", &narrow, {str("A"), make_integer(1000), str("B")}, 0, 0, {{"AB", 0, 0}}, 0},
      {"space then gap give one space", &narrow, {str("A "), make_integer(-300), str("B")}, 0, 0,
       {{"A ", 0, 5}, {"B", 13, 5}}, 18},
      {"other elements skipped", &narrow, {str("A"), make_null(), str("B")}, 0, 0, {{"AB", 0, 10}}, 10},
      {"empty glyph, narrow: nothing", &narrow, {str("AZB")}, 0, 0, {{"AB", 0, 11}}, 11},
      {"empty glyph, wide: a break", &wide, {str("AZB")}, 0, 0, {{"A ", 0, 5}, {"B", 7, 5}}, 12},
      {"empty glyph at the threshold joins", &wide, {str("AZB")}, -0.5f, 0, {{"AB", 0, 10.5f}}, 10.5f},
      {"character spacing", &narrow, {str("AB")}, 1, 0, {{"AB", 0, 12}}, 12},
      {"word spacing on code 32", &narrow, {str("A B")}, 0, 3, {{"A ", 0, 5}, {"B", 13, 5}}, 18},
      {"negative width clamps to 0", &narrow, {str("AB")}, -6, 0, {{"AB", 0, 0}}, -2},
      {"no font: half an em per byte", nullptr, {str("A B")}, 0, 2, {{"A ", 0, 5}, {"B", 12, 5}}, 17},
      {"nothing shown", &narrow, {}, 0, 0, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ShownText shown = show_text(c.font, c.elements, 10, c.char_spacing, c.word_spacing);
    EXPECT_EQ(pieces_of(shown), c.pieces);
    EXPECT_FLOAT_EQ(shown.advance, c.advance);
  }
}

TEST(show_text_test, two_byte_fonts_use_cid_widths_and_no_word_spacing) {
  FontRecord cid;
  cid.two_byte = true;
  cid.default_width = 1000;
  cid.widths = {{0x41, 600}};
  const Object element = str(std::string("\x00\x41\x00\x20\x00\x42", 6));
  ShownText shown = show_text(&cid, {&element, 1}, 10, 0, 5);
  EXPECT_EQ(pieces_of(shown), (std::vector<Piece>{{"A ", 0, 6}, {"B", 16, 10}}));
  EXPECT_FLOAT_EQ(shown.advance, 26);
}

TEST(show_text_test, reuses_the_output_buffer) {
  FontRecord font;
  ShownText shown;
  const Object first = str("one two three");
  const Object second = str("four");
  show_text(&font, {&first, 1}, 10, 0, 0, shown);
  EXPECT_EQ(shown.pieces.size(), 3u);
  show_text(&font, {&second, 1}, 10, 0, 0, shown);
  EXPECT_EQ(pieces_of(shown), (std::vector<Piece>{{"four", 0, 20}}));
}

}  // namespace
}  // namespace quirelle
