#include "document/form_visits.h"

#include <algorithm>

namespace quirelle {
namespace {

std::unique_ptr<const DecodedForm> decode_form(const Document& doc, FormVisits& visits, const Stream& stream) {
  auto data = decoded_stream(doc, stream);
  if (!data.ok() || data.value->size() > visits.bytes_left) return nullptr;
  visits.bytes_left -= data.value->size();
  auto form = std::make_unique<DecodedForm>();
  const Array* matrix = array_entry(doc, stream.dict, "Matrix");
  if (matrix && matrix->items.size() >= 6) form->matrix = matrix_of(matrix);
  form->ops = decode_operations(*data.value);
  form->resources = dict_entry(doc, stream.dict, "Resources");
  if (form->resources) form->xobjects = xobject_map(doc, *form->resources);
  return form;
}

}  // namespace

const DecodedForm* enter_form(const Document& doc, FormVisits& visits, ObjectId id, const Stream& form,
                              int depth) {
  if (depth + 1 > max_form_depth) return nullptr;
  const uint64_t key = object_key(id);
  // A form that draws itself, directly or through others, is entered once.
  if (std::find(visits.open.begin(), visits.open.end(), key) != visits.open.end()) return nullptr;
  auto [it, inserted] = visits.decoded.try_emplace(key);
  if (inserted) it->second = decode_form(doc, visits, form);
  const DecodedForm* decoded = it->second.get();
  if (!decoded || decoded->ops.ops.size() > visits.operations_left) return nullptr;
  visits.operations_left -= decoded->ops.ops.size();
  visits.open.push_back(key);
  return decoded;
}

void leave_form(FormVisits& visits) {
  if (!visits.open.empty()) visits.open.pop_back();
}

XObjectMap xobjects_inside(const DecodedForm& form, const XObjectMap& outer) {
  XObjectMap inner = form.xobjects;
  for (const auto& [name, target] : outer) inner.emplace(name, target);
  return inner;
}

}  // namespace quirelle
