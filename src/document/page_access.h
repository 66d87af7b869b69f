#pragma once
// What a page draws with: its resources (inherited through the page tree)
// and its content bytes.

#include <string>
#include <utility>
#include <vector>

#include "document/document.h"

namespace quirelle {

// Font resource name to font dictionary, sorted by name. The page's own
// Resources come first, then its ancestors'; the first definition of a name
// wins. Fails when neither the page nor an ancestor has usable Resources.
using FontDicts = std::vector<std::pair<std::string, const Dictionary*>>;
Outcome<FontDicts> page_font_dicts(const Document& doc, ObjectId page);

struct PageResources {
  const Dictionary* own = nullptr;            // the page's own Resources, if any
  std::vector<ObjectId> ancestors_with_resources;  // nearest first
};
PageResources page_resource_dicts(const Document& doc, ObjectId page);

// Every stream of Contents decoded and joined in order, a line feed between
// two streams (a token never spans two streams, so this changes nothing but
// keeps the last token of one from running into the first of the next).
Outcome<std::string> page_content_bytes(const Document& doc, ObjectId page);

}  // namespace quirelle
