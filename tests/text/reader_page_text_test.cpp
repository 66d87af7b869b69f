#include "text/reader_page_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "text/base_encodings.h"

namespace quirelle {
namespace {

struct CodeCase {
  BaseEncoding encoding;
  unsigned code;
  char32_t expected;  // 0: undefined
};

TEST(BaseEncodingTest, KnownCodes) {
  using enum BaseEncoding;
  const std::vector<CodeCase> cases = {
      {standard, 0x41, U'A'},      {standard, 0x27, 0x2019},    {standard, 0x60, 0x2018},
      {standard, 0xAE, 0xFB01},    {standard, 0xA4, 0x2044},    {standard, 0xE1, 0x00C6},
      {standard, 0xFB, 0x00DF},    {standard, 0x80, 0},         {standard, 0x0A, 0},
      {win_ansi, 0x41, U'A'},      {win_ansi, 0x80, 0x20AC},    {win_ansi, 0x93, 0x201C},
      {win_ansi, 0x9F, 0x0178},    {win_ansi, 0xE9, 0x00E9},    {win_ansi, 0xAD, 0x002D},
      {win_ansi, 0x81, 0},         {win_ansi, 0x7F, 0},         {mac_roman, 0x8E, 0x00E9},
      {mac_roman, 0xD2, 0x201C},   {mac_roman, 0xA5, 0x2022},   {mac_roman, 0xDB, 0x00A4},
      {mac_roman, 0xF0, 0},        {pdf_doc, 0x18, 0x02D8},     {pdf_doc, 0x80, 0x2022},
      {pdf_doc, 0xA0, 0x20AC},     {pdf_doc, 0xE9, 0x00E9},     {pdf_doc, 0x9F, 0},
      {pdf_doc, 0xAD, 0},          {symbol, 0x61, 0x03B1},      {symbol, 0x44, 0x0394},
      {symbol, 0x57, 0x03A9},      {symbol, 0xB9, 0x2260},      {symbol, 0xF2, 0x222B},
      {symbol, 0x20, U' '},        {symbol, 0x60, 0},           {symbol, 0xF0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.encoding) << " code " << std::hex << c.code);
    EXPECT_EQ(base_encoding_table(c.encoding)[c.code], c.expected);
  }
}

TEST(BaseEncodingTest, LatinEncodingsAgreeOnAscii) {
  for (auto encoding : {BaseEncoding::standard, BaseEncoding::win_ansi, BaseEncoding::mac_roman,
                        BaseEncoding::pdf_doc}) {
    for (char32_t c = 0x20; c < 0x7F; ++c) {
      if (encoding == BaseEncoding::standard && (c == 0x27 || c == 0x60)) continue;  // curly quotes
      EXPECT_EQ(base_encoding_table(encoding)[c], c) << int(encoding) << " " << unsigned(c);
    }
  }
}

TEST(BaseEncodingTest, NamesAndGlyphNames) {
  EXPECT_EQ(base_encoding_named("WinAnsiEncoding"), BaseEncoding::win_ansi);
  EXPECT_EQ(base_encoding_named("MacRomanEncoding"), BaseEncoding::mac_roman);
  EXPECT_EQ(base_encoding_named("StandardEncoding"), BaseEncoding::standard);
  EXPECT_EQ(base_encoding_named("PDFDocEncoding"), BaseEncoding::pdf_doc);
  EXPECT_EQ(base_encoding_named("MacExpertEncoding"), std::nullopt);
  EXPECT_EQ(base_glyph_code_point("alpha"), char32_t(0x03B1));
  EXPECT_EQ(base_glyph_code_point("Delta"), char32_t(0x0394));
  EXPECT_EQ(base_glyph_code_point("currency"), char32_t(0x00A4));
  EXPECT_EQ(base_glyph_code_point("nosuchglyph"), std::nullopt);
}

ObjectId id(uint32_t n) { return ObjectId{n, 0}; }

Dictionary dict(std::vector<std::pair<std::string, Object>> entries) {
  Dictionary d{std::move(entries)};
  finish_dictionary(d);
  return d;
}

Object simple_font(std::string base_font, Object encoding = make_null()) {
  std::vector<std::pair<std::string, Object>> entries = {
      {"Type", make_name("Font")}, {"Subtype", make_name("Type1")}, {"BaseFont", make_name(base_font)}};
  if (!encoding.is(ObjectKind::Null)) entries.emplace_back("Encoding", std::move(encoding));
  return make_dictionary(dict(std::move(entries)));
}

Object differences(std::string base, std::vector<Object> items) {
  std::vector<std::pair<std::string, Object>> entries = {{"Differences", make_array(std::move(items))}};
  if (!base.empty()) entries.emplace_back("BaseEncoding", make_name(base));
  return make_dictionary(dict(std::move(entries)));
}

const char* const tounicode_cmap =
    "begincmap 2 beginbfchar <41> <005A> <0001> <0048> endbfchar "
    "1 beginbfrange <0002> <0003> <0069> endbfrange endcmap";

// One page (object 2) showing `content`, with a font for every case below.
Document page_document(std::string content) {
  Document doc;
  auto put = [&](uint32_t n, Object o) { doc.objects[object_key(id(n))] = std::move(o); };
  put(10, make_stream({}, tounicode_cmap));
  put(11, make_dictionary(dict({{"DW", make_integer(2000)}})));
  std::vector<std::pair<std::string, Object>> fonts = {
      {"FW", simple_font("Helvetica", make_name("WinAnsiEncoding"))},
      {"FM", simple_font("Times-Roman", make_name("MacRomanEncoding"))},
      {"FS", simple_font("ABCDEF+Courier")},
      {"FY", simple_font("Symbol")},
      {"FYD", simple_font("Symbol", differences("", {make_integer(66), make_name("bullet")}))},
      {"FD", simple_font("Helvetica", differences("WinAnsiEncoding",
                                                  {make_integer(65), make_name("eacute"), make_name("bullet"),
                                                   make_integer(70), make_name("alpha"), make_name("one.oldstyle"),
                                                   make_name("nosuchglyph")}))},
      {"FU", make_dictionary(dict({{"Subtype", make_name("TrueType")},
                                   {"Encoding", differences("", {make_integer(65), make_name("B")})},
                                   {"ToUnicode", make_reference(id(10))}}))},
      {"FWide", make_dictionary(dict({{"Subtype", make_name("Type1")},
                                      {"FirstChar", make_integer(97)},
                                      {"Widths", make_array({make_integer(2000)})}}))},
      {"F0", make_dictionary(dict({{"Subtype", make_name("Type0")},
                                   {"Encoding", make_name("Identity-H")},
                                   {"ToUnicode", make_reference(id(10))},
                                   {"DescendantFonts", make_array({make_reference(id(11))})}}))},
  };
  auto cjk_font = [&](std::string cmap) {
    return make_dictionary(dict({{"Subtype", make_name("Type0")}, {"Encoding", make_name(std::move(cmap))}}));
  };
  fonts.emplace_back("FGBK", cjk_font("GBK-EUC-H"));
  fonts.emplace_back("FRKSJ", cjk_font("90ms-RKSJ-H"));
  fonts.emplace_back("FUCS", cjk_font("UniJIS-UCS2-H"));
  fonts.emplace_back("FJIS", cjk_font("H"));
  fonts.emplace_back("FV", make_dictionary(dict({{"Subtype", make_name("Type0")},
                                                 {"Encoding", make_name("Identity-V")},
                                                 {"ToUnicode", make_reference(id(10))}})));
  Object form = make_stream(dict({{"Subtype", make_name("Form")}}), "BT /FW 10 Tf (form text) Tj ET");
  put(1, make_dictionary(dict({{"Type", make_name("Pages")},
                               {"Resources", make_dictionary(dict({{"Font", make_dictionary(dict(std::move(fonts)))},
                                                                   {"XObject", make_dictionary(dict({{"X1", form}}))}}))}})));
  put(4, make_stream({}, std::move(content)));
  put(2, make_dictionary(dict({{"Type", make_name("Page")}, {"Parent", make_reference(id(1))},
                               {"Contents", make_reference(id(4))}})));
  doc.pages = {id(2)};
  return doc;
}

struct TextCase {
  const char* what;
  std::string content;
  std::string expected;
};

void expect_texts(const std::vector<TextCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto text = reader_page_text(page_document(c.content), 1);
    ASSERT_TRUE(text.ok()) << text.error;
    EXPECT_EQ(*text.value, c.expected);
  }
}

TEST(ReaderPageTextTest, DecodesThroughEncodings) {
  expect_texts({
      {"WinAnsi", "BT /FW 10 Tf (caf\xE9 \x93q\x94 \x80) Tj ET", "caf\u00e9 \u201cq\u201d \u20ac"},
      {"MacRoman", "BT /FM 10 Tf (caf\x8E \xD2q\xD3) Tj ET", "caf\u00e9 \u201cq\u201d"},
      {"Standard by default", "BT /FS 10 Tf (it's \x60x' \xAEne) Tj ET", "it\u2019s \u2018x\u2019 fine"},
      {"Symbol font's own encoding", "BT /FY 10 Tf (a+D\xB9) Tj ET", "\u03b1+\u0394\u2260"},
      {"Symbol base under Differences", "BT /FY 10 Tf (a) Tj /FYD 10 Tf (aB) Tj ET", "\u03b1\u03b1\u2022"},
      {"Differences override the base", "BT /FD 10 Tf (ABC\xE9) Tj ET", "\u00e9\u2022C\u00e9"},
      {"Differences: base names, suffixes, unknown names", "BT /FD 10 Tf (FGH) Tj ET", "\u03b11H"},
      {"ToUnicode wins over Differences", "BT /FU 10 Tf (AB) Tj ET", "ZB"},
      {"Type0 through ToUnicode, then Identity", "BT /F0 10 Tf <000100020003263A0042> Tj ET",
       "Hij\u263aB"},
      {"GBK CMap", "BT /FGBK 10 Tf (\xD6\xD0" "A) Tj ET", "\u4e2dA"},
      {"Shift-JIS CMap, one- and two-byte codes", "BT /FRKSJ 10 Tf (\x82\xA0" "A\x82\xA2) Tj ET", "\u3042A\u3044"},
      {"UCS-2 CMap", "BT /FUCS 10 Tf <30423044> Tj ET", "\u3042\u3044"},
      {"JIS row and cell CMap", "BT /FJIS 10 Tf <24222424> Tj ET", "\u3042\u3044"},
      {"unknown font reads as Standard", "BT /Nope 10 Tf (it's) Tj ET", "it\u2019s"},
      {"control codes are dropped", "BT /FW 10 Tf (a\x01\x02z) Tj ET", "az"},
  });
}

TEST(ReaderPageTextTest, LinesAndSpaces) {
  expect_texts({
      {"Td to the next line", "BT /FW 10 Tf 0 700 Td (one) Tj 0 -12 Td (two) Tj ET", "one\ntwo"},
      {"small Td on the same line", "BT /FW 10 Tf 0 700 Td (a) Tj 5 2 Td (b) Tj ET", "ab"},
      {"Td gap on the same line", "BT /FW 10 Tf 0 700 Td (ab) Tj 20 0 Td (cd) Tj ET", "ab cd"},
      {"successive shows continue", "BT /FW 10 Tf (ab) Tj (cd) Tj ET", "abcd"},
      {"Widths place the next show", "BT /FWide 10 Tf (a) Tj 20 0 Td (a) Tj ET", "aa"},
      {"CID widths too", "BT /F0 10 Tf <0001> Tj 20 0 Td <0001> Tj ET", "HH"},
      {"TD and T*", "BT /FW 10 Tf 0 700 TD (a) Tj 0 -14 TD (b) Tj T* (c) Tj ET", "a\nb\nc"},
      {"TL and T*", "BT /FW 10 Tf 12 TL (a) Tj T* (b) Tj ET", "a\nb"},
      {"Tm to another line", "BT /FW 10 Tf 1 0 0 1 0 700 Tm (a) Tj 1 0 0 1 0 650 Tm (b) Tj ET", "a\nb"},
      {"Tm along the line", "BT /FW 10 Tf 1 0 0 1 0 700 Tm (a) Tj 1 0 0 1 40 700 Tm (b) Tj ET", "a b"},
      {"BT on another line", "BT /FW 10 Tf 0 700 Td (a) Tj ET BT /FW 10 Tf 0 600 Td (b) Tj ET", "a\nb"},
      {"BT on the same line", "BT /FW 10 Tf 0 700 Td (a) Tj ET BT /FW 10 Tf 40 700 Td (b) Tj ET", "a b"},
      {"TJ spacing", "BT /FW 10 Tf [(a) -300 (b) -100 (c) 200 (d) -251 ( e)] TJ ET", "a bcd e"},
      {"quote", "BT /FW 10 Tf 12 TL (a) Tj (b) ' ET", "a\nb"},
      {"double quote sets spacing", "BT /FW 10 Tf 12 TL (a) Tj 0 0 (b) \" ET", "a\nb"},
      {"cm scales the line offset and the size alike",
       "2 0 0 2 0 0 cm BT /FW 10 Tf 0 300 Td (a) Tj 0 -3 Td (b) Tj 0 -6 Td (c) Tj ET", "ab\nc"},
      {"rotated text keeps its line", "BT /FW 10 Tf 0 1 -1 0 100 100 Tm (ab) Tj (cd) Tj 0 -12 Td (ef) Tj ET",
       "abcd\nef"},
      {"spaces are not doubled", "BT /FW 10 Tf (a ) Tj 40 0 Td ( b) Tj ET", "a b"},
      {"no trailing whitespace", "BT /FW 10 Tf (a) Tj 0 -20 Td ( ) Tj ET", "a"},
      {"vertical writing runs down a column",
       "BT /FV 10 Tf 100 700 Td <0001> Tj <0002> Tj -20 0 Td <0003> Tj 0 -30 Td <0001> Tj ET", "Hi\nj H"},
      {"simulated bold is read once", "BT /FW 10 Tf (bold) Tj 0.3 0.2 Td (bold) Tj 0.3 0 Td (bold) Tj ET", "bold"},
      {"repeated text apart is kept", "BT /FW 10 Tf (1) Tj 20 0 Td (1) Tj (1) Tj ET", "1 11"},
      {"text in a Form XObject", "BT /FW 10 Tf 0 700 Td (page) Tj ET /X1 Do", "page\nform text"},
      {"no text", "0 0 m 10 10 l S", ""},
      {"garbage operands", "BT /FW Tf (a) (b) Td [ (c) /x 5 ] TJ 1 2 3 Tm ET", "c"},
  });
}

TEST(ReaderPageTextTest, Errors) {
  Document doc = page_document("BT /FW 10 Tf (a) Tj ET");
  EXPECT_FALSE(reader_page_text(doc, 0).ok());
  EXPECT_FALSE(reader_page_text(doc, 2).ok());
  EXPECT_TRUE(reader_page_text(doc, 1).ok());
  doc.objects.erase(object_key(id(4)));  // Contents points nowhere
  EXPECT_FALSE(reader_page_text(doc, 1).ok());
}

TEST(ReaderPageTextTest, SelfDrawingFormsAreBounded) {
  Document doc = page_document("/X1 Do");
  Object resources = make_dictionary(dict({{"XObject", make_dictionary(dict({{"X2", make_reference(id(20))}}))}}));
  doc.objects[object_key(id(20))] = make_stream(dict({{"Subtype", make_name("Form")}, {"Resources", resources}}),
                                                "BT /FW 10 Tf (x) Tj ET q 1 0 0 1 0 -20 cm /X2 Do Q /X2 Do");
  doc.objects[object_key(id(4))] = make_stream({}, "/X2 Do");
  Dictionary page = *dict_by_id(doc, id(2));
  page.entries.emplace_back("Resources", resources);
  finish_dictionary(page);
  doc.objects[object_key(id(2))] = make_dictionary(page);
  auto text = reader_page_text(doc, 1);
  ASSERT_TRUE(text.ok());
  // Eight levels of a binary tree of forms: 2^8 - 1 shows.
  EXPECT_EQ(std::count(text.value->begin(), text.value->end(), 'x'), 255);
}

}  // namespace
}  // namespace quirelle
