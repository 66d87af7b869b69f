#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "extract/table_detect.h"

namespace quirelle {
namespace {

// A span as the text reader makes it; by default each character is half an
// em wide.
Span word(std::string text, float x, float y, float width = -1, float size = 10) {
  Span s;
  s.width = width >= 0 ? width : float(text.size()) * size * 0.5f;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = size;
  return s;
}

std::vector<std::string> texts(const std::vector<Segment>& segments) {
  std::vector<std::string> out;
  for (const Segment& s : segments) out.push_back(s.text);
  return out;
}

TEST(TableLinesTest, NeedsSpaceKeepsNumbersAndPunctuationTogether) {
  struct Case {
    const char* prev;
    const char* next;
    bool space;
  };
  const Case cases[] = {
      {"", "a", false},         {"a", "b", true},         {"word", ",", false},  {"word", ")", false},
      {"word", "%", false},     {"x", "}", false},        {"(", "a", false},     {"[", "1", false},
      {"{", "a", false},        {"1,", "000", false},     {"3.", "14", false},   {"1/", "2", false},
      {"\u2212", "5", false},   {"-", "5", false},        {"a:", "1", false},    {"end.", "Next", true},
      {"a,", "b", true},        {"\u2212", "x", true},    {"a", "", true},       {"a-", "", true},
      {"a", "\u2212", true},    {"a\u2013", "5", true},   {"1", "2", true},      {"x", "(1)", true},
  };
  for (const Case& c : cases) EXPECT_EQ(needs_space(c.prev, c.next), c.space) << c.prev << "|" << c.next;
}

TEST(TableLinesTest, NumericTokens) {
  struct Case {
    const char* text;
    bool numeric;
  };
  const Case cases[] = {
      {"12.5", true},      {" 1,000 ", true},  {"(3)", true},     {"-4%", true},       {"+7*", true},
      {"\u00B10.2", true}, {"\u22125", true},  {"", false},       {"  ", false},       {"-", false},
      {"1/2", false},      {"12a", false},     {"1 2", false},    {"\u20135", false},  {"()", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_numeric_token(c.text), c.numeric) << c.text;
}

TEST(TableLinesTest, EquationNumbers) {
  struct Case {
    const char* text;
    bool equation;
  };
  const Case cases[] = {
      {"(1)", true},  {" (12) ", true}, {"(3.1)", true}, {"()", false}, {"(a)", false},
      {"1)", false},  {"(1", false},    {"(1 )", false}, {"", false},   {"((1))", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_equation_number(c.text), c.equation) << c.text;
}

TEST(TableLinesTest, GroupLinesByBaselineTopToBottomLeftToRight) {
  // Mean size 10: baselines within 6 points of the line's first span share a line.
  const std::vector<Span> spans = {
      word("b", 100, 700), word("a", 72, 695),      // 5 below the line's reference: same line
      word("c", 72, 680),  word("d", 90, 685.5f),   // 685.5 opens a line; 680 is within 6 of it
      word("turned", 72, 660), word("  ", 72, 640),  // no text
  };
  std::vector<Span> input = spans;
  input[4].angle = 0.5f;
  const std::vector<SpanLine> lines = group_lines(input);
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(lines[0].size(), 2u);
  EXPECT_EQ(lines[0][0].text, "a");
  EXPECT_EQ(lines[0][1].text, "b");
  ASSERT_EQ(lines[1].size(), 2u);
  EXPECT_EQ(lines[1][0].text, "c");
  EXPECT_EQ(lines[1][1].text, "d");

  EXPECT_TRUE(group_lines({}).empty());
  EXPECT_TRUE(group_lines(std::vector<Span>{word(" ", 1, 1), word("\u00A0", 1, 1)}).empty());
}

TEST(TableLinesTest, ReferenceBaselineDoesNotDrift) {
  // Each baseline is 4 points below the previous one, within the 6-point
  // tolerance of its neighbour but not of the line's first span.
  const std::vector<SpanLine> lines =
      group_lines(std::vector<Span>{word("a", 72, 700), word("b", 72, 696), word("c", 72, 692)});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 2u);
  EXPECT_EQ(lines[1].size(), 1u);
}

TEST(TableLinesTest, SegmentsSplitAtWideGapsAndBetweenNumbers) {
  struct Case {
    const char* what;
    std::vector<Span> line;
    std::vector<std::string> segments;
  };
  const std::vector<Case> cases = {
      // Gap 5 points at size 10: between 4.5 and 13.
      {"numbers half an em apart", {word("12.5", 72, 0, 20), word("13.0", 97, 0, 20)}, {"12.5", "13.0"}},
      {"words half an em apart", {word("ab", 72, 0, 20), word("cd", 97, 0, 20)}, {"ab cd"}},
      {"number after text", {word("total 12", 72, 0, 40), word("13", 117, 0, 10)}, {"total 12", "13"}},
      {"numbers closer than 0.45 em", {word("12", 72, 0, 10), word("13", 86, 0, 10)}, {"12 13"}},
      {"a gap of 1.3 em", {word("a", 72, 0, 5), word("b", 90, 0, 5)}, {"a", "b"}},
      {"just under 1.3 em", {word("a", 72, 0, 5), word("b", 89.9f, 0, 5)}, {"a b"}},
      {"pieces of one number", {word("1,", 72, 0, 10), word("000", 82, 0, 15)}, {"1,000"}},
      {"overlap joins", {word("ab", 72, 0, 20), word(")", 90, 0, 5)}, {"ab)"}},
      {"blank spans skipped", {word("a", 72, 0, 5), word(" ", 78, 0, 5), word("b", 80, 0, 5)}, {"a b"}},
      {"text trimmed", {word(" a ", 72, 0, 5)}, {"a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(texts(line_segments(c.line)), c.segments) << c.what;
}

TEST(TableLinesTest, SegmentEdgesUseFallbackWidth) {
  // Width lost (at most 0.1): three characters at size 10 are 15 points wide.
  const std::vector<Segment> segments = line_segments(std::vector<Span>{word("abc", 72, 0, 0.1f), word("d", 90, 0, 5)});
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_FLOAT_EQ(segments[0].x0, 72);
  EXPECT_FLOAT_EQ(segments[0].x1, 95);
  const std::vector<Segment> split = line_segments(std::vector<Span>{word("abc", 72, 0, 0), word("d", 100, 0, 5)});
  ASSERT_EQ(split.size(), 2u);
  EXPECT_FLOAT_EQ(split[0].x1, 87);
}

}  // namespace
}  // namespace quirelle
