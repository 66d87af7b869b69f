#include "text/form_text_spans.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numbers>
#include <string>
#include <vector>

#include "text/font_loader.h"
#include "text/page_spans.h"
#include "span_test_support.h"
#include "test_document.h"

namespace quirelle {
namespace {

using namespace test;

constexpr uint32_t first_form = 20;

// A Form XObject drawing `content` with font F1 and, as Fm1, the object
// `next` (when not 0).
Object form(std::string content, uint32_t next = 0, Object matrix = make_null()) {
  Entries resources = {{"Font", dict({{"F1", ref(font_object)}})}};
  if (next) resources.emplace_back("XObject", dict({{"Fm1", ref(next)}}));
  Entries entries = {{"Subtype", name("Form")}, {"Resources", dict(std::move(resources))}};
  if (!matrix.is(ObjectKind::Null)) entries.emplace_back("Matrix", std::move(matrix));
  return stream(std::move(entries), std::move(content));
}

Object matrix(float a, float b, float c, float d, float e, float f) {
  return array({make_real(a), make_real(b), make_real(c), make_real(d), make_real(e), make_real(f)});
}

// A page whose resources name object 20 as Fm1.
Document page_with_forms(std::string content) {
  return one_page_document(std::move(content), plain_font(), {{"XObject", dict({{"Fm1", ref(first_form)}})}});
}

struct Walk {
  std::vector<Span> spans;
  Matrix ctm = identity_matrix;
};

Walk walk_page(const Document& doc, int depth = 0) {
  const Dictionary& page = *dict_by_id(doc, test_page);
  const Dictionary& resources = *dict_entry(doc, page, "Resources");
  const Operations ops = decode_operations(std::get<std::shared_ptr<const Stream>>(
                                               doc.objects.at(object_key(ObjectId{content_object, 0})).value)
                                               ->data);
  Walk walk;
  form_text_spans(doc, ops, load_page_fonts(doc, test_page, ""), xobject_map(doc, resources), walk.ctm, "", depth,
                  walk.spans);
  return walk;
}

TEST(form_text_spans_test, text_inside_forms) {
  struct Case {
    const char* what;
    std::string page;
    Object form;
    std::vector<SpanView> spans;
  };
  const float quarter_turn = std::numbers::pi_v<float> / 2;
  const std::vector<Case> cases = {
      {"form matrix then page CTM", "2 0 0 2 0 0 cm /Fm1 Do",
       form("BT /F1 10 Tf 5 0 Td (AB) Tj ET", 0, matrix(1, 0, 0, 1, 10, 20)), {{"AB", 30, 40, 20, 20}}},
      {"upright position always through the CTM", "0.5 0 0 0.5 0 0 cm /Fm1 Do",
       form("BT /F1 12 Tf 100 700 Td (A) Tj ET"), {{"A", 50, 350, 6, 3}}},
      {"rotated form", "/Fm1 Do", form("BT /F1 10 Tf (A B) Tj ET", 0, matrix(0, 2, -2, 0, 0, 0)),
       {{"A ", 0, 0, 20, 0, quarter_turn}, {"B", 0, 20, 20, 0, quarter_turn}}},
      {"rise ignored", "/Fm1 Do", form("BT /F1 10 Tf 3 Ts (A) Tj ET"), {{"A", 0, 0, 10, 5}}},
      {"a short Matrix is ignored", "/Fm1 Do", form("BT /F1 10 Tf (A) Tj ET", 0, array({make_integer(2)})),
       {{"A", 0, 0, 10, 5}}},
      {"the CTM at the Do counts", "q 1 0 0 1 7 0 cm /Fm1 Do Q /Fm1 Do", form("BT /F1 10 Tf (A) Tj ET"),
       {{"A", 7, 0, 10, 5}, {"A", 0, 0, 10, 5}}},
      {"fresh text state in the form", "BT /F1 12 Tf 50 50 Td ET /Fm1 Do", form("(A) Tj"), {}},
      {"small text dropped", "/Fm1 Do", form("BT /F1 1.5 Tf (A) Tj ET"), {}},
      {"page text is not emitted", "BT /F1 10 Tf (P) Tj ET", form("BT /F1 10 Tf (A) Tj ET"), {}},
      {"unknown name", "/Fm9 Do", form("BT /F1 10 Tf (A) Tj ET"), {}},
      {"image XObject", "/Fm1 Do", stream({{"Subtype", name("Image")}, {"Resources", dict({})}}, "BT (A) Tj ET"), {}},
      {"no Resources", "/Fm1 Do", stream({{"Subtype", name("Form")}}, "BT 10 0 0 10 0 0 Tm (A) Tj ET"), {}},
      {"undecodable data", "/Fm1 Do",
       stream({{"Subtype", name("Form")}, {"Resources", dict({})}, {"Filter", name("FlateDecode")}}, "junk"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Document doc = page_with_forms(c.page);
    put(doc, first_form, c.form);
    EXPECT_EQ(views_of(walk_page(doc).spans), c.spans);
  }
}

TEST(form_text_spans_test, only_the_form_walker_reads_forms) {
  Document doc = page_with_forms("BT /F1 10 Tf (P) Tj ET /Fm1 Do");
  put(doc, first_form, form("BT /F1 10 Tf (A) Tj ET"));
  EXPECT_EQ(views_of(page_spans(doc, test_page, "")), (std::vector<SpanView>{{"P", 0, 0, 10, 5}}));
  EXPECT_EQ(views_of(walk_page(doc).spans), (std::vector<SpanView>{{"A", 0, 0, 10, 5}}));
}

TEST(form_text_spans_test, forms_nest_eight_levels) {
  // Form 20 + k is at depth k + 1, shows "L<depth>" and draws the next one.
  Document doc = page_with_forms("/Fm1 Do");
  for (uint32_t k = 0; k < 10; ++k)
    put(doc, first_form + k, form("BT /F1 10 Tf (L" + std::to_string(k + 1) + ") Tj ET /Fm1 Do", first_form + k + 1));
  std::vector<std::string> texts;
  for (const Span& s : walk_page(doc).spans) texts.push_back(s.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8"}));
  EXPECT_EQ(walk_page(doc, 1).spans.size(), 7u);  // the operations given count as depth 1
  EXPECT_TRUE(walk_page(doc, max_form_depth + 1).spans.empty());
}

TEST(form_text_spans_test, forms_that_draw_themselves_are_entered_once) {
  Document doc = page_with_forms("/Fm1 Do");
  put(doc, first_form, form("BT /F1 10 Tf (A) Tj ET /Fm1 Do", first_form));
  EXPECT_EQ(walk_page(doc).spans.size(), 1u);

  put(doc, first_form, form("BT /F1 10 Tf (A) Tj ET /Fm1 Do", first_form + 1));
  put(doc, first_form + 1, form("BT /F1 10 Tf (B) Tj ET /Fm1 Do", first_form));
  auto spans = walk_page(doc).spans;
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].text, "A");
  EXPECT_EQ(spans[1].text, "B");
}

TEST(form_text_spans_test, repeated_drawing_is_bounded) {
  // Eight levels, each drawing the next fifty times: 50^8 visits unbounded.
  std::string draws;
  for (int i = 0; i < 50; ++i) draws += "/Fm1 Do ";
  Document doc = page_with_forms(draws);
  for (uint32_t k = 0; k < 8; ++k) put(doc, first_form + k, form("BT /F1 10 Tf (A) Tj ET " + draws, first_form + k + 1));
  const auto start = std::chrono::steady_clock::now();
  const auto spans = walk_page(doc).spans;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_GT(spans.size(), 1000u);
  EXPECT_LT(spans.size(), 100000u);
}

TEST(form_text_spans_test, page_ctm_is_updated_in_place) {
  Document doc = page_with_forms("q 1 0 0 1 5 5 cm Q 2 0 0 2 0 0 cm q 3 0 0 3 0 0 cm");
  EXPECT_EQ(walk_page(doc).ctm, (Matrix{6, 0, 0, 6, 0, 0}));
}

TEST(form_text_spans_test, xobject_map_keeps_references) {
  Document doc;
  put(doc, 30, dict({{"A", ref(5)}, {"B", stream({}, "")}, {"C", make_integer(1)}}));
  XObjectMap map = xobject_map(doc, dict_of(dict({{"XObject", ref(30)}})));
  ASSERT_EQ(map.size(), 1u);
  EXPECT_EQ(map.at("A"), (ObjectId{5, 0}));
  EXPECT_TRUE(xobject_map(doc, dict_of(dict({}))).empty());
}

}  // namespace
}  // namespace quirelle
