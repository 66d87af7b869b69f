#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../text/test_document.h"
#include "img/collect_paths.h"
#include "img/svg_number.h"

namespace quirelle {
namespace {

using namespace test;

constexpr uint32_t first_form = 40;
constexpr uint32_t half_alpha_state = 50;

std::vector<VectorPath> paths_of(const Document& doc, const std::string& content, const XObjectMap& xobjects = {},
                                 const AlphaMap& alphas = {}, int depth = 0) {
  std::vector<VectorPath> out;
  collect_paths(doc, decode_operations(content), xobjects, alphas, PaintState{}, out, depth);
  return out;
}

TEST(SvgNumberTest, format_number_cases) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {2.0f, "2"},     {0.5f, "0.5"},    {1.5f, "1.5"},       {0.25f, "0.25"},   {1.239f, "1.24"},
      {-0.001f, "0"},  {-0.004f, "0"},   {-0.006f, "-0.01"},  {0.0f, "0"},       {-0.0f, "0"},
      {100.0f, "100"}, {10.1f, "10.1"},  {-12.345f, "-12.35"}, {0.125f, "0.12"}, {0.375f, "0.38"},
      {1e6f, "1000000"}, {NAN, "0"},     {INFINITY, "0"},     {-INFINITY, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(format_number(c.value), c.text) << c.value;
  EXPECT_EQ(format_number(3.4e38f).size(), 39u);
}

TEST(VectorColourTest, conversions) {
  EXPECT_EQ(cmyk_to_rgb(0, 0, 0, 0), 0xffffffu);
  EXPECT_EQ(cmyk_to_rgb(0, 0, 0, 1), 0x000000u);
  EXPECT_EQ(cmyk_to_rgb(1, 0, 0, 0), 0x00ffffu);
  EXPECT_EQ(cmyk_to_rgb(0, 1, 1, 0), 0xff0000u);
  EXPECT_EQ(cmyk_to_rgb(0, 0, 0, 0.5f), 0x808080u);  // 127.5 rounds away from zero
  EXPECT_EQ(cmyk_to_rgb(0.2f, 0.4f, 0.6f, 0.1f), 0xb88a5cu);  // 183.6 137.7 91.8
  EXPECT_EQ(cmyk_to_rgb(-1, 2, NAN, 0), 0xff00ffu);  // clamped, NaN counts as 0
  EXPECT_EQ(grey_to_rgb(0.5f), 0x808080u);
  EXPECT_EQ(grey_to_rgb(7), 0xffffffu);
  EXPECT_EQ(rgb_to_rgb(1, 0, 0.2f), 0xff0033u);
}

TEST(VectorPathTest, colour_operators) {
  const Document doc;
  const struct {
    const char* content;
    std::optional<uint32_t> fill;
    std::optional<uint32_t> stroke;
  } cases[] = {
      {"0 0 m 1 1 l f", 0x000000u, std::nullopt},
      {"0.5 g 0 0 m 1 1 l f", 0x808080u, std::nullopt},
      {"1 0 0 rg 0 0 1 RG 0 0 m 1 1 l B", 0xff0000u, 0x0000ffu},
      {"0 0 0 1 k 1 0 0 0 K 0 0 m 1 1 l b*", 0x000000u, 0x00ffffu},
      {"1 G 0 0 m 1 1 l S", std::nullopt, 0xffffffu},
      {"0 1 0 sc 0 0 m 1 1 l f", 0x00ff00u, std::nullopt},
      {"0 0 0 1 SCN 0 0 m 1 1 l s", std::nullopt, 0x000000u},
      {"1 0 0 rg 0.5 /P1 scn 0 0 m 1 1 l f", 0x808080u, std::nullopt},  // leading number is grey
      {"1 0 0 rg 0.5 0.5 scn 0 0 m 1 1 l f", 0xff0000u, std::nullopt},  // two numbers: unchanged
      {"1 0 0 rg /P1 scn 0 0 m 1 1 l f", 0xff0000u, std::nullopt},
      {"1 0 0 rg rg 0 0 m 1 1 l f*", 0xff0000u, std::nullopt},  // too few operands
      {"q 1 0 0 rg Q 0 0 m 1 1 l F", 0x000000u, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto paths = paths_of(doc, c.content);
    ASSERT_EQ(paths.size(), 1u) << c.content;
    EXPECT_EQ(paths[0].fill, c.fill) << c.content;
    EXPECT_EQ(paths[0].stroke.has_value(), c.stroke.has_value()) << c.content;
    if (c.stroke && paths[0].stroke) EXPECT_EQ(paths[0].stroke->rgb, *c.stroke) << c.content;
  }
}

TEST(VectorPathTest, segments_and_box) {
  const Document doc;
  auto paths = paths_of(doc, "2 0 0 2 10 20 cm 1 1 m 2 1 l 3 4 5 6 7 1 c 8 9 10 1 v 0 -1 11 1 y h S");
  ASSERT_EQ(paths.size(), 1u);
  const auto& s = paths[0].segments;
  ASSERT_EQ(s.size(), 6u);
  EXPECT_EQ(s[0].kind, SegmentKind::move);
  EXPECT_FLOAT_EQ(s[0].points[0].x, 12);
  EXPECT_FLOAT_EQ(s[0].points[0].y, 22);
  EXPECT_EQ(s[2].kind, SegmentKind::curve);
  EXPECT_FLOAT_EQ(s[3].points[0].x, 24);  // v: first control point is the last point, (7, 1)
  EXPECT_FLOAT_EQ(s[4].points[1].x, 32);  // y: second control point is the end point, (11, 1)
  EXPECT_FLOAT_EQ(s[4].points[2].x, 32);
  EXPECT_EQ(s[5].kind, SegmentKind::close);
  EXPECT_FLOAT_EQ(paths[0].x_min, 10);  // control point (0, -1)
  EXPECT_FLOAT_EQ(paths[0].y_min, 18);
  EXPECT_FLOAT_EQ(paths[0].x_max, 32);
  EXPECT_FLOAT_EQ(paths[0].y_max, 38);

  paths = paths_of(doc, "10 20 30 40 re f");
  ASSERT_EQ(paths.size(), 1u);
  ASSERT_EQ(paths[0].segments.size(), 5u);
  EXPECT_FLOAT_EQ(paths[0].x_max, 40);
  EXPECT_FLOAT_EQ(paths[0].y_max, 60);

  // s, b and b* close the subpath first; S, B and f leave it open.
  const struct {
    const char* op;
    size_t segments;
  } closing[] = {{"s", 3}, {"b", 3}, {"b*", 3}, {"S", 2}, {"B", 2}, {"f", 2}};
  for (const auto& c : closing) {
    paths = paths_of(doc, std::string("0 0 m 5 5 l ") + c.op + " 0 0 m 5 5 l h " + c.op);
    ASSERT_EQ(paths.size(), 2u) << c.op;
    EXPECT_EQ(paths[0].segments.size(), c.segments) << c.op;
    EXPECT_EQ(paths[1].segments.size(), 3u) << c.op;  // never closed twice
  }

  // Names count as 0; a path cleared by n, or painted without points, or
  // lines without a current point give nothing.
  paths = paths_of(doc, "/a /b m 3 4 l S");
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_FLOAT_EQ(paths[0].x_min, 0);
  EXPECT_TRUE(paths_of(doc, "0 0 m 5 5 l n S").empty());
  EXPECT_TRUE(paths_of(doc, "h f").empty());
  EXPECT_TRUE(paths_of(doc, "5 5 l 1 2 3 4 5 6 c f").empty());
  EXPECT_TRUE(paths_of(doc, "0 0 m 5 5 l W n").empty());
}

TEST(VectorPathTest, non_finite_points_are_not_painted) {
  const Document doc;
  const std::string huge = "100000000000000000000";  // 1e20: squared it overflows a float
  const std::string scale = huge + " 0 0 " + huge + " 0 0 cm ";
  EXPECT_TRUE(paths_of(doc, scale + huge + " 0 m 1 1 l S").empty());
  EXPECT_TRUE(paths_of(doc, scale + "0 0 m 1 1 l 0 " + huge + " 0 0 1 1 c f").empty());
  // The broken path is forgotten once painted; the next one is kept.
  EXPECT_EQ(paths_of(doc, scale + huge + " 0 m S 0 0 m 1 1 l S").size(), 1u);
}

TEST(VectorPathTest, stroke_widths) {
  const Document doc;
  const struct {
    const char* content;
    float width;
  } cases[] = {
      {"0 0 m 1 1 l S", 1},
      {"0 w 0 0 m 1 1 l S", 0.3f},  // hairline
      {"2 w 3 0 0 3 0 0 cm 0 0 m 1 1 l S", 6},
      {"2 w 0 2 -2 0 0 0 cm 0 0 m 1 1 l S", 4},
      {"2 w 4 0 0 1 0 0 cm 0 0 m 1 1 l S", 4},  // sqrt of |det|
      {"-3 w 0 0 m 1 1 l S", 0.3f},
      {"0.1 w 0 0 m 1 1 l S", 0.3f},
  };
  for (const auto& c : cases) {
    const auto paths = paths_of(doc, c.content);
    ASSERT_EQ(paths.size(), 1u) << c.content;
    ASSERT_TRUE(paths[0].stroke) << c.content;
    EXPECT_FLOAT_EQ(paths[0].stroke->width, c.width) << c.content;
  }
}

Document document_with_alpha_states() {
  Document doc;
  put(doc, half_alpha_state, dict({{"ca", make_real(0.5f)}, {"CA", make_integer(1)}}));
  return doc;
}

TEST(VectorPathTest, alpha_states) {
  const Document doc = document_with_alpha_states();
  const Object resources = dict({{"ExtGState", dict({{"Half", ref(half_alpha_state)},
                                                     {"Faint", dict({{"ca", make_real(0.03f)}})},
                                                     {"Bad", make_integer(3)},
                                                     {"Named", dict({{"CA", name("x")}})},
                                                     {"Gone", ref(99)}})}});
  const AlphaMap alphas = read_alpha_states(doc, dict_of(resources));
  ASSERT_EQ(alphas.size(), 3u);
  EXPECT_EQ(alphas.at("Half").fill, 0.5f);
  EXPECT_EQ(alphas.at("Half").stroke, 1.0f);
  EXPECT_EQ(alphas.at("Faint").fill, 0.03f);
  EXPECT_FALSE(alphas.at("Faint").stroke);
  EXPECT_FALSE(alphas.at("Named").stroke);

  const struct {
    const char* content;
    size_t count;
    bool filled;
    bool stroked;
  } cases[] = {
      {"/Faint gs 0 0 m 1 1 l f", 0, false, false},  // fill alpha 0.03, no stroke
      {"/Faint gs 0 0 m 1 1 l B", 1, false, true},
      {"/Half gs 0 0 m 1 1 l f", 1, true, false},
      {"/Faint gs /Named gs /Unknown gs gs 0 0 m 1 1 l f", 0, false, false},
      {"q /Faint gs Q 0 0 m 1 1 l f", 1, true, false},
  };
  for (const auto& c : cases) {
    const auto paths = paths_of(doc, c.content, {}, alphas);
    ASSERT_EQ(paths.size(), c.count) << c.content;
    if (c.count == 0) continue;
    EXPECT_EQ(paths[0].fill.has_value(), c.filled) << c.content;
    EXPECT_EQ(paths[0].stroke.has_value(), c.stroked) << c.content;
  }
  const auto half = paths_of(doc, "/Half gs 0 0 m 1 1 l f", {}, alphas);
  EXPECT_FLOAT_EQ(half[0].fill_alpha, 0.5f);
  EXPECT_FLOAT_EQ(half[0].stroke_alpha, 1.0f);
}

// Forms first_form, first_form + 1, ... each drawing the next as Fm1; the
// last draws a red 10 x 10 square.
void add_form_chain(Document& doc, int length) {
  for (int k = 0; k < length; ++k) {
    const bool last = k + 1 == length;
    Entries resources;
    if (!last) resources.emplace_back("XObject", dict({{"Fm1", ref(first_form + k + 1)}}));
    put(doc, first_form + k,
        stream({{"Subtype", name("Form")}, {"Resources", dict(std::move(resources))}},
               last ? "0 0 10 10 re f" : "/Fm1 Do"));
  }
}

TEST(VectorPathTest, forms_to_depth_eight) {
  const XObjectMap xobjects{{"Fm1", ObjectId{first_form, 0}}};
  for (int length : {1, 8, 9}) {
    Document doc;
    add_form_chain(doc, length);
    EXPECT_EQ(paths_of(doc, "1 0 0 rg /Fm1 Do", xobjects).size(), length <= 8 ? 1u : 0u) << length;
  }
  Document doc;
  add_form_chain(doc, 1);
  EXPECT_EQ(paths_of(doc, "/Fm1 Do", xobjects, {}, 7).size(), 1u);
  EXPECT_TRUE(paths_of(doc, "/Fm1 Do", xobjects, {}, 8).empty());
  EXPECT_EQ(paths_of(doc, "0 0 m 1 1 l S", xobjects, {}, 8).size(), 1u);
  EXPECT_TRUE(paths_of(doc, "0 0 m 1 1 l S", xobjects, {}, 9).empty());
}

TEST(VectorPathTest, form_state_matrix_and_alpha) {
  Document doc = document_with_alpha_states();
  put(doc, first_form,
      stream({{"Subtype", name("Form")},
              {"Matrix", array({make_integer(2), make_integer(0), make_integer(0), make_integer(2), make_integer(0),
                                make_integer(10)})}},
             "0 0 10 10 re f /Half gs 0 0 1 rg 0 0 m 1 1 l f /Fm1 Do"));  // drawing itself is not followed
  const XObjectMap xobjects{{"Fm1", ObjectId{first_form, 0}}};
  const Object resources = dict({{"ExtGState", dict({{"Half", ref(half_alpha_state)}})}});
  const AlphaMap alphas = read_alpha_states(doc, dict_of(resources));
  const auto paths = paths_of(doc, "1 0 0 rg 3 0 0 3 0 0 cm /Fm1 Do 0 0 m 1 1 l f", xobjects, alphas);
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(paths[0].fill, 0xff0000u);  // the inner walk starts from the current state
  EXPECT_FLOAT_EQ(paths[0].x_max, 60);
  EXPECT_FLOAT_EQ(paths[0].y_max, 90);  // (10, 10) -> (20, 30) in the form -> x 3
  EXPECT_FLOAT_EQ(paths[1].fill_alpha, 0.5f);
  EXPECT_EQ(paths[1].fill, 0x0000ffu);
  EXPECT_EQ(paths[2].fill, 0xff0000u);  // nothing leaks out of the form
  EXPECT_FLOAT_EQ(paths[2].fill_alpha, 1.0f);
  EXPECT_FLOAT_EQ(paths[2].x_max, 3);
}

TEST(VectorPathTest, form_fan_out_is_bounded) {
  // Eight forms, each drawing the next 50 times: 50^8 visits unbounded.
  Document doc;
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += "/Fm1 Do ";
  constexpr int levels = 8;
  for (int k = 0; k < levels; ++k) {
    const bool last = k + 1 == levels;
    Entries resources;
    if (!last) resources.emplace_back("XObject", dict({{"Fm1", ref(first_form + k + 1)}}));
    put(doc, first_form + k,
        stream({{"Subtype", name("Form")}, {"Resources", dict(std::move(resources))}}, last ? "0 0 1 1 re f" : fifty));
  }
  const auto paths = paths_of(doc, "/Fm1 Do", {{"Fm1", ObjectId{first_form, 0}}});
  EXPECT_GT(paths.size(), 0u);
  EXPECT_LE(paths.size(), max_page_path_segments / 5);
}

TEST(VectorPathTest, segments_are_bounded) {
  const Document doc;
  std::string content;
  for (size_t i = 0; i < max_page_path_segments / 5 + 10; ++i) content += "0 0 1 1 re f\n";
  const auto paths = paths_of(doc, content);
  EXPECT_EQ(paths.size(), max_page_path_segments / 5);
}

}  // namespace
}  // namespace quirelle
