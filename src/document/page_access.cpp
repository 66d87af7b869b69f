#include "document/page_access.h"

#include <algorithm>
#include <unordered_set>

#include "document/access.h"
#include "document/stream_filters.h"

namespace quirelle {
namespace {

// Page trees are shallow; the bound also ends a Parent cycle.
constexpr int max_page_tree_depth = 64;

// The page dictionary and its ancestors, nearest first.
std::vector<std::pair<ObjectId, const Dictionary*>> page_chain(const Document& doc, ObjectId page) {
  std::vector<std::pair<ObjectId, const Dictionary*>> chain;
  const Dictionary* node = dict_by_id(doc, page);
  ObjectId id = page;
  while (node && int(chain.size()) < max_page_tree_depth) {
    if (std::any_of(chain.begin(), chain.end(), [&](const auto& c) { return c.first == id; })) break;
    chain.emplace_back(id, node);
    const Object* parent = node->find("Parent");
    if (!parent || !parent->is(ObjectKind::Reference)) break;
    id = std::get<ObjectId>(parent->value);
    node = dict_by_id(doc, id);
  }
  return chain;
}

}  // namespace

Outcome<FontDicts> page_font_dicts(const Document& doc, ObjectId page) {
  FontDicts fonts;
  std::unordered_set<std::string_view> seen;
  bool any_resources = false;
  for (auto& [id, node] : page_chain(doc, page)) {
    const Dictionary* resources = dict_entry(doc, *node, "Resources");
    if (!resources) continue;
    any_resources = true;
    const Dictionary* font_dict = dict_entry(doc, *resources, "Font");
    if (!font_dict) continue;
    for (const auto& [name, value] : font_dict->entries) {
      const Dictionary* font = as_dict(resolve_object(doc, &value));
      if (!font) continue;
      if (seen.insert(name).second) fonts.emplace_back(name, font);
    }
  }
  if (!any_resources) return Outcome<FontDicts>::failure("page has no resources");
  std::sort(fonts.begin(), fonts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return Outcome<FontDicts>::success(std::move(fonts));
}

PageResources page_resource_dicts(const Document& doc, ObjectId page) {
  PageResources result;
  auto chain = page_chain(doc, page);
  for (size_t i = 0; i < chain.size(); ++i) {
    const Dictionary* resources = dict_entry(doc, *chain[i].second, "Resources");
    if (!resources) continue;
    if (i == 0)
      result.own = resources;
    else
      result.ancestors_with_resources.push_back(chain[i].first);
  }
  return result;
}

Outcome<std::string> page_content_bytes(const Document& doc, ObjectId page) {
  const Dictionary* page_dict = dict_by_id(doc, page);
  if (!page_dict) return Outcome<std::string>::failure("page object is missing");
  const Object* contents = resolved_entry(doc, *page_dict, "Contents");
  std::vector<const Stream*> streams;
  if (const Stream* s = as_stream(contents)) {
    streams.push_back(s);
  } else if (const Array* parts = as_array(contents)) {
    for (const auto& part : parts->items)
      if (const Stream* s = as_stream(resolve_object(doc, &part))) streams.push_back(s);
  }
  if (streams.empty()) return Outcome<std::string>::failure("page has no content stream");
  std::string content;
  std::string first_error;
  bool any_decoded = false;
  for (const Stream* s : streams) {
    auto decoded = decoded_stream(doc, *s);
    if (!decoded.ok()) {
      if (first_error.empty()) first_error = decoded.error;
      continue;  // one bad part does not hide the others
    }
    if (any_decoded) content += '\n';
    if (content.size() + decoded.value->size() > max_decoded_stream_bytes)
      return Outcome<std::string>::failure(std::string(output_limit_error));
    content += *decoded.value;
    any_decoded = true;
  }
  if (!any_decoded) return Outcome<std::string>::failure(first_error);
  return Outcome<std::string>::success(std::move(content));
}

}  // namespace quirelle
