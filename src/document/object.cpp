#include "document/object.h"

#include <algorithm>
#include <cstdio>

namespace quirelle {

const Object* Dictionary::find(std::string_view key) const {
  auto it = std::lower_bound(entries.begin(), entries.end(), key,
                             [](const auto& entry, std::string_view k) { return entry.first < k; });
  if (it == entries.end() || it->first != key) return nullptr;
  return &it->second;
}

void finish_dictionary(Dictionary& dict) {
  auto& e = dict.entries;
  std::stable_sort(e.begin(), e.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  e.erase(std::unique(e.begin(), e.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
          e.end());
}

Object make_array(std::vector<Object> items) {
  return Object{std::make_shared<const Array>(Array{std::move(items)})};
}

Object make_dictionary(Dictionary dict) {
  finish_dictionary(dict);
  return Object{std::make_shared<const Dictionary>(std::move(dict))};
}

Object make_stream(Dictionary dict, std::string data) {
  finish_dictionary(dict);
  return Object{std::make_shared<const Stream>(Stream{std::move(dict), std::move(data)})};
}

namespace {

bool is_regular_name_byte(unsigned char c) {
  return c > 32 && c < 127 && c != '#' && std::string_view("()<>[]{}/%").find(char(c)) == std::string_view::npos;
}

void write_name(std::string& out, std::string_view bytes) {
  out += '/';
  for (unsigned char c : bytes) {
    if (is_regular_name_byte(c)) {
      out += char(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "#%02x", c);
      out += hex;
    }
  }
}

void write_string(std::string& out, std::string_view bytes) {
  bool printable = std::all_of(bytes.begin(), bytes.end(), [](unsigned char c) {
    return (c >= 32 && c < 127) || c == '\n' || c == '\r' || c == '\t';
  });
  if (!printable) {
    out += '<';
    for (unsigned char c : bytes) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", c);
      out += hex;
    }
    out += '>';
    return;
  }
  out += '(';
  for (char c : bytes) {
    switch (c) {
      case '(': out += "\\("; break;
      case ')': out += "\\)"; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  out += ')';
}

void write_real(std::string& out, float v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.6f", double(v));
  std::string_view s(buf);
  // Trim trailing zeros so 12.5 reads as 12.5, and 3.0 as 3.
  while (s.size() > 1 && s.back() == '0') s.remove_suffix(1);
  if (!s.empty() && s.back() == '.') s.remove_suffix(1);
  out += s;
}

void write_object(std::string& out, const Object& o, int depth);

void write_dictionary(std::string& out, const Dictionary& d, int depth) {
  out += "<<";
  for (const auto& [key, value] : d.entries) {
    write_name(out, key);
    out += ' ';
    write_object(out, value, depth + 1);
  }
  out += ">>";
}

void write_object(std::string& out, const Object& o, int depth) {
  if (depth > 32) {
    out += "null";
    return;
  }
  switch (o.kind()) {
    case ObjectKind::Null: out += "null"; break;
    case ObjectKind::Boolean: out += std::get<bool>(o.value) ? "true" : "false"; break;
    case ObjectKind::Integer: out += std::to_string(std::get<int64_t>(o.value)); break;
    case ObjectKind::Real: write_real(out, std::get<float>(o.value)); break;
    case ObjectKind::Name: write_name(out, std::get<Name>(o.value).bytes); break;
    case ObjectKind::String: write_string(out, std::get<String>(o.value).bytes); break;
    case ObjectKind::Array: {
      out += '[';
      bool first = true;
      for (const auto& item : std::get<std::shared_ptr<const Array>>(o.value)->items) {
        if (!first) out += ' ';
        first = false;
        write_object(out, item, depth + 1);
      }
      out += ']';
      break;
    }
    case ObjectKind::Dictionary:
      write_dictionary(out, *std::get<std::shared_ptr<const Dictionary>>(o.value), depth);
      break;
    case ObjectKind::Stream:
      write_dictionary(out, std::get<std::shared_ptr<const Stream>>(o.value)->dict, depth);
      out += " stream";
      break;
    case ObjectKind::Reference: {
      auto id = std::get<ObjectId>(o.value);
      out += std::to_string(id.number) + ' ' + std::to_string(id.generation) + " R";
      break;
    }
  }
}

}  // namespace

std::string object_to_pdf_text(const Object& object) {
  std::string out;
  write_object(out, object, 0);
  return out;
}

}  // namespace quirelle
