#include <cmath>
#include "text/font_loader.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <string>

#include "document/access.h"
#include "document/page_access.h"
#include "document/stream_filters.h"
#include "text/font_widths.h"
#include "text/glyph_names.h"
#include "text/raw_stream_data.h"
#include "text/type1_encoding.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// FontDescriptor Flags, as bit values (ISO 32000 numbers the bits from 1).
constexpr uint32_t fixed_pitch_flag = 1;       // bit 1
constexpr uint32_t italic_flag = 64;           // bit 7
constexpr uint32_t force_bold_flag = 262144;   // bit 19

constexpr float simple_default_width = 500;  // thousandths of the text-space unit
constexpr float cid_default_width = 1000;    // thousandths, when DW is missing

// A stream's data after its filters, or as stored when a filter fails: some
// producers declare a filter the data was never encoded with.
std::string stream_data(const Document& doc, const Stream& stream) {
  auto decoded = decoded_stream(doc, stream);
  return decoded.ok() ? std::move(*decoded.value) : stream.data;
}

const Stream* stream_by_reference(const Document& doc, const Object* entry) {
  if (!entry || !entry->is(ObjectKind::Reference)) return nullptr;
  return as_stream(object_by_id(doc, std::get<ObjectId>(entry->value)));
}

// ToUnicode streams are indirect objects, so only a reference is honoured.
std::optional<CodeTextMap> load_tounicode(const Document& doc, const Dictionary& font,
                                          std::string_view source) {
  const Object* entry = font.find("ToUnicode");
  if (!entry || !entry->is(ObjectKind::Reference)) return std::nullopt;
  if (const Stream* stream = stream_by_reference(doc, entry)) {
    std::string data = stream_data(doc, *stream);
    if (!data.empty()) return parse_tounicode(data);
  }
  // Damaged files often lose the cross-reference entry of the CMap while the
  // object itself is intact in the file.
  std::string_view raw = raw_stream_data(source, std::get<ObjectId>(entry->value).number);
  if (raw.empty()) return std::nullopt;
  return parse_tounicode(raw);
}

uint32_t clamped_code(int64_t code) {
  return uint32_t(std::clamp<int64_t>(code, 0, std::numeric_limits<uint32_t>::max()));
}

// The Differences of a dictionary Encoding. Named base encodings carry no
// entries: unmapped one-byte codes are read as their own code points.
CodeTextMap differences_encoding(const Document& doc, const Dictionary& font) {
  CodeTextMap out;
  const Dictionary* encoding = dict_entry(doc, font, "Encoding");
  const Array* differences = encoding ? array_entry(doc, *encoding, "Differences") : nullptr;
  if (!differences) return out;
  // Kept wider than a code so that advancing past the last code cannot wrap
  // around onto code 0.
  int64_t code = 0;
  for (const Object& item : differences->items) {
    if (auto name = as_name(&item)) {
      if (auto text = glyph_text(*name); text && code <= std::numeric_limits<uint32_t>::max())
        out[uint32_t(code)] = std::move(*text);
      ++code;
    } else if (auto number = whole_number(&item)) {
      code = clamped_code(*number);
    }
  }
  return out;
}

const Dictionary* first_descendant(const Document& doc, const Dictionary& font) {
  const Array* descendants = array_entry(doc, font, "DescendantFonts");
  if (!descendants || descendants->items.empty()) return nullptr;
  return as_dict(resolve_object(doc, &descendants->items.front()));
}

// Type 3 widths are in the font's own glyph space, which its FontMatrix maps
// to text space; most use 1/1000 like every other font, but a matrix of
// 1/2048 read as 1/1000 would spread every word into separate letters.
void scale_type3_widths(const Document& doc, const Dictionary& font, FontRecord& record) {
  if (as_name(font.find("Subtype")) != "Type3") return;
  const Array* matrix = array_entry(doc, font, "FontMatrix");
  if (!matrix || matrix->items.empty()) return;
  float scale = number_of(resolve_object(doc, &matrix->items[0])) * 1000;
  if (!std::isfinite(scale) || scale <= 0 || scale == 1) return;
  for (auto& [code, width] : record.widths) width *= scale;
}

void load_widths(const Document& doc, const Dictionary& font, FontRecord& record) {
  if (record.two_byte) {
    record.default_width = cid_default_width;
    const Dictionary* cid_font = first_descendant(doc, font);
    if (!cid_font) return;
    if (auto dw = whole_number(cid_font->find("DW"))) record.default_width = float(*dw);
    if (const Array* w = array_entry(doc, *cid_font, "W")) read_cid_widths(*w, record.widths);
    return;
  }
  record.default_width = simple_default_width;
  auto first_char = whole_number(font.find("FirstChar"));
  const Array* widths = array_entry(doc, font, "Widths");
  if (first_char && widths) read_simple_widths(*first_char, *widths, record.widths);
  scale_type3_widths(doc, font, record);
}

// The font's own descriptor; a Type0 font usually has none and borrows its
// descendant's.
const Dictionary* font_descriptor(const Document& doc, const Dictionary& font) {
  if (const Object* entry = font.find("FontDescriptor")) {
    if (const Object* target = resolve_object(doc, entry)) return as_dict(target);
  }
  const Dictionary* cid_font = first_descendant(doc, font);
  return cid_font ? dict_entry(doc, *cid_font, "FontDescriptor") : nullptr;
}

uint32_t descriptor_flags(const Dictionary* descriptor) {
  if (!descriptor) return 0;
  auto flags = whole_number(descriptor->find("Flags"));
  return flags ? uint32_t(uint64_t(*flags)) : 0;  // the low 32 bits
}

// BaseFont as lower-case UTF-8, for the style tests by substring.
std::string lower_case_font_name(const Dictionary& font) {
  auto name = as_name(font.find("BaseFont"));
  if (!name) return {};
  return lower_case(utf8_with_replacement(*name));
}

bool contains_any(std::string_view name, std::initializer_list<std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](std::string_view part) { return name.find(part) != std::string_view::npos; });
}

void set_style(std::string_view name, uint32_t flags, FontRecord& record) {
  record.bold = contains_any(name, {"bold", "black", "heavy", "semibold", "demibold", "-medi",
                                    "medium", "cmbx"}) ||
                (flags & force_bold_flag) != 0;
  record.italic = contains_any(name, {"italic", "oblique"}) || (flags & italic_flag) != 0;
  record.mono = contains_any(name, {"mono", "courier", "consol"}) || (flags & fixed_pitch_flag) != 0;
  // TeX math fonts share the cm prefixes but not the text layout.
  const bool math = contains_any(
      name, {"cmmi", "cmsy", "cmex", "cmbsy", "cmmib", "msam", "msbm", "eufm", "eufb"});
  record.tex_text = !record.two_byte && !record.tounicode && !math &&
                    contains_any(name, {"cmr", "cmbx", "cmss", "cmsl", "cmti", "cmtt", "cmcsc",
                                        "cmdunh", "cmvtt", "cmtex", "cmff", "cmfib", "sfrm", "sfbx",
                                        "sfss", "sftt", "sfsl", "sfti"});
}

}  // namespace

FontRecord load_font(const Document& doc, const Dictionary& font, std::string_view source) {
  FontRecord record;
  auto subtype = as_name(font.find("Subtype"));
  record.two_byte = subtype && *subtype == "Type0";
  record.tounicode = load_tounicode(doc, font, source);
  if (!record.two_byte) record.encoding = differences_encoding(doc, font);
  load_widths(doc, font, record);
  const std::string name = lower_case_font_name(font);
  const Dictionary* descriptor = font_descriptor(doc, font);
  if (!record.two_byte && record.encoding.empty() && descriptor) {
    // Only FontFile holds a Type 1 program; FontFile2 and FontFile3 do not
    // carry a readable built-in encoding.
    if (const Stream* program = stream_by_reference(doc, descriptor->find("FontFile")))
      record.encoding = type1_builtin_encoding(stream_data(doc, *program));
  }
  set_style(name, descriptor_flags(descriptor), record);
  return record;
}

std::shared_ptr<const FontRecord> cached_font(const Document& doc, const Dictionary& font, std::string_view source,
                                              FontCache* cache) {
  if (!cache) return std::make_shared<const FontRecord>(load_font(doc, font, source));
  auto& slot = (*cache)[&font];
  if (!slot) slot = std::make_shared<const FontRecord>(load_font(doc, font, source));
  return slot;
}

PageFontMap load_page_fonts(const Document& doc, ObjectId page, std::string_view source, FontCache* cache) {
  PageFontMap fonts;
  auto dicts = page_font_dicts(doc, page);
  if (!dicts.ok()) return fonts;
  for (const auto& [name, dict] : *dicts.value) fonts.emplace(name, cached_font(doc, *dict, source, cache));
  return fonts;
}

PageFontMap load_resource_fonts(const Document& doc, const Dictionary& resources, std::string_view source,
                                FontCache* cache) {
  PageFontMap fonts;
  const Dictionary* font_dict = dict_entry(doc, resources, "Font");
  if (!font_dict) return fonts;
  for (const auto& [name, value] : font_dict->entries)
    if (const Dictionary* font = as_dict(resolve_object(doc, &value)))
      fonts.emplace(name, cached_font(doc, *font, source, cache));
  return fonts;
}

}  // namespace quirelle
