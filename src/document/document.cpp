#include "document/document.h"

#include "document/access.h"

namespace quirelle {

const std::vector<ObjectId>& page_list(const Document& doc) { return doc.pages; }

const ObjectId* page_id(const Document& doc, uint32_t page_number) {
  if (page_number == 0 || page_number > doc.pages.size()) return nullptr;
  return &doc.pages[page_number - 1];
}

const Object* object_by_id(const Document& doc, ObjectId id) {
  auto it = doc.objects.find(object_key(id));
  if (it == doc.objects.end()) return nullptr;
  return follow_reference(doc, it->second);
}

const Dictionary* dict_by_id(const Document& doc, ObjectId id) {
  const Object* o = object_by_id(doc, id);
  if (const Stream* s = as_stream(o)) return &s->dict;
  return as_dict(o);
}

const Object* dict_lookup(const Dictionary& dict, std::string_view key) { return dict.find(key); }

const Object* follow_reference(const Document& doc, const Object& object) {
  const Object* current = &object;
  for (int hop = 0; current->kind() == ObjectKind::Reference; ++hop) {
    if (hop >= max_reference_hops) return nullptr;
    auto it = doc.objects.find(object_key(std::get<ObjectId>(current->value)));
    if (it == doc.objects.end()) return nullptr;
    current = &it->second;
  }
  return current;
}

const Dictionary* catalog_dict(const Document& doc) { return dict_entry(doc, doc.trailer, "Root"); }

}  // namespace quirelle
