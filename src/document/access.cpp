#include "document/access.h"

namespace quirelle {

const Object* resolve_object(const Document& doc, const Object* object) {
  if (!object || object->kind() != ObjectKind::Reference) return object;
  const Object* target = object_by_id(doc, std::get<ObjectId>(object->value));
  return target ? follow_reference(doc, *target) : nullptr;
}

const Dictionary* as_dict(const Object* o) {
  if (!o || o->kind() != ObjectKind::Dictionary) return nullptr;
  return std::get<std::shared_ptr<const Dictionary>>(o->value).get();
}

const Array* as_array(const Object* o) {
  if (!o || o->kind() != ObjectKind::Array) return nullptr;
  return std::get<std::shared_ptr<const Array>>(o->value).get();
}

const Stream* as_stream(const Object* o) {
  if (!o || o->kind() != ObjectKind::Stream) return nullptr;
  return std::get<std::shared_ptr<const Stream>>(o->value).get();
}

std::optional<std::string_view> as_name(const Object* o) {
  if (!o || o->kind() != ObjectKind::Name) return std::nullopt;
  return std::string_view(std::get<Name>(o->value).bytes);
}

std::optional<std::string_view> as_string(const Object* o) {
  if (!o || o->kind() != ObjectKind::String) return std::nullopt;
  return std::string_view(std::get<String>(o->value).bytes);
}

std::optional<int64_t> as_integer(const Object* o) {
  if (!o || o->kind() != ObjectKind::Integer) return std::nullopt;
  return std::get<int64_t>(o->value);
}

float number_of(const Object* o) {
  if (!o) return 0;
  if (o->kind() == ObjectKind::Integer) return float(std::get<int64_t>(o->value));
  if (o->kind() == ObjectKind::Real) return std::get<float>(o->value);
  return 0;
}

bool is_number(const Object* o) {
  return o && (o->kind() == ObjectKind::Integer || o->kind() == ObjectKind::Real);
}

Matrix matrix_of(const Array* array) {
  Matrix m{0, 0, 0, 0, 0, 0};
  if (!array) return m;
  for (size_t i = 0; i < 6 && i < array->items.size(); ++i) m[i] = number_of(&array->items[i]);
  return m;
}

Matrix concat_matrix(const Matrix& m, const Matrix& n) {
  return {m[0] * n[0] + m[1] * n[2],        m[0] * n[1] + m[1] * n[3],
          m[2] * n[0] + m[3] * n[2],        m[2] * n[1] + m[3] * n[3],
          m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
}

const Object* resolved_entry(const Document& doc, const Dictionary& dict, std::string_view key) {
  return resolve_object(doc, dict.find(key));
}

const Dictionary* dict_entry(const Document& doc, const Dictionary& dict, std::string_view key) {
  return as_dict(resolved_entry(doc, dict, key));
}

const Array* array_entry(const Document& doc, const Dictionary& dict, std::string_view key) {
  return as_array(resolved_entry(doc, dict, key));
}

}  // namespace quirelle
