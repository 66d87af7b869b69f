#pragma once

// Documents built directly in memory for the text-engine tests: objects are
// made with the object-model constructors, content streams are plain text.

#include <string>
#include <utility>
#include <vector>

#include "document/access.h"
#include "document/document.h"

namespace quirelle::test {

using Entries = std::vector<std::pair<std::string, Object>>;

inline Object dict(Entries entries) { return make_dictionary(Dictionary{std::move(entries)}); }
inline Object array(std::vector<Object> items) { return make_array(std::move(items)); }
inline Object name(std::string bytes) { return make_name(std::move(bytes)); }
inline Object ref(uint32_t number) { return make_reference(ObjectId{number, 0}); }
inline Object stream(Entries entries, std::string data) {
  return make_stream(Dictionary{std::move(entries)}, std::move(data));
}

inline const Dictionary& dict_of(const Object& object) { return *as_dict(&object); }

inline void put(Document& doc, uint32_t number, Object object) {
  doc.objects[object_key(ObjectId{number, 0})] = std::move(object);
}

// Object numbers used by one_page_document.
inline constexpr uint32_t page_object = 1;
inline constexpr uint32_t content_object = 2;
inline constexpr uint32_t font_object = 10;
inline constexpr ObjectId test_page{page_object, 0};

// A simple font without ToUnicode, Widths or descriptor: every glyph is
// 500/1000 em wide and codes read as their own code points.
inline Object plain_font(std::string base_font = "Plain") {
  return dict({{"Type", name("Font")}, {"Subtype", name("Type1")}, {"BaseFont", name(std::move(base_font))}});
}

// One page drawing `content`, with `font` as resource F1 (object 10) and any
// further resource entries (XObject, ...).
inline Document one_page_document(std::string content, Object font = plain_font(),
                                  Entries more_resources = {}) {
  Document doc;
  Entries resources = std::move(more_resources);
  resources.emplace_back("Font", dict({{"F1", ref(font_object)}}));
  put(doc, page_object,
      dict({{"Type", name("Page")}, {"Resources", dict(std::move(resources))}, {"Contents", ref(content_object)}}));
  put(doc, content_object, stream({}, std::move(content)));
  put(doc, font_object, std::move(font));
  doc.pages.push_back(test_page);
  return doc;
}

}  // namespace quirelle::test
