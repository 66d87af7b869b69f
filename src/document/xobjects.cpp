#include "document/xobjects.h"

#include "document/access.h"

namespace quirelle {

XObjectMap xobject_map(const Document& doc, const Dictionary& resources) {
  XObjectMap map;
  const Dictionary* xobjects = dict_entry(doc, resources, "XObject");
  if (!xobjects) return map;
  for (const auto& [name, value] : xobjects->entries)
    if (value.is(ObjectKind::Reference)) map.emplace(name, std::get<ObjectId>(value.value));
  return map;
}

std::optional<DrawnXObject> drawn_xobject(const Document& doc, std::span<const Object> operands,
                                          const XObjectMap& xobjects) {
  if (operands.empty() || xobjects.empty()) return std::nullopt;
  auto name = as_name(&operands[0]);
  if (!name) return std::nullopt;
  auto entry = xobjects.find(*name);
  if (entry == xobjects.end()) return std::nullopt;
  const Stream* stream = as_stream(object_by_id(doc, entry->second));
  if (!stream) return std::nullopt;
  return DrawnXObject{entry->second, stream};
}

}  // namespace quirelle
