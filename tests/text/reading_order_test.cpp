#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/reading_order.h"

namespace quirelle {
namespace {

Box word(float x, float y, float width = 40, float size = 10) { return {x, x + width, y, y + size}; }

// Ten lines in each of two columns, 12 points apart, with a 30-point gutter.
std::vector<Box> two_columns(float top = 700) {
  std::vector<Box> boxes;
  for (int line = 0; line < 10; ++line) {
    boxes.push_back(word(72, top - 12 * line, 200));   // left column
    boxes.push_back(word(302, top - 12 * line, 200));  // right column, 30 points to the right
  }
  return boxes;
}

TEST(ReadingOrderTest, ColumnsAreReadOneAfterTheOther) {
  auto order = reading_order(two_columns(), 10);
  ASSERT_EQ(order.size(), 20u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(order[i], uint32_t(2 * i)) << i;           // left column, top to bottom
    EXPECT_EQ(order[10 + i], uint32_t(2 * i + 1)) << i;  // then the right one
  }
}

TEST(ReadingOrderTest, HeadingAboveColumnsNeedsARowGap) {
  // Gap between the heading's bottom and the first line's top: 14 >= max(1.2 * 10, 6).
  auto boxes = two_columns();
  boxes.push_back(word(72, 724, 430));
  auto order = reading_order(boxes, 10);
  EXPECT_EQ(order.front(), 20u);
  EXPECT_EQ(order[1], 0u);
  EXPECT_EQ(order[2], 2u);  // then the left column

  // A gap of 4 allows no cut at all: one leaf read line by line across both columns.
  boxes.back() = word(72, 714, 430);
  order = reading_order(boxes, 10);
  EXPECT_EQ(order[0], 20u);
  EXPECT_EQ(order[1], 0u);
  EXPECT_EQ(order[2], 1u);
}

TEST(ReadingOrderTest, SmallPartsAreNeverColumns) {
  // Two boxes right of a wide gutter: not a column, so lines read across.
  std::vector<Box> boxes = {word(72, 700), word(400, 700), word(72, 688), word(400, 688), word(72, 676)};
  auto order = reading_order(boxes, 10);
  EXPECT_EQ(order, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
}

TEST(ReadingOrderTest, LeafSortsByLineThenX) {
  // Same line within the rounding tolerance t = max(0.6 * 10, 2) = 6: x decides.
  std::vector<Box> boxes = {word(200, 700.5f, 20), word(100, 699, 20), word(150, 701.4f, 20)};
  EXPECT_EQ(reading_order(boxes, 10), (std::vector<uint32_t>{1, 2, 0}));
}

TEST(ReadingOrderTest, EveryIndexOnceEvenForDegenerateBoxes) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  std::vector<Box> boxes = {{nan, nan, nan, nan}, {0, 0, 5, 5}, {inf, -inf, 1, 0}, {3, 4, 5, 6}, {3, 4, 5, 6}};
  for (int i = 0; i < 200; ++i) boxes.push_back(word(float(i % 7) * 90, float(i) * 3, 30, 2));
  auto order = reading_order(boxes, nan);
  std::vector<uint32_t> sorted(order);
  std::sort(sorted.begin(), sorted.end());
  ASSERT_EQ(sorted.size(), boxes.size());
  for (uint32_t i = 0; i < sorted.size(); ++i) EXPECT_EQ(sorted[i], i);
  EXPECT_TRUE(reading_order({}, 10).empty());
}

}  // namespace
}  // namespace quirelle
