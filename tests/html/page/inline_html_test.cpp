#include <gtest/gtest.h>

#include "html/page/inline_html.h"

namespace quirelle {
namespace {

TextRun run(std::string text, bool bold = false, bool italic = false, int8_t script = 0,
            std::optional<std::string> link = std::nullopt) {
  return TextRun{std::move(text), std::move(link), bold, italic, script};
}

TEST(InlineHtmlTest, EscapesMarkupCharactersOnly) {
  EXPECT_EQ(escape_html("it's"), "it's");
  EXPECT_EQ(escape_html("a \"b\" <c> & d"), "a &quot;b&quot; &lt;c&gt; &amp; d");
  EXPECT_EQ(escape_html("caf\u00E9 \u2013 \u03B1"), "caf\u00E9 \u2013 \u03B1");
}

TEST(InlineHtmlTest, StylesScriptsAndSeparators) {
  struct Case {
    std::vector<TextRun> runs;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{run("Hello "), run("world", true)}, "Hello <b>world</b>"},
      {{run("x", true, true)}, "<b><i>x</i></b>"},
      {{run("see", false, true)}, "<i>see</i>"},
      {{run("E"), run("2", true, false, 1)}, "E <sup><b>2</b></sup>"},
      {{run("H"), run("2", false, false, -1), run("O")}, "H <sub>2</sub> O"},
      {{run("a  b"), run("  "), run(" c ")}, "a  b c"},
      {{run("x < y & \"z\"")}, "x &lt; y &amp; &quot;z&quot;"},
      {{run(" "), run("")}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(inline_html(c.runs), c.expected);
}

TEST(InlineHtmlTest, LinksOpenAndCloseAroundTheirRuns) {
  const std::string u = "https://a.example/?q=1&r=2";
  struct Case {
    std::vector<TextRun> runs;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{run("one", false, false, 0, u), run("two", true, false, 0, u)},
       "<a href=\"https://a.example/?q=1&amp;r=2\">one <b>two</b></a>"},
      {{run("link ", false, false, 0, "u"), run("after")}, "<a href=\"u\">link</a> after"},
      {{run("before"), run("link", false, false, 0, "u")}, "before <a href=\"u\">link</a>"},
      {{run("a", false, false, 0, "u"), run(" "), run("b", false, false, 0, "u")}, "<a href=\"u\">a b</a>"},
      {{run("a", false, false, 0, "u"), run("b", false, false, 0, "v")}, "<a href=\"u\">a</a> <a href=\"v\">b</a>"},
      {{run("q", false, false, 0, "say \"x\"")}, "<a href=\"say &quot;x&quot;\">q</a>"},
  };
  for (const Case& c : cases) EXPECT_EQ(inline_html(c.runs), c.expected);
}

TEST(InlineJoinTest, LinesJoinWithASpaceOrAcrossAHyphen) {
  struct Case {
    std::string pending, html, expected;
  };
  const std::vector<Case> cases = {
      {"", "first", "first"},
      {"one", "two", "one two"},
      {"<b>one</b>", "two", "<b>one</b> two"},
      {"data-", "driven", "datadriven"},
      {"exam-", "ple", "example"},
      {"non-", "linear", "non-linear"},
      {"a (Self-", "aware)", "a (Self-aware)"},
      {"the well-", "known", "the well-known"},
      {"Bayes-", "Nash", "Bayes-Nash"},
      {"Jean-", "\u00C9mile", "Jean-\u00C9mile"},
      {"co-", "<i>Operation</i>", "co-<i>Operation</i>"},
      {"<b>exam-</b>", "ple", "<b>exam</b>ple"},
      {"<a href=\"u\"><b><i>exam-</i></b></a>", "ple", "<a href=\"u\"><b><i>exam</i></b></a>ple"},
      {"<sup>2</sup>word-", "  <b>ple</b>", "<sup>2</sup>word  <b>ple</b>"},
      {"pages 3\u2013", "5", "pages 3\u2013 5"},
      {"a -", "b", "a b"},
      {"</b>", "x", "</b> x"},
  };
  for (const Case& c : cases) {
    std::string pending = c.pending;
    append_line_html(pending, c.html);
    EXPECT_EQ(pending, c.expected) << c.pending << " + " << c.html;
  }
}

}  // namespace
}  // namespace quirelle
