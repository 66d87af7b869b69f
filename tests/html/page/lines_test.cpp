#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include "html/page/baselines.h"
#include "html/page/build_lines.h"
#include "text/unicode.h"

namespace quirelle {
namespace {

// A span of the given size; without a width the builder estimates half an em
// per character.
Span span(std::string text, float x, float y, float size = 10, float width = 0) {
  Span s;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = size;
  s.width = width;
  return s;
}

std::vector<std::string> texts_of(const std::vector<TextLine>& lines) {
  std::vector<std::string> texts;
  for (const TextLine& line : lines) texts.push_back(line_text(line));
  return texts;
}

using Texts = std::vector<std::string>;

TEST(LinesTest, SuperscriptAfterALetterStaysOnItsLine) {
  // The line above is close enough that the raised digit, on its own
  // baseline, would sort between the two lines.
  const std::vector<Span> spans = {
      span("Above the formula ", 72, 712, 10, 90),
      span("Energy", 72, 700, 10, 30),
      span("2", 102.5f, 705, 6, 3.5f),
      span("is conserved ", 109, 700, 10, 60),
  };
  const auto lines = build_lines(spans, {});
  ASSERT_EQ(texts_of(lines), (Texts{"Above the formula ", "Energy2 is conserved "}));
  const auto& runs = lines[1].runs;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[1].text, "2");
  EXPECT_EQ(runs[1].script, 1);
  EXPECT_EQ(runs[2].text, " is conserved ");
  EXPECT_EQ(runs[2].script, 0);
  EXPECT_EQ(lines[1].y, 700);
  EXPECT_EQ(lines[1].size, 10);
}

TEST(LinesTest, LoweredSmallTextIsASubscript) {
  const auto lines = build_lines({span("H", 72, 700, 10, 7), span("2", 79, 697, 6, 3), span("O", 82, 700, 10, 7)}, {});
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].runs.size(), 3u);
  EXPECT_EQ(lines[0].runs[1].script, -1);
  EXPECT_EQ(line_text(lines[0]), "H2O");
}

TEST(LinesTest, FootnoteBlockKeepsItsOwnBaselines) {
  std::vector<Span> spans;
  for (int row = 0; row < 5; ++row) spans.push_back(span("Body text of the page ", 72, 700 - 12 * row, 10, 100));
  spans.push_back(span("1 A footnote ", 72, 100, 7, 45));
  spans.push_back(span("that goes on", 118, 100, 7, 40));
  spans.push_back(span("over two lines", 72, 91, 7, 45));
  const auto lines = build_lines(spans, {});
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(line_text(lines[5]), "1 A footnote that goes on");
  EXPECT_EQ(lines[5].y, 100);
  EXPECT_EQ(line_text(lines[6]), "over two lines");
  EXPECT_EQ(lines[6].y, 91);
}

TEST(LinesTest, SpacesFollowGapsButNotInsideNumbers) {
  struct Case {
    std::vector<std::string> parts;
    std::string expected;
  };
  // Each part 5 points per character, 2.5 points apart: more than 0.2 em.
  const std::vector<Case> cases = {
      {{"3", ".", "14"}, "3.14"},
      {{"1", ",", "000"}, "1,000"},
      {{"12", ":", "30"}, "12:30"},
      {{"1-", "2"}, "1-2"},
      {{"1\u2013", "5"}, "1\u20135"},
      {{"1/", "2"}, "1/2"},
      {{"x-", "2"}, "x- 2"},
      {{"1", "-", "2"}, "1 - 2"},  // a dash standing apart is spaced
      {{"a", ".", "14"}, "a. 14"},
      {{"word", "(note)"}, "word (note)"},
      {{"word", ")"}, "word)"},
      {{"(", "word"}, "(word"},
      {{"done", "!"}, "done!"},
      {{"50", "%"}, "50%"},
  };
  for (const Case& c : cases) {
    std::vector<Span> spans;
    float x = 100;
    for (const std::string& part : c.parts) {
      spans.push_back(span(part, x, 700));
      x += 5 * float(count_code_points(part)) + 2.5f;
    }
    const auto lines = build_lines(spans, {});
    ASSERT_EQ(lines.size(), 1u) << c.expected;
    EXPECT_EQ(line_text(lines[0]), c.expected);
  }
}

TEST(LinesTest, NoSpaceForSmallGaps) {
  const auto lines = build_lines({span("foot", 100, 700), span("ball", 122, 700)}, {});  // gap 2 = 0.2 em
  EXPECT_EQ(texts_of(lines), Texts{"football"});
}

TEST(LinesTest, OtherRowStartsALineEvenWithoutGap) {
  const auto lines = build_lines({span("abc", 100, 700), span("def", 115, 690)}, {});
  EXPECT_EQ(texts_of(lines), (Texts{"abc", "def"}));
}

TEST(LinesTest, WideGapOnTheSameRowSeparatesColumns) {
  // max(4 em, 36) = 40 points.
  EXPECT_EQ(texts_of(build_lines({span("left", 100, 700), span("right", 161, 700)}, {})), (Texts{"left", "right"}));
  EXPECT_EQ(texts_of(build_lines({span("left", 100, 700), span("right", 159, 700)}, {})), Texts{"left right"});
}

TEST(LinesTest, AccentOverTheLetterBecomesACombiningMark) {
  const auto lines = build_lines({span("caf", 100, 700, 10, 15), span("e", 115, 700, 10, 5), span("\u00B4", 116, 700, 10, 3)}, {});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(line_text(lines[0]), "cafe\u0301");
  EXPECT_EQ(lines[0].char_count, 4u);  // the mark is not counted
}

TEST(LinesTest, AccentGoesOnTheLetterNotOnTheSpaceAfterIt) {
  const auto lines = build_lines({span("cafe ", 100, 700, 10, 25), span("\u02CB", 116, 700, 10, 3)}, {});
  EXPECT_EQ(texts_of(lines), Texts{"cafe\u0300 "});
}

TEST(LinesTest, AccentWithoutALetterBelowIsText) {
  // Right of the running edge, the tilde is an ordinary character.
  EXPECT_EQ(texts_of(build_lines({span("a", 100, 700, 10, 5), span("~", 105, 700, 10, 5)}, {})), Texts{"a~"});
  // Two characters are never an accent.
  EXPECT_EQ(texts_of(build_lines({span("abc", 100, 700, 10, 15), span("\u00B4\u00B4", 110, 700, 10, 3)}, {})),
            Texts{"abc\u00B4\u00B4"});
}

TEST(LinesTest, BlankSpansSeparateWordsAndAreIgnoredAtTheStart) {
  const auto lines = build_lines({span(" ", 50, 700), span("Hello", 100, 700, 10, 25), span(" ", 125, 700, 10, 1),
                                  span("world", 126, 700, 10, 25)},
                                 {});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(line_text(lines[0]), "Hello world");
  EXPECT_EQ(lines[0].x0, 100);
  EXPECT_EQ(lines[0].char_count, 10u);
}

TEST(LinesTest, RotatedAndEmptySpansTakeNoPart) {
  Span turned = span("sideways", 100, 700);
  turned.angle = 1.5708f;
  EXPECT_TRUE(build_lines({turned, span("", 100, 650)}, {}).empty());
  turned.angle = 0.009f;  // counts as upright
  EXPECT_EQ(build_lines({turned}, {}).size(), 1u);
}

TEST(LinesTest, RunsSplitOnStyleScriptAndLink) {
  Span bold = span("Bold", 141, 700, 10, 20);
  bold.bold = true;
  const std::vector<LinkTarget> links = {{"https://a.example/", {95, 695, 139, 712}}};
  const auto lines = build_lines({span("see", 100, 700, 10, 15), span("here", 118, 700, 10, 20), bold}, links);
  ASSERT_EQ(lines.size(), 1u);
  const auto& runs = lines[0].runs;
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].text, "see here");
  EXPECT_EQ(runs[0].link, "https://a.example/");
  EXPECT_EQ(runs[1].text, " Bold");  // a new run after a gap carries the space
  EXPECT_TRUE(runs[1].bold);
  EXPECT_FALSE(runs[1].link.has_value());
}

TEST(LinesTest, LineMeasuresAndMonospace) {
  Span code = span("x = 1;", 100, 700, 9, 30);
  code.mono = true;
  auto lines = build_lines({code, span("ok", 133, 700, 11, 10)}, {});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].char_count, 8u);
  EXPECT_EQ(lines[0].mono_chars, 6u);
  EXPECT_TRUE(lines[0].is_mono);
  EXPECT_EQ(lines[0].x_end, 143);
  EXPECT_EQ(lines[0].size, 11);
  lines = build_lines({code, span("but more plain text", 133, 700, 9, 60)}, {});
  EXPECT_FALSE(lines[0].is_mono);
}

// Snapping by the rules read literally, comparing every pair of spans.
std::vector<float> snapped_by_all_pairs(const std::vector<Span>& s, float avg, float tol) {
  std::vector<float> base(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    base[i] = s[i].y;
    if (s[i].size >= small_span_ratio * avg) continue;
    bool block = false;
    for (size_t k = 0; k < i; ++k)
      block = block || (s[k].size < small_span_ratio * avg && std::fabs(s[k].x - s[i].x) < 3 * avg &&
                        std::fabs(s[k].y - s[i].y) < 1.5f * tol);
    if (block) continue;
    float best = 0;
    size_t best_k = s.size();
    for (size_t k = 0; k < s.size(); ++k) {
      if (k == i || s[k].size < small_span_ratio * avg) continue;
      const float dy = std::fabs(s[i].y - s[k].y);
      if (!(dy > 0.05f * s[k].size && dy < 0.9f * s[k].size)) continue;
      const float g = s[k].x > s[i].x ? s[k].x - right_edge(s[i]) : s[i].x - right_edge(s[k]);
      if (!(g <= 1.2f * s[k].size)) continue;
      if (best_k == s.size() || std::fabs(g) < best) best = std::fabs(g), best_k = k;
    }
    if (best_k < s.size()) base[i] = s[best_k].y;
  }
  return base;
}

TEST(LinesSnapTest, IndexedSnappingAgreesWithAllPairs) {
  std::mt19937 random(12);
  for (int page = 0; page < 200; ++page) {
    std::uniform_real_distribution<float> x(0, 300), y(0, 200), width(0, 60);
    std::vector<Span> spans;
    const int count = 5 + page % 60;
    for (int i = 0; i < count; ++i) {
      const float size = (random() % 3 == 0) ? 4 + float(random() % 40) / 10 : 9 + float(random() % 50) / 10;
      spans.push_back(span("w", std::round(x(random)), std::round(y(random)), size, random() % 4 ? width(random) : 0));
    }
    double total = 0;
    for (const Span& s : spans) total += s.size;
    const float avg = float(total / double(spans.size()));
    const float tol = std::max(0.6f * avg, 2.0f);
    ASSERT_EQ(snapped_baselines(spans, avg, tol), snapped_by_all_pairs(spans, avg, tol)) << "page " << page;
  }
}

TEST(LinesSnapTest, NearestNormalSpanWinsAndTiesGoToTheEarlier) {
  // avg = 8, so 6-point spans are small. Left neighbour 0.5 away, right one 1.5 away.
  std::vector<Span> spans = {span("a", 80, 700, 10, 20), span("b", 107, 697, 10, 20), span("2", 100.5f, 704, 6, 5),
                             span("c", 150, 500, 6, 5)};
  EXPECT_EQ(snapped_baselines(spans, 8, 4.8f)[2], 700);
  spans[1].x = 106;  // now 0.5 away as well: the earlier span wins
  spans[1].y = 696;
  EXPECT_EQ(snapped_baselines(spans, 8, 4.8f)[2], 700);
  std::swap(spans[0], spans[1]);
  EXPECT_EQ(snapped_baselines(spans, 8, 4.8f)[2], 696);
}

TEST(LinesSnapTest, DensePageIsBuiltInLinearTime) {
  // 20,000 small and normal spans on a grid: an all-pairs search would
  // compare 10^8 pairs.
  std::vector<Span> spans;
  for (int row = 0; row < 200; ++row)
    for (int col = 0; col < 100; ++col)
      spans.push_back(span("ab", 10 + 6.0f * col, 800 - 4.0f * row + (col % 2) * 2, col % 2 ? 3 : 5, 4));
  const auto start = std::chrono::steady_clock::now();
  const auto lines = build_lines(spans, {});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(lines.empty());
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 2000);
}

TEST(LinesTest, SpanWithoutAFiniteSizeKeepsThePageRows) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const auto lines = build_lines({span("first", 100, 700), span("odd", 140, 700, nan), span("second", 100, 688),
                                  span("third", 100, 676)},
                                 {});
  // Its text stays on its row; without a size no gap counts as a space.
  EXPECT_EQ(texts_of(lines), (Texts{"firstodd", "second", "third"}));
}

TEST(LinesSnapTest, HostileGeometryIsAbsorbed) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<Span> spans = {span("a", nan, 700), span("b", 100, inf, 3), span("c", -inf, 700, 3),
                             span("d", 100, 700, nan), span("\xFF\xC0 ", 100, 690, 3), span("e", 1e30f, 1e30f, 3),
                             span("f", 100, 700, 0, -5)};
  // Far-off small text at distinct places: indexed sparsely, not piled up.
  for (int i = 0; i < 5000; ++i) spans.push_back(span("x", 1e20f * float(i + 1), -1e25f * float(i), i % 2 ? 3 : 12));
  const auto lines = build_lines(spans, {{"u", {nan, 0, inf, 800}}});
  size_t chars = 0;
  for (const TextLine& line : lines) chars += line.char_count;
  EXPECT_GT(chars, 5000u);
}

TEST(PageNumbersTest, DigitsNearTopOrBottomAreRemoved) {
  auto line = [](std::string text, float y) {
    TextLine l;
    l.runs.push_back({std::move(text)});
    l.y = y;
    return l;
  };
  // Text from y 100 to 700: band = 42.
  std::vector<TextLine> lines = {line("12", 700),          line("Body text", 690), line("7", 400),
                                 line("12345", 110),       line("12 Results", 105), line(" 13 ", 141),
                                 line("Last words", 142),  line("14", 100)};
  EXPECT_EQ(texts_of(remove_page_numbers(lines)), (Texts{"Body text", "7", "12345", "12 Results", "Last words"}));
}

TEST(PageNumbersTest, ASingleDigitsLineIsRemoved) {
  TextLine only;
  only.runs.push_back({"3"});
  only.y = 400;
  EXPECT_TRUE(remove_page_numbers({only}).empty());
  EXPECT_TRUE(remove_page_numbers({}).empty());
}

}  // namespace
}  // namespace quirelle
