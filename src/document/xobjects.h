#pragma once
// The XObject names a resources dictionary gives, for the content walkers
// that follow Do.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "document/document.h"
#include "document/resource_name_hash.h"

namespace quirelle {

// XObject resource name to the object it names.
using XObjectMap = std::unordered_map<std::string, ObjectId, ResourceNameHash, std::equal_to<>>;

// The XObject entries of a resources dictionary. Streams are always
// indirect, so entries that are not references are skipped.
XObjectMap xobject_map(const Document& doc, const Dictionary& resources);

// The XObject that a Do with `operands` draws, when its name is in
// `xobjects` and names a stream.
struct DrawnXObject {
  ObjectId id;
  const Stream* stream = nullptr;
};
std::optional<DrawnXObject> drawn_xobject(const Document& doc, std::span<const Object> operands,
                                          const XObjectMap& xobjects);

}  // namespace quirelle
