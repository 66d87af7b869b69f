#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "../text/test_document.h"
#include "img/collect_paths.h"
#include "img/figures.h"
#include "img/svg_writer.h"

namespace quirelle {
namespace {

// The paths of `content` as one figure with the given box.
FigureRegion figure_of(const std::string& content, float left, float top, float right, float bottom) {
  const Document doc;
  FigureRegion figure{{}, top, bottom, left, right};
  collect_paths(doc, decode_operations(content), {}, {}, PaintState{}, figure.paths, 0);
  return figure;
}

Span label(std::string text, float x, float y, float size, float width, float angle = 0) {
  Span s;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = size;
  s.width = width;
  s.angle = angle;
  return s;
}

const std::string svg_start = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";

TEST(SvgWriterTest, paths_and_labels) {
  FigureRegion figure =
      figure_of("1 0 0 rg 100 500 10 60 re f 0 w 0 0 1 RG 100 500 m 190 500 l S", 100, 560, 190, 500);
  ASSERT_EQ(figure.paths.size(), 2u);
  figure.paths[0].fill_alpha = 0.5f;
  Span bold = label("A&B", 100, 480, 10, 20);
  bold.bold = true;
  Span turned = label("up", 80, 510, 10, 30, std::numbers::pi_v<float> / 2);
  turned.italic = true;
  const std::vector<Span> labels = {bold, turned, label("gone", NAN, 500, 10, 10)};
  // Paths span x 0..90, y 0..60 when flipped; the bold label's box reaches
  // y 82 (2 below its baseline at 80), the turned one x -28 (8 left of -20).
  EXPECT_EQ(figure_svg(figure, labels, 612),
            svg_start +
                "-32 -4 126 90\" style=\"display:block;width:30.88%;height:auto;margin:0 auto\" "
                "font-family=\"sans-serif\" fill=\"#000\">"
                "<path d=\"M0 60L10 60L10 0L0 0Z\" fill=\"#ff0000\" fill-opacity=\"0.5\"/>"
                "<path d=\"M0 60L90 60\" fill=\"none\" stroke=\"#0000ff\" stroke-width=\"0.3\"/>"
                "<text x=\"0\" y=\"80\" font-size=\"10\" font-weight=\"bold\">A&amp;B</text>"
                "<text x=\"-20\" y=\"50\" font-size=\"10\" font-style=\"italic\" "
                "transform=\"rotate(-90 -20 50)\">up</text>"
                "</svg>");
}

TEST(SvgWriterTest, curves_opacities_and_widths) {
  FigureRegion figure = figure_of("0.5 g 2 w 10 10 m 20 30 40 50 60 10 c b", 10, 50, 60, 10);
  figure.paths[0].fill_alpha = 0.25f;
  figure.paths[0].stroke_alpha = 0.998f;
  EXPECT_EQ(figure_svg(figure, {}, 612),
            svg_start +
                "-4 -4 58 48\" style=\"display:block;width:14.22%;height:auto;margin:0 auto\" "
                "font-family=\"sans-serif\" fill=\"#000\">"
                "<path d=\"M0 40C10 20 30 0 50 40Z\" fill=\"#808080\" fill-opacity=\"0.25\" stroke=\"#000000\" "
                "stroke-width=\"2\" stroke-opacity=\"1\"/></svg>");
}

TEST(SvgWriterTest, width_percentage) {
  const struct {
    float right;
    float page_width;
    const char* percent;
  } cases[] = {
      {10, 612, "10"},       // 18 wide: 4.41 % clamps to 10
      {400, 612, "100"},     // 408 wide: 100 %
      {196, 612, "50"},      // 204 wide
      {196, 0, "50"},        // no page width: 612
      {196, NAN, "50"},
      {196, 408, "75"},
  };
  for (const auto& c : cases) {
    const FigureRegion figure = figure_of("0 0 m " + std::to_string(int(c.right)) + " 0 l S", 0, 0, c.right, 0);
    const std::string svg = figure_svg(figure, {}, c.page_width);
    EXPECT_NE(svg.find(std::string("width:") + c.percent + "%;"), std::string::npos) << svg;
  }
}

TEST(SvgWriterTest, label_width_estimated_from_characters) {
  // No advance width: 0.5 em per character, so "abcd" at size 10 covers x
  // 0..20; its baseline at flipped y 20 puts the box at y 12..22.
  const FigureRegion figure = figure_of("0 0 m 10 0 l S", 0, 0, 10, 0);
  const std::vector<Span> labels = {label("abcd", 0, -20, 10, 0)};
  EXPECT_EQ(figure_svg(figure, labels, 612).rfind(svg_start + "-4 -4 28 30\" style=", 0), 0u);
}

}  // namespace
}  // namespace quirelle
