#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "extract/table_detect.h"

namespace quirelle {
namespace {

using Grid = std::vector<std::vector<std::string>>;

// A span with a width of half an em per byte, size 10 unless given.
Span word(std::string text, float x, float y, float size = 10) {
  Span s;
  s.width = float(text.size()) * size * 0.5f;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = size;
  return s;
}

// One line of cells: each text starts at the x of the same index.
void add_line(std::vector<Span>& spans, float y, const std::vector<float>& xs, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (!cells[i].empty()) spans.push_back(word(cells[i], xs[i], y));
  }
}

// Lines 12 points apart from y = 700 down.
std::vector<Span> grid(const std::vector<float>& xs, const Grid& rows, float top = 700) {
  std::vector<Span> spans;
  for (size_t r = 0; r < rows.size(); ++r) add_line(spans, top - 12 * float(r), xs, rows[r]);
  return spans;
}

TEST(TableScanTest, ThreeByThreeOfLettersAndDigits) {
  const std::vector<Span> spans = grid({72, 100, 130}, {{"a", "1", "2"}, {"a", "1", "2"}, {"a", "1", "2"}});
  const std::vector<TableRecord> tables = scan_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  const TableRecord& t = tables[0];
  EXPECT_EQ(t.body, (Grid{{"a", "1", "2"}, {"a", "1", "2"}, {"a", "1", "2"}}));
  EXPECT_TRUE(t.header_rows.empty());
  EXPECT_FLOAT_EQ(t.y_top, 700);
  EXPECT_FLOAT_EQ(t.y_bottom, 676);
  EXPECT_FLOAT_EQ(t.x_min, 72);
  EXPECT_FLOAT_EQ(t.x_max, 135);
}

TEST(TableScanTest, RejectedOrTooSmall) {
  struct Case {
    const char* what;
    std::vector<Span> spans;
  };
  const std::vector<Case> cases = {
      {"no spans", {}},
      {"two rows of numbers", grid({72, 130}, {{"1.5", "2.5"}, {"3.5", "4.5"}})},
      {"four columns of single letters", grid({72, 100, 130, 160}, {{"a", "b", "c", "d"}, {"e", "f", "g", "h"},
                                                                     {"i", "j", "k", "l"}})},
      {"one column", grid({72}, {{"a"}, {"b"}, {"c"}, {"d"}})},
      // Three aligned equations, each numbered at the right margin.
      {"display equation", grid({150, 500}, {{"f(x) = a + b", "(2.1)"}, {"g(x) = c + d", "(2.2)"},
                                             {"h(x) = e + f", "(2.3)"}})},
      // Justified prose whose word gaps reach the segment gap: every cell
      // holds nine or more words and no column is empty.
      {"justified prose",
       grid({72, 320, 700}, {{"one two three four five six seven eight nine", "ten eleven twelve thirteen fourteen fifteen sixteen seventeen eighteen", "alpha beta gamma delta epsilon zeta eta theta iota"},
                             {"one two three four five six seven eight nine", "ten eleven twelve thirteen fourteen fifteen sixteen seventeen eighteen", "alpha beta gamma delta epsilon zeta eta theta iota"},
                             {"one two three four five six seven eight nine", "ten eleven twelve thirteen fourteen fifteen sixteen seventeen eighteen", "alpha beta gamma delta epsilon zeta eta theta iota"}})},
      {"two columns of sentences", grid({72, 300}, {{"this is a cell of words", "and this is another one"},
                                                    {"this is a cell of words", "and this is another one"},
                                                    {"this is a cell of words", "and this is another one"}})},
      // The segments at 312 vote for the column at 320 but fill the one at
      // 300, so the third column is empty in four rows of five.
      {"three columns, one nearly empty",
       [] {
         std::vector<Span> spans;
         const std::string long_cell = "one two three four five six seven eight";
         for (int r = 0; r < 5; ++r) {
           const float y = 700 - 12 * float(r);
           spans.push_back(word(long_cell, 72, y));
           if (r == 0) {
             spans.push_back(word("12", 300, y));
             spans.push_back(word("34", 320, y));
           } else {
             spans.push_back(word(long_cell, r < 3 ? 300 : 312, y));
           }
         }
         return spans;
       }()},
      {"greek symbols", grid({72, 100, 130}, {{"\u03B1", "\u03B2", "x"}, {"\u03B3", "\u03B4", "y"},
                                              {"\u03B5", "\u03B6", "z"}})},
  };
  for (const Case& c : cases) EXPECT_TRUE(scan_tables(c.spans).empty()) << c.what;
}

TEST(TableScanTest, AcceptedNearTheLimits) {
  struct Case {
    const char* what;
    std::vector<Span> spans;
    size_t n_cols;
  };
  const std::vector<Case> cases = {
      // Four words a cell on average in two columns: not above 4.
      {"two columns of four words", grid({72, 300}, {{"one two three four", "five six seven eight"},
                                                     {"one two three four", "five six seven eight"},
                                                     {"one two three four", "five six seven eight"}}), 2},
      // Math signs, but more text words than cells.
      {"signed numbers with labels", grid({72, 200}, {{"annual increase rate", "+5.2"},
                                                      {"annual decrease rate", "\u22123.1"},
                                                      {"annual stable rate", "+0.0"}}), 2},
      {"short names with numbers", grid({72, 100, 130, 160}, {{"a", "b", "c", "1.5"}, {"e", "f", "g", "2.5"},
                                                               {"i", "j", "k", "3.5"}}), 4},
  };
  for (const Case& c : cases) {
    const std::vector<TableRecord> tables = scan_tables(c.spans);
    ASSERT_EQ(tables.size(), 1u) << c.what;
    EXPECT_EQ(tables[0].body.front().size(), c.n_cols) << c.what;
  }
}

TEST(TableScanTest, WrappedCellJoinsTheRowAbove) {
  std::vector<Span> spans = grid({72, 200}, {{"Name", "Value"}, {"alpha", "first part"}, {"", "second part"},
                                             {"beta", "two"}, {"gamma", "three"}});
  const std::vector<TableRecord> tables = scan_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].body, (Grid{{"Name", "Value"}, {"alpha", "first part second part"}, {"beta", "two"},
                                  {"gamma", "three"}}));
  EXPECT_FLOAT_EQ(tables[0].y_bottom, 652);
}

TEST(TableScanTest, WrappingKeepsTheWordOrderOfEachLine) {
  // The row's second cell carries a raised exponent: after the merge of the
  // wrapped line the words of each line still read left to right.
  std::vector<Span> spans = grid({72, 200}, {{"Name", "Value"}, {"area", ""}, {"", "in square"},
                                             {"beta", "two"}, {"gamma", "three"}});
  spans.push_back(word("m", 200, 688));
  spans.push_back(word("2", 206, 691, 7));
  const std::vector<TableRecord> tables = scan_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  ASSERT_EQ(tables[0].body.size(), 4u);
  EXPECT_EQ(tables[0].body[1], (std::vector<std::string>{"area", "m 2 in square"}));
}

TEST(TableScanTest, HeaderItemsSpanningTwoColumns) {
  std::vector<Span> spans;
  add_line(spans, 712, {72, 172}, {"Group number one", "Group number two"});  // 80 points wide each
  add_line(spans, 700, {72}, {"tonnes"});
  const std::vector<float> xs = {72, 122, 172, 222};
  add_line(spans, 688, xs, {"1.5", "2.5", "3.5", "4.5"});
  add_line(spans, 676, xs, {"5.5", "6.5", "7.5", "8.5"});
  add_line(spans, 664, xs, {"9.5", "10.5", "11.5", "12.5"});
  const std::vector<TableRecord> tables = scan_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  const TableRecord& t = tables[0];
  EXPECT_EQ(t.body.size(), 3u);
  ASSERT_EQ(t.header_rows.size(), 2u);
  ASSERT_EQ(t.header_rows[0].size(), 2u);
  EXPECT_EQ(t.header_rows[0][0].text, "Group number one");
  EXPECT_EQ(t.header_rows[0][0].colspan, 2u);
  EXPECT_EQ(t.header_rows[0][1].text, "Group number two");
  EXPECT_EQ(t.header_rows[0][1].colspan, 2u);
  ASSERT_EQ(t.header_rows[1].size(), 4u);
  EXPECT_EQ(t.header_rows[1][0].text, "tonnes");
  for (size_t c = 1; c < 4; ++c) EXPECT_EQ(t.header_rows[1][c].text, "");
  for (const auto& row : t.header_rows) {
    uint32_t sum = 0;
    for (const HeaderCell& cell : row) sum += cell.colspan;
    EXPECT_EQ(sum, 4u);
  }
  EXPECT_FLOAT_EQ(t.y_top, 712);
  EXPECT_FLOAT_EQ(t.y_bottom, 664);
}

TEST(TableScanTest, HeaderScanStops) {
  const std::vector<float> xs = {72, 200};
  const Grid body = {{"a", "1.5"}, {"b", "2.5"}, {"c", "3.5"}};
  struct Case {
    const char* what;
    std::string above;
    float gap;
    size_t header_rows;
  };
  const std::vector<Case> cases = {
      {"short line", "Results", 12, 1},
      {"nine words", "one two three four five six seven eight nine", 12, 0},
      {"a sentence", "this line ends a sentence of words.", 12, 0},
      {"five words and a full stop", "five words end it here.", 12, 1},
      {"gap of 2.2 sizes", "Results", 22, 0},
      {"gap just under 2.2 sizes", "Results", 21.9f, 1},
      {"far off to the right", "Results", 12, 0},
  };
  for (const Case& c : cases) {
    std::vector<Span> spans = grid(xs, body);
    const float x = std::string(c.what) == "far off to the right" ? 400 : 72;
    spans.push_back(word(c.above, x, 700 + c.gap));
    const std::vector<TableRecord> tables = scan_tables(spans);
    ASSERT_EQ(tables.size(), 1u) << c.what;
    EXPECT_EQ(tables[0].header_rows.size(), c.header_rows) << c.what;
  }
}

TEST(TableScanTest, HeaderRowsNeverRepeatAnEarlierTable) {
  // Two tables separated by one caption line, all 12 points apart: the second
  // table's header stops at the caption instead of taking in the first table.
  const std::vector<float> xs = {72, 200};
  std::vector<Span> spans = grid(xs, {{"a", "1.5"}, {"b", "2.5"}, {"c", "3.5"}});
  spans.push_back(word("Table 2", 72, 664));
  const std::vector<Span> second = grid(xs, {{"d", "4.5"}, {"e", "5.5"}, {"f", "6.5"}}, 652);
  spans.insert(spans.end(), second.begin(), second.end());
  const std::vector<TableRecord> tables = scan_tables(spans);
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_TRUE(tables[0].header_rows.empty());
  ASSERT_EQ(tables[1].header_rows.size(), 1u);
  EXPECT_EQ(tables[1].header_rows[0][0].text, "Table 2");
  EXPECT_FLOAT_EQ(tables[1].y_top, 664);
  EXPECT_EQ(tables[1].body.front(), (std::vector<std::string>{"d", "4.5"}));
}

TEST(TableScanTest, SpansWithoutFiniteGeometryAreIgnored) {
  std::vector<Span> spans = grid({72, 100, 130}, {{"a", "1", "2"}, {"a", "1", "2"}, {"a", "1", "2"}});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf}) {
    std::vector<Span> with = spans;
    for (int field = 0; field < 4; ++field) {
      Span s = word("z", 90, 688);
      (field == 0 ? s.x : field == 1 ? s.y : field == 2 ? s.size : s.width) = bad;
      with.push_back(s);
    }
    const std::vector<TableRecord> tables = scan_tables(with);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].body[1], (std::vector<std::string>{"a", "1", "2"}));
    EXPECT_TRUE(detect_tables(std::vector<Span>(with.end() - 4, with.end())).empty());
  }
}

}  // namespace
}  // namespace quirelle
