#pragma once
// Link annotations and the destinations they point to: the link report, and
// the per-page link targets and named anchors the HTML conversion uses.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/document.h"
#include "html/page/link_target.h"

namespace quirelle {

struct ResolvedDestination {
  uint32_t page = 0;
  std::optional<float> top;
};

struct NamedDestination {
  std::string name;
  bool top_present = false;
  float top = 0;
  uint32_t page = 0;
};

struct LinkRecord {
  std::optional<std::string> uri;
  std::optional<std::string> dest_name;
  std::optional<uint32_t> dest_page;
  float rect[4] = {0, 0, 0, 0};  // x0 y0 x1 y1, x0 <= x1 and y0 <= y1
  uint32_t page = 0;
};

struct NamedAnchor {
  std::string id;
  bool top_present = false;
  float top = 0;
};

// Page object id (object_key) to page number.
using PageOfObject = std::unordered_map<uint64_t, uint32_t>;
PageOfObject page_of_object(const Document& doc);

std::optional<ResolvedDestination> resolve_destination(const Document& doc, const PageOfObject& pages,
                                                       const Object* destination);

struct LinkDestination {
  std::optional<uint32_t> dest_page;
  std::optional<std::string> dest_name;
};
using NameMap = std::unordered_map<std::string, uint32_t>;  // raw name bytes to page
LinkDestination resolve_link_target(const Document& doc, const PageOfObject& pages, const NameMap& names,
                                    const Object* target);

std::vector<NamedDestination> collect_named_destinations(const Document& doc);
std::vector<LinkRecord> collect_links(const Document& doc);

// Every character but ASCII letters, digits, '.', '_' and '-' becomes '-'.
std::string sanitize_id(std::string_view text);

std::map<uint32_t, std::vector<LinkTarget>> links_by_page(const std::vector<LinkRecord>& links);
std::map<uint32_t, std::vector<NamedAnchor>> anchors_by_page(const std::vector<NamedDestination>& named);

}  // namespace quirelle
