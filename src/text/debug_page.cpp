#include "text/debug_page.h"

#include <cstdio>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/page_access.h"
#include "document/stream_filters.h"
#include "text/font_loader.h"
#include "text/tounicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

constexpr size_t sample_characters = 50;
constexpr size_t reported_font_switches = 5;

// The first `n` characters of `utf8`.
std::string_view first_characters(std::string_view utf8, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < utf8.size(); ++k) next_code_point(utf8, i);
  return utf8.substr(0, i);
}

void append_loaded_fonts(std::string& out, const Document& doc, ObjectId page, std::string_view source) {
  PageFontMap fonts = load_page_fonts(doc, page, source);
  out += "fonts=" + std::to_string(fonts.size()) + "\n";
  for (const auto& [name, font] : fonts) {
    out += "  '" + utf8_with_replacement(name) + "': two_byte=" + (font->two_byte ? "true" : "false") +
           " tounicode_len=" + std::to_string(font->tounicode ? long(font->tounicode->size()) : -1L) + "\n";
  }
}

std::string dictionary_text(const Dictionary& dict) {
  std::string out = "<<";
  for (const auto& [key, value] : dict.entries)
    out += "/" + utf8_with_replacement(key) + " " + object_to_pdf_text(value);
  return out + ">>";
}

void append_tounicode_streams(std::string& out, const Document& doc, ObjectId page) {
  auto fonts = page_font_dicts(doc, page);
  if (!fonts.ok()) return;
  for (const auto& [name, font] : *fonts.value) {  // sorted by name
    const Object* entry = font->find("ToUnicode");
    if (!entry || !entry->is(ObjectKind::Reference)) continue;
    ObjectId id = std::get<ObjectId>(entry->value);
    const Stream* stream = as_stream(object_by_id(doc, id));
    if (!stream) continue;
    auto decoded = decoded_stream(doc, *stream);
    std::string_view data = decoded.ok() ? std::string_view(*decoded.value) : std::string_view(stream->data);
    std::string sample = utf8_with_replacement(data);
    out += "  TU '" + utf8_with_replacement(name) + "': ref=(" + std::to_string(id.number) + ", " +
           std::to_string(id.generation) + ") raw=" + std::to_string(stream->data.size()) +
           " dec=" + std::to_string(decoded.ok() ? long(decoded.value->size()) : -1L) +
           " parsed=" + std::to_string(parse_tounicode(data).size()) + " dict=" + dictionary_text(stream->dict) +
           " sample=" + quoted(first_characters(sample, sample_characters)) + "\n";
  }
}

void append_content(std::string& out, const Document& doc, ObjectId page) {
  auto content = page_content_bytes(doc, page);
  if (!content.ok()) {
    out += "content ERR: " + content.error + "\n";
    return;
  }
  Operations ops = decode_operations(*content.value);
  out += "ops=" + std::to_string(ops.ops.size()) + "\n";
  std::string names;
  size_t found = 0;
  for (const auto& op : ops.ops) {
    if (found == reported_font_switches) break;
    if (op.op != "Tf" || op.operand_count == 0) continue;
    auto name = as_name(&ops.operands_of(op)[0]);
    if (!name) continue;
    if (found++) names += ", ";
    names += quoted(utf8_with_replacement(*name));
  }
  out += "Tf_names=[" + names + "]\n";
}

}  // namespace

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[12];
          std::snprintf(buf, sizeof buf, "\\u{%x}", c);
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

std::string debug_page(const Document& doc, ObjectId page, std::string_view source) {
  std::string out;
  append_loaded_fonts(out, doc, page, source);
  append_tounicode_streams(out, doc, page);
  append_content(out, doc, page);
  return out;
}

}  // namespace quirelle
