#pragma once
// A loaded document: the object table, the trailer and the page list, all
// immutable after loading and safe to read from any number of threads.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/object.h"
#include "document/outcome.h"

namespace quirelle {

struct Document {
  std::unordered_map<uint64_t, Object> objects;  // keyed by object_key(id)
  Dictionary trailer;
  std::vector<ObjectId> pages;  // page n is pages[n - 1]
};

// Loads a document from the complete file bytes. Recovery of damaged files
// is on; nothing is ever printed. No password is given, so an encrypted file
// opens only when its user password is empty.
Outcome<Document> reader_load(std::string_view bytes);

// Page numbers start at 1; page_list(doc)[n - 1] is page n.
const std::vector<ObjectId>& page_list(const Document& doc);
// The id of page n, or null when n is not a page number of the document.
const ObjectId* page_id(const Document& doc, uint32_t page_number);

// References are followed at most this many times before giving up, which
// also ends reference cycles.
inline constexpr int max_reference_hops = 128;

const Object* object_by_id(const Document& doc, ObjectId id);
const Dictionary* dict_by_id(const Document& doc, ObjectId id);
const Object* dict_lookup(const Dictionary& dict, std::string_view key);
const Object* follow_reference(const Document& doc, const Object& object);
const Dictionary* catalog_dict(const Document& doc);

}  // namespace quirelle
