#include "text/normalise.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "text/tex_text.h"

namespace quirelle {
namespace {

std::string normalised(const std::u32string& cps) {
  std::string out;
  for (char32_t cp : cps) append_normalised(out, cp);
  return out;
}

TEST(normalise_test, filters_each_character) {
  struct Case {
    char32_t cp;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0xFB00, "ff"},   {0xFB01, "fi"},   {0xFB02, "fl"},   {0xFB03, "ffi"},
      {0xFB04, "ffl"},  {0xFB05, "st"},   {0xFB06, "st"},   {0xFB07, "\ufb07"},
      {0xFEFF, ""},     {0x200C, ""},     {0x200D, ""},     {0x00A0, " "},
      {0x2009, " "},    {0x200B, " "},    {0x202F, " "},    {0x2002, "\u2002"},
      {0x0000, ""},     {0x0001, ""},     {0x000C, ""},     {0x001F, ""},
      {'\t', "\t"},     {'\n', "\n"},     {'\r', "\r"},     {' ', " "},
      {'A', "A"},       {0x007F, "\x7F"}, {0x0093, "\u0093"}, {0x00E9, "\u00e9"},
      {0x1F600, "\U0001F600"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<uint32_t>(c.cp));
    std::string out = "x";
    append_normalised(out, c.cp);
    EXPECT_EQ(out, "x" + c.expected);
  }
}

TEST(normalise_test, rewrites_within_a_sequence) {
  EXPECT_EQ(normalised(U"e\u00a0f"), "e f");
  EXPECT_EQ(normalised(U"a\u200db"), "ab");
  EXPECT_EQ(normalised(U"\ufeff\ufb01nal"), "final");
}

TEST(tex_text_test, maps_the_positions_that_differ_from_ascii) {
  struct Case {
    uint8_t code;
    std::string_view expected;
  };
  const std::vector<Case> cases = {
      {0, "\u0393"},   {10, "\u03a9"},  {11, "ff"},      {12, "fi"},
      {14, "ffi"},     {15, "ffl"},     {16, "\u0131"},  {17, "\u0237"},
      {18, "`"},       {25, "\u00df"},  {31, "\u00d8"},  {34, "\u201d"},
      {39, "\u2019"},  {92, "\u201c"},  {96, "\u2018"},  {123, "\u2013"},
      {124, "\u2014"}, {125, "\u02dd"}, {126, "\u02dc"}, {127, "\u00a8"},
      // Unlisted codes: the caller falls back to the code point.
      {32, ""},        {33, ""},        {48, ""},        {65, ""},
      {122, ""},       {128, ""},       {255, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    EXPECT_EQ(tex_text_char(c.code), c.expected);
  }

  int listed = 0;
  for (int code = 0; code < 256; ++code)
    if (!tex_text_char(static_cast<uint8_t>(code)).empty()) ++listed;
  EXPECT_EQ(listed, 41);
}

// One-byte decoding without a font map: the TeX table when the font uses the
// TeX text layout, else the code point, then the character filter.
std::string one_byte_fallback(uint8_t code, bool tex_font) {
  if (tex_font && !tex_text_char(code).empty()) return std::string(tex_text_char(code));
  std::string out;
  append_normalised(out, code);
  return out;
}

TEST(tex_text_test, only_tex_fonts_use_the_table) {
  EXPECT_EQ(one_byte_fallback(12, true), "fi");
  EXPECT_EQ(one_byte_fallback(123, true), "\u2013");
  EXPECT_EQ(one_byte_fallback(12, false), "");  // U+000C is dropped
  EXPECT_EQ(one_byte_fallback(123, false), "{");
  EXPECT_EQ(one_byte_fallback(0x93, false), "\u0093");  // not a curly quote
}

}  // namespace
}  // namespace quirelle
