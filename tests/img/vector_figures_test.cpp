#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../text/test_document.h"
#include "img/collect_paths.h"
#include "img/figures.h"

namespace quirelle {
namespace {

using namespace test;

std::vector<VectorPath> paths_of(const std::string& content) {
  const Document doc;
  std::vector<VectorPath> out;
  collect_paths(doc, decode_operations(content), {}, {}, PaintState{}, out, 0);
  return out;
}

// A bar chart with its base at `base`: `bars` bars 10 wide and 60 tall
// from x 100, 20 apart (100 x 60 for five bars), and optionally an axis.
std::string bar_chart(float base, int bars, bool axis) {
  std::string content;
  for (int i = 0; i < bars; ++i)
    content += std::to_string(100 + 20 * i) + " " + std::to_string(base) + " 10 60 re f\n";
  if (axis) content += "100 " + std::to_string(base) + " m 190 " + std::to_string(base) + " l S\n";
  return content;
}

TEST(FigureSelectionTest, paths_and_size_thresholds) {
  const struct {
    std::string content;
    size_t figures;
  } cases[] = {
      {bar_chart(500, 5, false), 0},  // five bars
      {bar_chart(500, 5, true), 1},   // six paths, 90 x 60
      {bar_chart(500, 6, false), 1},
      {"100 500 m 171 500 l S 100 500 10 54 re f 120 500 10 54 re f 140 500 10 54 re f 160 500 10 54 re f "
       "161 500 10 54 re f", 0},  // 71 wide
      {"100 500 m 172 500 l S 100 500 10 54 re f 120 500 10 54 re f 140 500 10 54 re f 160 500 10 54 re f "
       "162 500 10 54 re f", 1},  // exactly 72 x 54
      {"100 500 m 172 500 l S 100 500 10 53 re f 120 500 10 53 re f 140 500 10 53 re f 160 500 10 53 re f "
       "162 500 10 53 re f", 0},  // 53 tall
  };
  for (const auto& c : cases) EXPECT_EQ(select_figures(paths_of(c.content)).size(), c.figures) << c.content;
}

TEST(FigureSelectionTest, page_frames_are_dropped) {
  // A white background first, then a chart; the background is numbered but
  // neither joins nor widens the figure.
  const auto figures = select_figures(paths_of("1 g 0 0 612 792 re f 0 g\n" + bar_chart(500, 5, true)));
  ASSERT_EQ(figures.size(), 1u);
  const FigureRegion& f = figures[0];
  ASSERT_EQ(f.paths.size(), 6u);
  EXPECT_EQ(f.paths.front().order, 1u);
  EXPECT_EQ(f.paths.back().order, 6u);
  EXPECT_FLOAT_EQ(f.left, 100);
  EXPECT_FLOAT_EQ(f.right, 190);
  EXPECT_FLOAT_EQ(f.bottom, 500);
  EXPECT_FLOAT_EQ(f.top, 560);
  // Large paths with many segments, or only 400 wide, are kept.
  EXPECT_EQ(select_figures(paths_of("0 0 m 612 0 l 612 792 l 0 792 l 0 0 l 1 1 l S\n" + bar_chart(500, 5, false)))
                .size(),
            1u);
  EXPECT_EQ(select_figures(paths_of("0 0 400 792 re f\n" + bar_chart(500, 5, false))).size(), 1u);
}

TEST(FigureSelectionTest, charts_apart_vertically) {
  const struct {
    float gap;
    size_t figures;
  } cases[] = {{30, 2}, {25, 2}, {24, 1}, {20, 1}};
  for (const auto& c : cases) {
    // The lower chart spans 300 to 360; the upper starts gap above it.
    const auto figures = select_figures(paths_of(bar_chart(360 + c.gap, 5, true) + bar_chart(300, 5, true)));
    ASSERT_EQ(figures.size(), c.figures) << c.gap;
    EXPECT_FLOAT_EQ(figures[0].top, 420 + c.gap) << c.gap;
    if (c.figures == 2) EXPECT_FLOAT_EQ(figures[1].top, 360);
    if (c.figures == 1) EXPECT_EQ(figures[0].paths.size(), 12u);
  }
}

TEST(FigureSelectionTest, figure_paths_keep_drawing_order) {
  // Drawn bottom up; the figure lists them as drawn.
  const auto figures = select_figures(
      paths_of("100 500 10 10 re f 100 510 10 10 re f 100 520 10 10 re f 100 530 10 10 re f "
               "100 540 10 10 re f 100 550 100 10 re f"));
  ASSERT_EQ(figures.size(), 1u);
  for (size_t i = 0; i < figures[0].paths.size(); ++i) EXPECT_EQ(figures[0].paths[i].order, i);
}

TEST(FigureLabelTest, labels_near_the_box) {
  const FigureRegion figure{{}, 560, 500, 100, 190};
  auto span = [](float x, float y, float width, float size) {
    Span s;
    s.text = "t";
    s.x = x;
    s.y = y;
    s.width = width;
    s.size = size;
    return s;
  };
  const std::vector<Span> spans = {
      span(120, 530, 10, 10),  // inside
      span(70, 470, 10, 10),   // centre (75, 475): left by 25
      span(71, 471, 10, 10),   // centre (76, 476): within 24 on both axes
      span(200, 580, 20, 8),   // centre (210, 584): right by 20, above by 24
      span(205, 585, 20, 8),   // centre (215, 589): above by 29
      span(150, 590, 0, 2),    // centre (150, 591): above by 31
      span(NAN, 530, 10, 10),
  };
  const auto labels = figure_labels(figure, spans);
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_FLOAT_EQ(labels[0].x, 120);
  EXPECT_FLOAT_EQ(labels[1].x, 71);
  EXPECT_FLOAT_EQ(labels[2].x, 200);
  // A span between two figures is drawn in both.
  const FigureRegion lower{{}, 460, 400, 100, 190};
  const std::vector<Span> between = {span(140, 475, 10, 10)};
  EXPECT_EQ(figure_labels(figure, between).size(), 1u);
  EXPECT_EQ(figure_labels(lower, between).size(), 1u);
}

TEST(FigurePageWidthTest, media_box_then_crop_box) {
  Document doc;
  put(doc, 7, array({make_integer(10), make_integer(0), make_real(595.5f), make_integer(842)}));
  auto width = [&](Entries entries) {
    const Object page = dict(std::move(entries));
    return figure_page_width(doc, dict_of(page));
  };
  auto box = [](float x0, float x1) {
    return array({make_real(x0), make_integer(0), make_real(x1), make_integer(100)});
  };
  EXPECT_FLOAT_EQ(width({{"MediaBox", ref(7)}}), 585.5f);
  EXPECT_FLOAT_EQ(width({{"MediaBox", box(500, 0)}}), 500);
  EXPECT_FLOAT_EQ(width({{"MediaBox", box(0, 1)}, {"CropBox", box(0, 300)}}), 300);
  EXPECT_FLOAT_EQ(width({{"MediaBox", box(0, 1)}}), 612);
  EXPECT_FLOAT_EQ(width({{"MediaBox", array({make_integer(0), make_integer(0), make_integer(300)})}}), 612);
  EXPECT_FLOAT_EQ(width({}), 612);
}

}  // namespace
}  // namespace quirelle
