#include <gtest/gtest.h>

#include "html/page/blocks.h"

namespace quirelle {
namespace {

constexpr float body = 10;

TextRun plain(std::string text) { return TextRun{std::move(text), std::nullopt, false, false, 0}; }
TextRun bold(std::string text) { return TextRun{std::move(text), std::nullopt, true, false, 0}; }

TextLine line(std::vector<TextRun> runs, float y, float x0 = 72, float size = body) {
  TextLine l;
  l.runs = std::move(runs);
  l.y = y;
  l.x0 = x0;
  l.x_end = x0 + 400;
  l.size = size;
  return l;
}
TextLine text(std::string t, float y, float x0 = 72, float size = body) { return line({plain(std::move(t))}, y, x0, size); }
TextLine mono(std::string t, float y, float x0 = 72) {
  TextLine l = text(std::move(t), y, x0);
  l.is_mono = true;
  return l;
}

std::string render(const std::vector<TextLine>& lines, float title_size = 0) {
  std::string out;
  render_blocks(lines, body, title_size, out);
  return out;
}

TEST(BlocksTest, FootnotesAtTheBottomBecomeAnAside) {
  const std::vector<TextLine> lines = {
      text("Body text of the page.", 700), text("More body text.", 688),
      text("1 First note text", 100, 72, 8), text("2 Second note", 92, 72, 8), text("continues here", 84, 72, 8)};
  EXPECT_EQ(render(lines),
            "<p>Body text of the page. More body text.</p>"
            "<aside><p>1. First note text</p><p>2. Second note continues here</p></aside>");
}

TEST(BlocksTest, AsidesNeedTwoToTwelveSmallLinesLowOnThePage) {
  const std::vector<TextLine> single = {text("Body text.", 700), text("1 Lone note", 100, 72, 8)};
  EXPECT_EQ(render(single), "<p>Body text. 1 Lone note</p>");

  std::vector<TextLine> thirteen = {text("Body text.", 700)};
  for (int i = 0; i < 13; ++i) thirteen.push_back(text("small", 200 - 9.0f * float(i), 72, 8));
  EXPECT_EQ(render(thirteen).find("<aside>"), std::string::npos);

  std::vector<TextLine> twelve(thirteen.begin(), thirteen.end() - 1);
  EXPECT_NE(render(twelve).find("<aside>"), std::string::npos);

  // High on the page, small lines are not footnotes.
  const std::vector<TextLine> high = {text("Small caption line", 700, 72, 8), text("and another", 691, 72, 8),
                                      text("Body text.", 100)};
  EXPECT_EQ(render(high), "<p>Small caption line and another Body text.</p>");
}

TEST(BlocksTest, NumberedLineIsAHeadingUnlessAListFollows) {
  const TextLine first = text("1. Introduction to Methods", 700, 72, 12);
  EXPECT_EQ(render({first, text("Some body text follows.", 680)}),
            "<h2>1. Introduction to Methods</h2><p>Some body text follows.</p>");
  EXPECT_EQ(render({first, text("2. Second Item Here", 686, 72, 12), text("3. Third Item Here", 672, 72, 12)}),
            "<ol><li>Introduction to Methods</li><li>Second Item Here</li><li>Third Item Here</li></ol>");
}

TEST(BlocksTest, OrderedListAfterAColon) {
  EXPECT_EQ(render({text("Consider the two cases:", 700), text("1. First Case Here", 688),
                    text("2. Second Case Here", 676)}),
            "<p>Consider the two cases:</p><ol><li>First Case Here</li><li>Second Case Here</li></ol>");
}

TEST(BlocksTest, ReferenceWithYearOrInitialsIsParagraphText) {
  EXPECT_EQ(render({text("1. Smith, J. and Doe, A. B. (2019) A Title.", 700)}),
            "<p>1. Smith, J. and Doe, A. B. (2019) A Title.</p>");
  EXPECT_EQ(render({text("\u2022 A. B. Smith and C. D. Jones", 700)}), "<p>\u2022 A. B. Smith and C. D. Jones</p>");
}

TEST(BlocksTest, MonospacedLinesFormOneCodeBlock) {
  EXPECT_EQ(render({mono("if (a < b) {", 700), mono("  return \"x\";", 688), mono("}", 676),
                    mono("\u2022 item after the code", 664)}),
            "<pre><code>if (a &lt; b) {\n  return &quot;x&quot;;\n}\n</code></pre>"
            "<ul><li>item after the code</li></ul>");
}

TEST(BlocksTest, MonospacedItemLookalikeWithAYearStaysCode) {
  // Not a list item (it holds a year) and monospaced: it opens the code block
  // itself, so nothing is lost and no block is empty.
  EXPECT_EQ(render({mono("1. released in 1999", 700), mono("x = 1", 688), mono("2. step two of it", 676)}),
            "<pre><code>1. released in 1999\nx = 1\n</code></pre><ol><li>step two of it</li></ol>");
  EXPECT_EQ(render({mono("1. A. B. Smith", 700)}), "<pre><code>1. A. B. Smith\n</code></pre>");
}

TEST(BlocksTest, FirstLineIndentStartsParagraphs) {
  EXPECT_EQ(render({text("First paragraph starts", 700, 90), text("and goes on", 688), text("to its end.", 676),
                    text("Second paragraph starts", 664, 90), text("and goes on", 652), text("to its end.", 640)}),
            "<p>First paragraph starts and goes on to its end.</p>"
            "<p>Second paragraph starts and goes on to its end.</p>");
}

TEST(BlocksTest, HangingIndentBibliography) {
  EXPECT_EQ(render({text("Adams, D. A book about", 700), text("many things.", 688, 90), text("and more.", 676, 90),
                    text("Brown, E. Another book", 664), text("about less.", 652, 90), text("and so on.", 640, 90)}),
            "<p>Adams, D. A book about many things. and more.</p>"
            "<p>Brown, E. Another book about less. and so on.</p>");
}

TEST(BlocksTest, WideGapSeparatesParagraphs) {
  EXPECT_EQ(render({text("one", 700), text("two", 688), text("three", 676), text("four", 652), text("five", 640)}),
            "<p>one two three</p><p>four five</p>");
}

TEST(BlocksTest, LineHigherThanItsPredecessorEndsTheGroup) {
  // The top of the next column; the paragraph itself stays open.
  EXPECT_EQ(render({text("left one", 700), text("left two", 688), text("right one", 700, 320)}),
            "<p>left one left two right one</p>");
}

TEST(BlocksTest, ListItemsArePlainTextWithContinuations) {
  EXPECT_EQ(render({line({plain("\u2022 "), bold("Key"), plain(" point")}, 700), text("\u2022 Second point", 688),
                    text("wraps here", 676, 80), text("Back to text.", 650)}),
            "<ul><li>Key point</li><li>Second point wraps here</li></ul><p>Back to text.</p>");
  EXPECT_EQ(render({text("- not a list item", 700)}), "<p>- not a list item</p>");
  EXPECT_EQ(render({text("* one two three words", 700), text("* four five six words", 688)}),
            "<ul><li>one two three words</li><li>four five six words</li></ul>");
}

TEST(BlocksTest, HeadingsAndRunInHeadings) {
  EXPECT_EQ(render({line({bold("4.1 Setup."), plain(" We run the model")}, 700), text("twice over.", 688)}),
            "<h3><b>4.1 Setup.</b></h3><p>We run the model twice over.</p>");
  EXPECT_EQ(render({text("Paper Title Words", 700, 72, 20)}, 20), "<h1>Paper Title Words</h1>");
  EXPECT_EQ(render({text("Paper Title Words", 700, 72, 20)}, 12), "<h2>Paper Title Words</h2>");
  EXPECT_EQ(render({text("Some text before", 700), line({bold("Introduction")}, 680), text("After.", 668)}),
            "<p>Some text before</p><h2><b>Introduction</b></h2><p>After.</p>");
}

TEST(BlocksTest, BrokenWordsAreJoinedAndBlankLinesAddNothing) {
  EXPECT_EQ(render({text("an exam-", 700), text("  ", 688), text("ple of non-", 676), text("linear text", 664)}),
            "<p>an example of non-linear text</p>");
  EXPECT_EQ(render({}), "");
}

TEST(BlocksListTest, ListMarkers) {
  struct Case {
    const char* text;
    ListMarker expected;
  };
  const std::vector<Case> cases = {
      {"\u2022 item", ListMarker::bullet},          {"  \u25E6 item", ListMarker::bullet},
      {"\u2023item", ListMarker::bullet},           {"\u0095 item", ListMarker::bullet},
      {"* one two three words", ListMarker::bullet}, {"\u2013 dash item with words", ListMarker::bullet},
      {"* x", ListMarker::none},                    {"\u00B7 a b c", ListMarker::none},
      {"*emphasis on it all", ListMarker::none},    {"- hyphen item with words", ListMarker::none},
      {"1. Intro", ListMarker::numbered},           {"12) item", ListMarker::numbered},
      {"7.", ListMarker::numbered},                 {"123. item", ListMarker::none},
      {"3.14 is pi", ListMarker::none},             {"a. item", ListMarker::none},
      {"", ListMarker::none},                       {"   ", ListMarker::none},
  };
  for (const Case& c : cases) EXPECT_EQ(list_marker(c.text), c.expected) << c.text;
}

TEST(BlocksListTest, ItemNumbers) {
  EXPECT_EQ(item_number("1. x"), 1);
  EXPECT_EQ(item_number("12) x"), 12);
  EXPECT_EQ(item_number("7."), 7);
  EXPECT_EQ(item_number("3.14"), std::nullopt);
  EXPECT_EQ(item_number(" 1. x"), std::nullopt);
  EXPECT_EQ(item_number("100. x"), std::nullopt);
}

TEST(BlocksListTest, Guards) {
  const std::vector<TextLine> run = {text("1. One", 700), text("2. Two", 690), text("3. Three", 680)};
  EXPECT_TRUE(in_numbered_list(run, 0));
  EXPECT_TRUE(in_numbered_list(run, 2));
  EXPECT_FALSE(list_after_colon(run, 1));
  // Bold or colon lines do not count towards a run.
  std::vector<TextLine> labelled = run;
  labelled[1] = text("2. Two: more", 690);
  EXPECT_FALSE(in_numbered_list(labelled, 0));

  std::vector<TextLine> colon = {text("Steps:", 710), text("1. One", 700), text("Text between", 695),
                                 text("2. Two", 690), text("3. Three", 680)};
  EXPECT_TRUE(list_after_colon(colon, 1));
  EXPECT_TRUE(list_after_colon(colon, 4));
  EXPECT_FALSE(list_after_colon(colon, 2));
  colon[0] = text("Steps", 710);
  EXPECT_FALSE(list_after_colon(colon, 4));
}

}  // namespace
}  // namespace quirelle
