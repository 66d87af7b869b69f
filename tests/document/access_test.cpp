#include <gtest/gtest.h>

#include "document/access.h"
#include "document/page_access.h"

namespace quirelle {
namespace {

ObjectId id(uint32_t n) { return ObjectId{n, 0}; }

void put(Document& doc, uint32_t n, Object o) { doc.objects[object_key(id(n))] = std::move(o); }

Dictionary dict(std::vector<std::pair<std::string, Object>> entries) {
  Dictionary d{std::move(entries)};
  finish_dictionary(d);
  return d;
}

TEST(AccessTest, NumbersAndMatrices) {
  Object i = make_integer(12), r = make_real(12.0f), n = make_name("x");
  EXPECT_EQ(number_of(&i), 12.0f);
  EXPECT_EQ(number_of(&r), 12.0f);
  EXPECT_EQ(number_of(&n), 0.0f);
  EXPECT_EQ(number_of(nullptr), 0.0f);
  Array short_array{{make_integer(2), make_real(0.5f)}};
  EXPECT_EQ(matrix_of(&short_array), (Matrix{2, 0.5f, 0, 0, 0, 0}));
  Matrix scale{2, 0, 0, 2, 0, 0}, move{1, 0, 0, 1, 10, 20};
  EXPECT_EQ(concat_matrix(scale, move), (Matrix{2, 0, 0, 2, 10, 20}));
  EXPECT_EQ(concat_matrix(move, scale), (Matrix{2, 0, 0, 2, 20, 40}));
}

TEST(AccessTest, ReferencesResolveOrAreAbsent) {
  Document doc;
  put(doc, 1, make_reference(id(2)));               // a reference to a reference
  put(doc, 2, make_dictionary(dict({{"Type", make_name("Font")}})));
  put(doc, 3, make_reference(id(4)));               // a cycle
  put(doc, 4, make_reference(id(3)));
  Object to_font = make_reference(id(1)), to_missing = make_reference(id(99)), to_cycle = make_reference(id(3));
  const Dictionary* font = as_dict(resolve_object(doc, &to_font));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(as_name(font->find("Type")), "Font");
  EXPECT_EQ(resolve_object(doc, &to_missing), nullptr);
  EXPECT_EQ(resolve_object(doc, &to_cycle), nullptr);
  EXPECT_EQ(object_by_id(doc, id(99)), nullptr);
  EXPECT_EQ(dict_by_id(doc, id(3)), nullptr);
  Object stream = make_stream(dict({{"Length", make_integer(1)}}), "x");
  put(doc, 5, stream);
  EXPECT_NE(dict_by_id(doc, id(5)), nullptr);  // a stream's dictionary
  EXPECT_EQ(as_dict(&stream), nullptr);       // but a stream is not a dictionary
}

// Pages tree 1 -> page 2; fonts on both; contents an array of two streams.
Document inherited_fonts_document() {
  Document doc;
  put(doc, 1, make_dictionary(dict({{"Type", make_name("Pages")},
                                    {"Resources", make_dictionary(dict({{"Font", make_dictionary(dict({
                                        {"F1", make_reference(id(10))}, {"F2", make_reference(id(11))}}))}}))}})));
  put(doc, 2, make_dictionary(dict({{"Type", make_name("Page")}, {"Parent", make_reference(id(1))},
                                    {"Resources", make_reference(id(3))},
                                    {"Contents", make_array({make_reference(id(4)), make_reference(id(5))})}})));
  put(doc, 3, make_dictionary(dict({{"Font", make_dictionary(dict({{"F1", make_reference(id(12))}}))}})));
  put(doc, 4, make_stream({}, "BT (a) Tj"));
  put(doc, 5, make_stream({}, "ET"));
  for (uint32_t n : {10u, 11u, 12u}) put(doc, n, make_dictionary(dict({{"N", make_integer(n)}})));
  doc.pages = {id(2)};
  return doc;
}

TEST(AccessTest, PageFontsInheritWithThePageWinning) {
  Document doc = inherited_fonts_document();
  auto fonts = page_font_dicts(doc, id(2));
  ASSERT_TRUE(fonts.ok());
  ASSERT_EQ(fonts.value->size(), 2u);
  EXPECT_EQ((*fonts.value)[0].first, "F1");
  EXPECT_EQ(as_integer((*fonts.value)[0].second->find("N")), 12);  // the page's own F1
  EXPECT_EQ(as_integer((*fonts.value)[1].second->find("N")), 11);  // inherited F2
  auto resources = page_resource_dicts(doc, id(2));
  EXPECT_NE(resources.own, nullptr);
  EXPECT_EQ(resources.ancestors_with_resources, std::vector<ObjectId>{id(1)});
  EXPECT_FALSE(page_font_dicts(doc, id(99)).ok());
}

TEST(AccessTest, ContentArrayJoinsStreamsInOrder) {
  Document doc = inherited_fonts_document();
  auto content = page_content_bytes(doc, id(2));
  ASSERT_TRUE(content.ok());
  EXPECT_EQ(*content.value, "BT (a) Tj\nET");
  EXPECT_FALSE(page_content_bytes(doc, id(1)).ok());  // no Contents
}

TEST(AccessTest, ParentCycleEnds) {
  Document doc;
  put(doc, 1, make_dictionary(dict({{"Parent", make_reference(id(2))}})));
  put(doc, 2, make_dictionary(dict({{"Parent", make_reference(id(1))}})));
  EXPECT_FALSE(page_font_dicts(doc, id(1)).ok());
}

}  // namespace
}  // namespace quirelle
