#include <gtest/gtest.h>

#include "html/page/headings.h"

namespace quirelle {
namespace {

constexpr float body = 10;

TextRun plain(std::string text) { return TextRun{std::move(text), std::nullopt, false, false, 0}; }
TextRun bold(std::string text) { return TextRun{std::move(text), std::nullopt, true, false, 0}; }

TextLine line(std::vector<TextRun> runs, float size = body, float y = 700) {
  TextLine l;
  l.runs = std::move(runs);
  l.size = size;
  l.y = y;
  l.x0 = 72;
  return l;
}

struct Expect {
  int level = 0;  // 0: not a heading
  size_t runs = 0;
};

Expect classified(const TextLine& l) {
  const auto match = classify_heading(l, body);
  return match ? Expect{match->level, match->run_count} : Expect{};
}

struct Case {
  const char* name;
  TextLine line;
  Expect expected;
};

void check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const Expect got = classified(c.line);
    EXPECT_EQ(got.level, c.expected.level) << c.name;
    EXPECT_EQ(got.runs, c.expected.runs) << c.name;
  }
}

TEST(HeadingTest, KeywordsAndNumberedSections) {
  check({
      {"bold keyword", line({bold("Introduction")}), {1, 1}},
      {"keyword with full stop", line({plain("Abstract.")}), {1, 1}},
      {"keyword with dash", line({plain("REFERENCES \u2014")}), {1, 1}},
      {"numbered, body size", line({plain("3.2 Results")}), {2, 1}},
      {"numbered, too small", line({plain("3.2 Results")}, 9), {}},
      {"numbered, extra space", line({bold("2 "), plain(" Methods")}), {1, 2}},
      {"numbered, capital letter", line({plain("A.1 Proof of the bound")}), {2, 1}},
      {"deeply numbered", line({plain("3.2.1.4 Extra details")}), {3, 1}},
      {"roman numeral", line({plain("IV. Experimental Results")}), {1, 1}},
      {"name too short", line({plain("2 Go")}), {}},
      {"name in lower case", line({plain("2 apples and pears")}), {}},
      {"byline after number", line({plain("2 Results, part one")}), {}},
      {"sentence with a decimal", line({plain("0.5 Mpc. The galaxy is far away")}), {}},
  });
}

TEST(HeadingTest, RunInHeadingsLeaveTheirBodyText) {
  check({
      {"numbered run-in", line({bold("4.1 Setup."), plain(" We run the model twice")}), {2, 1}},
      // A final full stop makes the line a byline for the numbered rule; the
      // bold phrase still leads.
      {"numbered run-in, sentence", line({bold("4.1 Setup."), plain(" We run the model twice.")}), {3, 1}},
      {"numbered, bold without stop", line({bold("4.1 Setup"), plain(" We run the model")}), {2, 2}},
      {"bold phrase", line({bold("Data collection."), plain(" We gathered the data.")}), {3, 1}},
      {"bold label with colon", line({bold("Note:"), plain(" this is it")}), {3, 1}},
      {"bold start in lower case", line({bold("data collection"), plain(" went well")}), {}},
      {"13 words, large, bold start",
       line({bold("Main result:"), plain(" we show that all of the eleven cases agree here today")}, 15),
       {3, 1}},
  });
}

TEST(HeadingTest, SizeAndWeight) {
  check({
      {"single large word", line({plain("Results")}, 15), {1, 1}},
      {"ratio 1.2", line({plain("Related Work")}, 12), {2, 1}},
      {"ratio 1.18", line({plain("Related Work")}, 11.8f), {3, 1}},
      {"below 1.18", line({plain("Related Work")}, 11.7f), {}},
      {"bold line", line({bold("Proof of the main lemma")}), {3, 1}},
      {"13 words, large", line({plain("One two three four five six seven eight nine ten eleven twelve thirteen")}, 15),
       {}},
      {"ends with colon", line({bold("The following holds:")}), {}},
      {"starts in lower case", line({bold("results of the run")}), {}},
  });
}

TEST(HeadingTest, ThingsThatAreNotHeadings) {
  check({
      {"label with number", line({bold("Theorem 2")}), {}},
      {"label with full stop", line({bold("Proof.")}), {}},
      {"label with colon", line({bold("Definition:")}), {}},
      {"figure label", line({bold("Figure 3 The setup")}), {}},
      {"table label", line({bold("Table 2: results")}), {}},
      {"author line", line({bold("J. Smith, A. Jones")}), {}},
      {"initials without comma", line({bold("J. R. Smith")}), {}},
      {"et al", line({bold("Smith et al")}), {}},
      {"preprint stamp", line({bold("arXiv:1234.5678v2 [cs.CL]")}), {}},
      {"year", line({bold("Results 2019")}), {}},
      {"formula", line({bold("x = y + z")}), {}},
      {"formula with symbol", line({plain("a \u2264 b")}, 14), {}},
      {"single letter", line({bold("A")}), {}},
      {"blank", line({plain("   ")}), {}},
  });
}

TEST(HeadingTest, AppendixHeadings) {
  const std::string sentence = " This section, which is long, gives all of the proofs.";
  check({
      {"appendix alone", line({plain("Appendix A")}), {1, 1}},
      {"appendix with title", line({plain("APPENDIX B: Proofs")}), {1, 1}},
      {"appendix with dotted title", line({plain("Appendix C. Tables of Results")}), {1, 1}},
      {"appendix with em dash", line({plain("Appendix D\u2014Extra")}), {1, 1}},
      {"appendix and sentence", line({plain("Appendix A"), plain(sentence)}), {1, 1}},
      {"appendix and 'are'", line({plain("Appendix C"), plain(" Here the full tables of results are given")}),
       {1, 1}},
      {"appendix, short tail", line({plain("Appendix A"), plain(" Proofs of the lemmas")}), {1, 2}},
      {"label ends in a later run", line({plain("Appen"), plain("dix D"), plain(sentence)}), {1, 2}},
      {"tail in lower case", line({plain("Appendix A shows the proof")}), {}},
  });
}

std::vector<TextLine> page(std::vector<TextLine> lines) { return lines; }

TEST(HeadingTitleTest, TwoLineTitleIsJoined) {
  const auto lines = page({
      line({plain("Running header text")}, 8, 770),
      line({plain("The Study of Things")}, 18, 700),
      line({plain("in  Large Systems")}, 18, 680),
      line({plain("J. Smith and A. Jones")}, 12, 650),
      line({plain("Abstract")}, 10, 600),
  });
  const auto title = find_title(lines, body);
  ASSERT_TRUE(title);
  EXPECT_EQ(title->text, "The Study of Things in Large Systems");
  EXPECT_EQ(title->line_indices, (std::vector<uint32_t>{1, 2}));
}

TEST(HeadingTitleTest, LinesAreTakenTopFirst) {
  const auto lines = page({
      line({plain("Second Part Here")}, 18, 660),
      line({plain("First Part Here")}, 18, 700),
  });
  const auto title = find_title(lines, body);
  ASSERT_TRUE(title);
  EXPECT_EQ(title->text, "First Part Here Second Part Here");
}

TEST(HeadingTitleTest, RejectedCandidatesGiveWayToTheNext) {
  const auto lines = page({
      line({plain("Overview")}, 24, 720),  // one word: never a title
      line({plain("We study how the rate of growth of the small set depends on it")}, 20, 700),
      line({bold("Real Title Here")}, 16, 600),
  });
  const auto title = find_title(lines, body);
  ASSERT_TRUE(title);
  EXPECT_EQ(title->text, "Real Title Here");
  EXPECT_EQ(title->line_indices, (std::vector<uint32_t>{2}));
}

TEST(HeadingTitleTest, PlainLinesNeedMoreThanThreeWords) {
  EXPECT_FALSE(find_title(page({line({plain("Some Plain Words")}, 10, 700)}), body));
  const auto title = find_title(page({line({plain("Some Plain Words Here")}, 10, 700)}), body);
  ASSERT_TRUE(title);
  EXPECT_EQ(title->text, "Some Plain Words Here");
  EXPECT_FALSE(find_title(page({line({plain("J. Smith, A. Jones")}, 20, 700)}), body));
  EXPECT_FALSE(find_title(page({line({plain("2 Related Work")}, 20, 700)}), body));
  EXPECT_FALSE(find_title(page({line({plain("Abstract of the paper")}, 20, 700)}), body));
  EXPECT_FALSE(find_title({}, body));
}

TEST(HeadingTitleTest, TitleCandidates) {
  EXPECT_TRUE(title_candidate("Deep Learning"));
  EXPECT_TRUE(title_candidate("Abs Tract"));
  // A leading capital letter and a space read as an appendix section number.
  EXPECT_FALSE(title_candidate("A Study of Things"));
  EXPECT_FALSE(title_candidate("Learning"));
  EXPECT_FALSE(title_candidate("abstract thoughts"));
  EXPECT_FALSE(title_candidate("Written in 1999"));
  EXPECT_FALSE(title_candidate("A Title."));
  EXPECT_FALSE(title_candidate("John Q. Public"));
  EXPECT_FALSE(title_candidate("II. Methods"));
}

}  // namespace
}  // namespace quirelle
