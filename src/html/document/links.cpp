#include "html/document/links.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "document/access.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// Name trees are a few levels deep; the bound ends any that are not.
constexpr int max_name_tree_depth = 64;

// Visits (key bytes, value) of the /Dests dictionary, then of the name tree
// under /Names /Dests, in stored order. Cycles in /Kids are cut at nodes
// already visited.
void for_each_named_destination(const Document& doc,
                                const std::function<void(std::string_view, const Object*)>& visit) {
  const Dictionary* catalog = catalog_dict(doc);
  if (!catalog) return;
  if (const Dictionary* dests = dict_entry(doc, *catalog, "Dests"))
    for (const auto& [key, value] : dests->entries) visit(key, &value);
  const Dictionary* names = dict_entry(doc, *catalog, "Names");
  const Dictionary* root = names ? dict_entry(doc, *names, "Dests") : nullptr;
  if (!root) return;
  std::unordered_set<const Dictionary*> seen;
  std::function<void(const Dictionary&, int)> walk = [&](const Dictionary& node, int depth) {
    if (depth > max_name_tree_depth || !seen.insert(&node).second) return;
    if (const Array* kids = array_entry(doc, node, "Kids"))
      for (const auto& kid : kids->items)
        if (kid.is(ObjectKind::Reference))
          if (const Dictionary* child = as_dict(resolve_object(doc, &kid))) walk(*child, depth + 1);
    if (const Array* pairs = array_entry(doc, node, "Names"))
      for (size_t i = 0; i + 1 < pairs->items.size(); i += 2)
        if (auto key = as_string(resolve_object(doc, &pairs->items[i]))) visit(*key, &pairs->items[i + 1]);
  };
  walk(*root, 0);
}

NameMap name_map(const Document& doc, const PageOfObject& pages) {
  NameMap names;
  for_each_named_destination(doc, [&](std::string_view key, const Object* value) {
    if (auto dest = resolve_destination(doc, pages, value)) names[std::string(key)] = dest->page;
  });
  return names;
}

void read_rect(const Document& doc, const Array& rect, float out[4]) {
  float v[4];
  for (int i = 0; i < 4; ++i) v[i] = number_of(resolve_object(doc, &rect.items[size_t(i)]));
  out[0] = std::min(v[0], v[2]), out[1] = std::min(v[1], v[3]);
  out[2] = std::max(v[0], v[2]), out[3] = std::max(v[1], v[3]);
}

// The record of one annotation, or nothing when it is not a usable link.
std::optional<LinkRecord> read_link(const Document& doc, const PageOfObject& pages, const NameMap& names,
                                    const Dictionary& annot) {
  if (as_name(resolved_entry(doc, annot, "Subtype")) != "Link") return std::nullopt;
  const Array* rect = array_entry(doc, annot, "Rect");
  if (!rect || rect->items.size() < 4) return std::nullopt;
  LinkRecord record;
  read_rect(doc, *rect, record.rect);
  LinkDestination target;
  if (const Dictionary* action = dict_entry(doc, annot, "A")) {
    auto kind = as_name(resolved_entry(doc, *action, "S"));
    if (kind == "URI") {
      auto uri = as_string(resolved_entry(doc, *action, "URI"));
      if (!uri) return std::nullopt;
      record.uri = utf8_with_replacement(*uri);
      return record;
    }
    if (kind != "GoTo" && kind != "GoToR") return std::nullopt;
    target = resolve_link_target(doc, pages, names, action->find("D"));
  } else {
    target = resolve_link_target(doc, pages, names, annot.find("Dest"));
  }
  if (!target.dest_page && !target.dest_name) return std::nullopt;
  record.dest_page = target.dest_page;
  record.dest_name = std::move(target.dest_name);
  return record;
}

}  // namespace

PageOfObject page_of_object(const Document& doc) {
  PageOfObject map;
  const auto& pages = page_list(doc);
  for (size_t i = 0; i < pages.size(); ++i) map.emplace(object_key(pages[i]), uint32_t(i + 1));
  return map;
}

std::optional<ResolvedDestination> resolve_destination(const Document& doc, const PageOfObject& pages,
                                                       const Object* destination) {
  const Object* dest = resolve_object(doc, destination);
  if (const Dictionary* d = as_dict(dest)) dest = resolved_entry(doc, *d, "D");
  const Array* array = as_array(dest);
  if (!array || array->items.empty() || !array->items[0].is(ObjectKind::Reference)) return std::nullopt;
  auto page = pages.find(object_key(std::get<ObjectId>(array->items[0].value)));
  if (page == pages.end()) return std::nullopt;
  ResolvedDestination resolved{page->second, std::nullopt};
  if (array->items.size() < 2) return resolved;
  auto fit = as_name(resolve_object(doc, &array->items[1]));
  size_t n = array->items.size();
  if ((fit == "FitBH" || fit == "FitH") && n >= 3)
    resolved.top = number_of(resolve_object(doc, &array->items[2]));
  else if (fit == "XYZ" && n >= 4)
    resolved.top = number_of(resolve_object(doc, &array->items[3]));
  return resolved;
}

LinkDestination resolve_link_target(const Document& doc, const PageOfObject& pages, const NameMap& names,
                                    const Object* target) {
  const Object* t = resolve_object(doc, target);
  LinkDestination out;
  if (as_array(t)) {
    if (auto dest = resolve_destination(doc, pages, t)) out.dest_page = dest->page;
    return out;
  }
  auto bytes = as_name(t);
  if (!bytes) bytes = as_string(t);
  if (!bytes) return out;
  out.dest_name = utf8_with_replacement(*bytes);
  if (auto it = names.find(std::string(*bytes)); it != names.end()) out.dest_page = it->second;
  return out;
}

std::vector<NamedDestination> collect_named_destinations(const Document& doc) {
  PageOfObject pages = page_of_object(doc);
  std::vector<NamedDestination> out;
  for_each_named_destination(doc, [&](std::string_view key, const Object* value) {
    auto dest = resolve_destination(doc, pages, value);
    if (!dest) return;
    out.push_back({utf8_with_replacement(key), dest->top.has_value(), dest->top.value_or(0), dest->page});
  });
  return out;
}

std::vector<LinkRecord> collect_links(const Document& doc) {
  PageOfObject pages = page_of_object(doc);
  NameMap names = name_map(doc, pages);
  std::vector<LinkRecord> out;
  const auto& page_ids = page_list(doc);
  for (size_t i = 0; i < page_ids.size(); ++i) {
    const Dictionary* page = dict_by_id(doc, page_ids[i]);
    const Array* annots = page ? array_entry(doc, *page, "Annots") : nullptr;
    if (!annots) continue;
    for (const auto& item : annots->items) {
      const Dictionary* annot = as_dict(resolve_object(doc, &item));
      if (!annot) continue;
      if (auto record = read_link(doc, pages, names, *annot)) {
        record->page = uint32_t(i + 1);
        out.push_back(std::move(*record));
      }
    }
  }
  return out;
}

std::string sanitize_id(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                c == '_' || c == '-';
    if (keep) {
      out += char(c);
      ++i;
    } else {
      next_code_point(text, i);  // one '-' per character, not per byte
      out += '-';
    }
  }
  return out;
}

std::map<uint32_t, std::vector<LinkTarget>> links_by_page(const std::vector<LinkRecord>& links) {
  std::map<uint32_t, std::vector<LinkTarget>> out;
  for (const auto& link : links) {
    LinkTarget target;
    if (link.uri)
      target.href = *link.uri;
    else if (link.dest_name)
      target.href = "#" + sanitize_id(*link.dest_name);
    else
      target.href = "#page-" + std::to_string(link.dest_page.value_or(0));
    std::copy(link.rect, link.rect + 4, target.rect);
    out[link.page].push_back(std::move(target));
  }
  return out;
}

std::map<uint32_t, std::vector<NamedAnchor>> anchors_by_page(const std::vector<NamedDestination>& named) {
  std::map<uint32_t, std::vector<NamedAnchor>> out;
  for (const auto& d : named) out[d.page].push_back({sanitize_id(d.name), d.top_present, d.top});
  return out;
}

}  // namespace quirelle
