#include "img/image_report.h"

#include "document/access.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

std::optional<std::string> color_space_name(const Document& doc, const Dictionary& image) {
  const Object* cs = resolved_entry(doc, image, "ColorSpace");
  if (auto name = as_name(cs)) return utf8_with_replacement(*name);
  if (const Array* array = as_array(cs); array && !array->items.empty())
    if (auto first = as_name(resolve_object(doc, &array->items[0]))) return utf8_with_replacement(*first);
  return std::nullopt;
}

int64_t integer_entry(const Document& doc, const Dictionary& dict, std::string_view key) {
  return as_integer(resolved_entry(doc, dict, key)).value_or(0);
}

}  // namespace

std::string image_format(const Document& doc, const Dictionary& image) {
  bool has[4] = {};
  static constexpr std::string_view by_precedence[4] = {"DCTDecode", "JPXDecode", "CCITTFaxDecode", "JBIG2Decode"};
  auto note = [&](const Object* o) {
    if (auto name = as_name(o))
      for (int k = 0; k < 4; ++k) has[k] |= *name == by_precedence[k];
  };
  const Object* filter = resolved_entry(doc, image, "Filter");
  note(filter);
  if (const Array* filters = as_array(filter))
    for (const auto& f : filters->items) note(resolve_object(doc, &f));
  static constexpr const char* formats[4] = {"jpeg", "jpx", "ccitt", "jbig2"};
  for (int k = 0; k < 4; ++k)
    if (has[k]) return formats[k];
  return "raw";
}

std::vector<ImageReportEntry> extract_images(const Document& doc) {
  std::vector<ImageReportEntry> report;
  const auto& pages = page_list(doc);
  for (size_t i = 0; i < pages.size(); ++i) {
    const Dictionary* page = dict_by_id(doc, pages[i]);
    const Dictionary* resources = page ? dict_entry(doc, *page, "Resources") : nullptr;
    const Dictionary* xobjects = resources ? dict_entry(doc, *resources, "XObject") : nullptr;
    if (!xobjects) continue;
    uint32_t index = 0;
    for (const auto& [name, value] : xobjects->entries) {
      if (!value.is(ObjectKind::Reference)) continue;
      const Stream* stream = as_stream(resolve_object(doc, &value));
      if (!stream || as_name(resolved_entry(doc, stream->dict, "Subtype")) != "Image") continue;
      ImageReportEntry entry;
      entry.page = uint32_t(i + 1);
      entry.index = index++;
      entry.width = integer_entry(doc, stream->dict, "Width");
      entry.height = integer_entry(doc, stream->dict, "Height");
      entry.color_space = color_space_name(doc, stream->dict);
      entry.format = image_format(doc, stream->dict);
      entry.data = stream->data;
      report.push_back(std::move(entry));
    }
  }
  return report;
}

}  // namespace quirelle
