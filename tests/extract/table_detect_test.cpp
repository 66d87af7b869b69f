#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/table_detect.h"

namespace quirelle {
namespace {

using Grid = std::vector<std::vector<std::string>>;

Span word(std::string text, float x, float y, float width) {
  Span s;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = 10;
  s.width = width;
  return s;
}

// Columns of a two-column page: text from 72 to 292 and from 320 to 540.
constexpr float left_column = 72, right_column = 320, column_width = 220;
const std::string prose = "lorem ipsum dolor sit amet consectetur adipiscing elit sed";

float line_y(int line) { return 700 - 12 * float(line); }

void add_prose(std::vector<Span>& spans, int line, float x) { spans.push_back(word(prose, x, line_y(line), column_width)); }

void add_cells(std::vector<Span>& spans, int line, const std::vector<float>& xs, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) spans.push_back(word(cells[i], xs[i], line_y(line), 20));
}

TEST(TableDetectTest, NothingToFind) {
  Span turned = word("12.5", 72, 700, 20);
  turned.angle = 0.01f;
  std::vector<Span> angled, blank;
  for (int line = 0; line < 4; ++line) {
    for (float x : {72.0f, 150.0f, 230.0f}) {
      turned.x = x;
      turned.y = line_y(line);
      angled.push_back(turned);
      blank.push_back(word(" ", x, line_y(line), 20));
    }
  }
  EXPECT_TRUE(detect_tables({}).empty());
  EXPECT_TRUE(detect_tables(angled).empty());
  EXPECT_TRUE(detect_tables(blank).empty());
}

TEST(TableDetectTest, SmallPageIsScannedWhole) {
  std::vector<Span> spans;
  for (int line = 0; line < 3; ++line) add_cells(spans, line, {72, 150, 400}, {"name", "1.5", "2.5"});
  const std::vector<TableRecord> tables = detect_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].body[0], (std::vector<std::string>{"name", "1.5", "2.5"}));
}

TEST(TableDetectTest, TableAcrossTheGutterIsReadAcrossTheWholeWidth) {
  std::vector<Span> spans;
  for (int line = 0; line < 5; ++line) {
    add_prose(spans, line, left_column);
    add_prose(spans, line, right_column);
  }
  // Three columns in the left half, two in the right, with the gutter free.
  const std::vector<float> xs = {72, 150, 230, 330, 420};
  const Grid rows = {{"alpha", "1.5", "2.5", "3.5", "4.5"},
                     {"beta", "5.5", "6.5", "7.5", "8.5"},
                     {"gamma", "9.5", "10.5", "11.5", "12.5"},
                     {"delta", "13.5", "14.5", "15.5", "16.5"}};
  for (int r = 0; r < 4; ++r) add_cells(spans, 8 + r, xs, rows[r]);
  for (int line = 15; line < 20; ++line) {
    add_prose(spans, line, left_column);
    add_prose(spans, line, right_column);
  }

  // Each column alone holds one half of the table.
  const float split = 306;  // the middle of the gutter
  ASSERT_EQ(scan_tables(side_spans(spans, split, Side::left)).size(), 1u);
  ASSERT_EQ(scan_tables(side_spans(spans, split, Side::right)).size(), 1u);

  const std::vector<TableRecord> tables = detect_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].body, rows);
  EXPECT_FLOAT_EQ(tables[0].y_top, line_y(8));
  EXPECT_FLOAT_EQ(tables[0].y_bottom, line_y(11));
  EXPECT_FLOAT_EQ(tables[0].x_min, 72);
  EXPECT_FLOAT_EQ(tables[0].x_max, 440);
}

TEST(TableDetectTest, TableInTheRightColumnKeepsLeftTextOut) {
  std::vector<Span> spans;
  for (int line = 0; line < 14; ++line) add_prose(spans, line, left_column);
  for (int line : {0, 1, 2, 3, 4, 11, 12, 13}) add_prose(spans, line, right_column);
  const Grid rows = {{"one", "1.5"}, {"two", "2.5"}, {"three", "3.5"}, {"four", "4.5"}};
  for (int r = 0; r < 4; ++r) add_cells(spans, 6 + r, {330, 420}, rows[r]);

  // Read across the whole page, the left column's lines would become cells.
  const std::vector<TableRecord> whole = scan_tables(spans);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].body[0][0], prose);

  const std::vector<TableRecord> tables = detect_tables(spans);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].body, rows);
  EXPECT_FLOAT_EQ(tables[0].x_min, 330);
}

TEST(TableDetectTest, TwoColumnHelpers) {
  const std::vector<Span> spans = {word("a", 100, 0, 40), word("b", 200, 0, 40), word("c", 279, 0, 40),
                                   word("d", 290, 0, -50)};
  // Centres at 120, 220, 299 and 290 (a negative width counts as 0).
  std::vector<std::string> left, right;
  for (const Span& s : side_spans(spans, 299, Side::left)) left.push_back(s.text);
  for (const Span& s : side_spans(spans, 299, Side::right)) right.push_back(s.text);
  EXPECT_EQ(left, (std::vector<std::string>{"a", "b", "d"}));
  EXPECT_EQ(right, (std::vector<std::string>{"c"}));

  const std::vector<SpanLine> lines = {
      {word("four words of prose", 72, 700, 200), word("right side text here", 320, 700, 200)},
      {word("three short words", 72, 688, 200)},                                // too few words
      {word("four words of prose", 72, 676, 100)},                              // not wider than 150
      {word("two cells", 72, 664, 60), word("four words in here", 160, 664, 100)},  // two segments
  };
  EXPECT_EQ(count_prose_lines(lines, 300, Side::left, 150), 1u);
  EXPECT_EQ(count_prose_lines(lines, 300, Side::left, 99), 2u);
  EXPECT_EQ(count_prose_lines(lines, 300, Side::right, 150), 1u);
}

TEST(TableDetectTest, HugeCoordinatesEndTheGutterSearch) {
  // At 1e8 a float moves in steps of 8 points: the one-point step of the
  // gutter search cannot advance a running position.
  std::vector<Span> spans;
  for (int line = 0; line < 6; ++line) {
    spans.push_back(word("a", 1e8f, line_y(line), 5));
    spans.push_back(word("b", 1e8f + 32, line_y(line), 5));
  }
  EXPECT_TRUE(detect_tables(spans).empty());  // single letters: not a table
}

}  // namespace
}  // namespace quirelle
