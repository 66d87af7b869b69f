#pragma once
// The system's own immutable object model. qpdf's object graph is converted
// into it once at load time, because qpdf may not be used from several
// threads, even for reads; these records may.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quirelle {

struct ObjectId {
  uint32_t number = 0;
  uint16_t generation = 0;
  friend bool operator==(const ObjectId& a, const ObjectId& b) {
    return a.number == b.number && a.generation == b.generation;
  }
};

inline uint64_t object_key(ObjectId id) { return (uint64_t(id.number) << 16) | id.generation; }

enum class ObjectKind : uint8_t {
  Null, Boolean, Integer, Real, Name, String, Array, Dictionary, Stream, Reference
};

struct Object;
struct Array;
struct Dictionary;
struct Stream;

// Name bytes without the leading solidus, #xx escapes already decoded.
struct Name {
  std::string bytes;
};
struct String {
  std::string bytes;
};
struct Null {};

struct Object {
  // The alternatives are listed in ObjectKind order.
  std::variant<Null, bool, int64_t, float, Name, String, std::shared_ptr<const Array>,
               std::shared_ptr<const Dictionary>, std::shared_ptr<const Stream>, ObjectId>
      value;

  ObjectKind kind() const { return ObjectKind(value.index()); }
  bool is(ObjectKind k) const { return kind() == k; }
};

struct Array {
  std::vector<Object> items;
};

// Entries sorted by key bytes, one per key, so lookups are binary searches.
struct Dictionary {
  std::vector<std::pair<std::string, Object>> entries;

  const Object* find(std::string_view key) const;
  bool contains(std::string_view key) const { return find(key) != nullptr; }
};

// Sorts entries and keeps the first of duplicated keys.
void finish_dictionary(Dictionary& dict);

// Stream data is kept as stored in the file: decrypted, still filtered.
struct Stream {
  Dictionary dict;
  std::string data;
};

inline Object make_null() { return Object{Null{}}; }
inline Object make_integer(int64_t v) { return Object{v}; }
inline Object make_real(float v) { return Object{v}; }
inline Object make_name(std::string bytes) { return Object{Name{std::move(bytes)}}; }
inline Object make_string(std::string bytes) { return Object{String{std::move(bytes)}}; }
inline Object make_reference(ObjectId id) { return Object{id}; }
Object make_array(std::vector<Object> items);
Object make_dictionary(Dictionary dict);
Object make_stream(Dictionary dict, std::string data);

// The object in PDF syntax, as a diagnostic writes it.
std::string object_to_pdf_text(const Object& object);

}  // namespace quirelle
