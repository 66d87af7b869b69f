#include "text/page_spans.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "span_test_support.h"
#include "test_document.h"

namespace quirelle {
namespace {

using namespace test;

std::vector<SpanView> spans_of(std::string content, Object font = plain_font(), Entries resources = {}) {
  Document doc = one_page_document(std::move(content), std::move(font), std::move(resources));
  return views_of(page_spans(doc, test_page, ""));
}

struct Case {
  const char* what;
  std::string content;
  std::vector<SpanView> spans;
};

void expect_all(const std::vector<Case>& cases, const Object& font = plain_font()) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(spans_of(c.content, font), c.spans);
  }
}

constexpr float quarter_turn = std::numbers::pi_v<float> / 2;

TEST(page_spans_test, words_positions_and_sizes) {
  expect_all({
      {"Hello World", "BT /F1 12 Tf 100 700 Td (Hello World) Tj ET",
       {{"Hello ", 100, 700, 12, 30}, {"World", 136, 700, 12, 30}}},
      {"wide TJ gap splits", "BT /F1 12 Tf [(A) -200 (B)] TJ ET", {{"A ", 0, 0, 12, 6}, {"B", 8.4f, 0, 12, 6}}},
      {"narrow TJ gap joins", "BT /F1 12 Tf [(A) -100 (B)] TJ ET", {{"AB", 0, 0, 12, 13.2f}}},
      {"text matrix scales the size and the width", "BT /F1 1 Tf 12 0 0 12 100 700 Tm (AB) Tj ET",
       {{"AB", 100, 700, 12, 12}}},
      {"a show moves Tm", "BT /F1 10 Tf (AB) Tj (C) Tj ET", {{"AB", 0, 0, 10, 10}, {"C", 10, 0, 10, 5}}},
      {"a scaling CTM scales position, size and width", "0.5 0 0 0.5 0 0 cm BT /F1 12 Tf 100 700 Td (A) Tj ET",
       {{"A", 50, 350, 6, 3}}},
      {"a flipped page keeps its lines in order", "1 0 0 -1 0 800 cm BT /F1 10 Tf 1 0 0 -1 0 100 Tm (A) Tj "
       "0 -20 Td (B) Tj ET", {{"A", 0, 700, 10, 5}, {"B", 0, 680, 10, 5}}},
      {"a translating CTM moves it", "1 0 0 1 50 0 cm BT /F1 12 Tf 100 700 Td (A) Tj ET", {{"A", 150, 700, 12, 6}}},
      {"near-identity CTM", "1.0005 0 0 1 50 0 cm BT /F1 12 Tf 100 700 Td (A) Tj ET", {{"A", 150.05f, 700, 12, 6.003f}}},
      {"quarter turn", "BT /F1 12 Tf 0 1 -1 0 100 200 Tm (Up) Tj ET", {{"Up", 100, 200, 12, 12, quarter_turn}}},
      {"quarter turn under the CTM", "2 0 0 2 10 20 cm BT /F1 12 Tf 0 1 -1 0 100 200 Tm (Up) Tj ET",
       {{"Up", 210, 420, 24, 24, quarter_turn}}},
      {"a piece offset is rotated too", "BT /F1 10 Tf 0 1 -1 0 0 0 Tm (A B) Tj ET",
       {{"A ", 0, 0, 10, 5, quarter_turn}, {"B", 0, 10, 10, 5, quarter_turn}}},
      {"slight slant counts as upright", "BT /F1 10 Tf 1 0.05 0 1 0 0 Tm (A) Tj ET", {{"A", 0, 0, 10, 5}}},
      {"mirrored text", "BT /F1 10 Tf -1 0 0 1 100 0 Tm (A) Tj ET", {{"A", 100, 0, 10, 5, std::numbers::pi_v<float>}}},
      {"rise lifts the baseline", "BT /F1 10 Tf 3 Ts (A) Tj ET", {{"A", 0, 3, 10, 5}}},
      {"size 2 is kept", "BT /F1 2 Tf (A) Tj ET", {{"A", 0, 0, 2, 1}}},
      {"size 1.5 is dropped", "BT /F1 1.5 Tf (A) Tj ET", {}},
      {"size 0 shows nothing", "BT /F1 0 Tf (A) Tj ET", {}},
      {"negative size: glyphs run backwards", "BT /F1 -10 Tf (A) Tj ET", {{"A", 0, 0, 10, 0}}},
  });
}

TEST(page_spans_test, text_state_operators) {
  expect_all({
      {"TD sets the leading for T*", "BT /F1 10 Tf 0 -14 TD (A) Tj T* (B) Tj (C) ' ET",
       {{"A", 0, -14, 10, 5}, {"B", 0, -28, 10, 5}, {"C", 0, -42, 10, 5}}},
      {"TL and the double quote, spacing not applied", "BT /F1 10 Tf 14 TL 5 3 (D E) \" ET",
       {{"D ", 0, -14, 10, 5}, {"E", 10, -14, 10, 5}}},
      {"quote without operands still moves", "BT /F1 10 Tf 14 TL ' (A) Tj ET", {{"A", 0, -14, 10, 5}}},
      {"Td from the line start, not the shown text", "BT /F1 10 Tf (AB) Tj 0 -12 Td (C) Tj ET",
       {{"AB", 0, 0, 10, 10}, {"C", 0, -12, 10, 5}}},
      {"BT resets the text matrix", "BT /F1 10 Tf 50 50 Td ET BT (A) Tj ET", {{"A", 0, 0, 10, 5}}},
      {"Tc and Tw", "BT /F1 10 Tf 1 Tc 2 Tw (A B) Tj ET", {{"A ", 0, 0, 10, 6}, {"B", 14, 0, 10, 6}}},
      {"Tf with a size only keeps the font", "BT /F1 10 Tf 20 20 Tf (A) Tj ET", {{"A", 0, 0, 20, 10}}},
      {"Tf with a name only keeps the size", "BT /F1 10 Tf /F1 Tf (A) Tj ET", {{"A", 0, 0, 10, 5}}},
      {"q and Q restore the CTM", "q 1 0 0 1 50 0 cm Q BT /F1 10 Tf (A) Tj ET", {{"A", 0, 0, 10, 5}}},
      {"an unbalanced Q is ignored", "1 0 0 1 50 0 cm Q Q BT /F1 10 Tf (A) Tj ET", {{"A", 50, 0, 10, 5}}},
      {"short operand lists are ignored", "1 2 3 4 5 cm BT /F1 10 Tf 100 Td 1 2 3 4 5 Tm (A) Tj ET",
       {{"A", 0, 0, 10, 5}}},
      {"wrong operand kinds", "BT /F1 10 Tf /x Tj (y) TJ [(A)] Tj (B) Tj ET", {{"B", 0, 0, 10, 5}}},
      {"garbage around the text", "] >> 12 } BT /F1 10 Tf (A) Tj ET }} Tj", {{"A", 0, 0, 10, 5}}},
      {"Do is not entered", "/Fm1 Do", {}},
  });
}

TEST(page_spans_test, fonts_and_style) {
  const Object wide = dict({{"Subtype", name("Type1")}, {"BaseFont", name("Helvetica-BoldOblique")},
                            {"FirstChar", make_integer(65)}, {"Widths", array({make_integer(1000), make_integer(1000)})}});
  EXPECT_EQ(spans_of("BT /F1 10 Tf (AB) Tj ET", wide), (std::vector<SpanView>{{"AB", 0, 0, 10, 20}}));
  // A name missing from the resources shows with the no-font rules.
  EXPECT_EQ(spans_of("BT /F9 10 Tf (AB) Tj ET", wide), (std::vector<SpanView>{{"AB", 0, 0, 10, 10}}));

  Document doc = one_page_document("BT /F1 10 Tf (A) Tj /F9 10 Tf (B) Tj ET", wide);
  auto spans = page_spans(doc, test_page, "");
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_TRUE(spans[0].bold && spans[0].italic && !spans[0].mono);
  EXPECT_FALSE(spans[1].bold || spans[1].italic || spans[1].mono);
}

TEST(page_spans_test, text_drawn_twice_in_place_is_kept_once) {
  expect_all({
      {"0.3 apart", "BT /F1 12 Tf 100 700 Td (Bold) Tj ET BT /F1 12 Tf 100.3 700 Td (Bold) Tj ET",
       {{"Bold", 100, 700, 12, 24}}},
      {"rounding apart", "BT /F1 12 Tf 100.4 700 Td (Bold) Tj ET BT /F1 12 Tf 100.6 700 Td (Bold) Tj ET",
       {{"Bold", 100.4f, 700, 12, 24}, {"Bold", 100.6f, 700, 12, 24}}},
      {"other text at the same place", "BT /F1 12 Tf (A) Tj ET BT /F1 12 Tf (B) Tj ET",
       {{"A", 0, 0, 12, 6}, {"B", 0, 0, 12, 6}}},
  });
}

TEST(page_spans_test, remove_duplicate_spans_rounds_halves_away_from_zero) {
  struct DuplicateCase {
    const char* what;
    std::vector<std::pair<float, float>> positions;
    size_t kept;
  };
  const std::vector<DuplicateCase> cases = {
      {"0.5 and 1.4 both round to 1", {{0.5f, 0}, {1.4f, 0}}, 1},
      {"-0.5 rounds to -1, -0.4 to 0", {{-0.5f, 0}, {-0.4f, 0}}, 2},
      {"-0.4 and 0.4 both round to 0", {{-0.4f, 0}, {0.4f, 0}}, 1},
      {"y counts too", {{0, 0}, {0, 1}}, 2},
      {"three copies", {{7, 7}, {7.2f, 7}, {6.9f, 7.1f}}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Span> spans;
    for (auto [x, y] : c.positions) spans.push_back(Span{"word", x, y, 10, 20});
    remove_duplicate_spans(spans);
    EXPECT_EQ(spans.size(), c.kept);
    EXPECT_EQ(spans.front().x, c.positions.front().first);  // the first occurrence stays
  }

  std::vector<Span> mixed = {{"a", 0, 0}, {"b", 0, 0}, {"a", 0.2f, 0}, {"c", 5, 5}, {"b", 0, 0.3f}};
  remove_duplicate_spans(mixed);
  ASSERT_EQ(mixed.size(), 3u);
  EXPECT_EQ(mixed[0].text, "a");
  EXPECT_EQ(mixed[1].text, "b");
  EXPECT_EQ(mixed[2].text, "c");
}

TEST(page_spans_test, unreadable_pages_give_no_spans) {
  Document doc = one_page_document("BT /F1 10 Tf (A) Tj ET");
  EXPECT_TRUE(page_spans(doc, ObjectId{77, 0}, "").empty());
  put(doc, page_object, dict({{"Type", name("Page")}}));  // no Contents
  EXPECT_TRUE(page_spans(doc, test_page, "").empty());
  put(doc, page_object, dict({{"Contents", ref(content_object)}}));  // no Resources: no fonts
  EXPECT_EQ(views_of(page_spans(doc, test_page, "")), (std::vector<SpanView>{{"A", 0, 0, 10, 5}}));
  put(doc, content_object, stream({{"Filter", name("FlateDecode")}}, "not deflate"));
  EXPECT_TRUE(page_spans(doc, test_page, "").empty());
}

}  // namespace
}  // namespace quirelle
