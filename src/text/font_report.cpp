#include "text/font_report.h"

#include "document/access.h"
#include "document/page_access.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

std::string name_text(const Object* o) {
  auto name = as_name(o);
  return name ? utf8_with_replacement(*name) : std::string();
}

}  // namespace

const Dictionary* font_descriptor(const Document& doc, const Dictionary& font) {
  if (const Dictionary* own = dict_entry(doc, font, "FontDescriptor")) return own;
  const Array* descendants = array_entry(doc, font, "DescendantFonts");
  if (!descendants || descendants->items.empty()) return nullptr;
  const Dictionary* first = as_dict(resolve_object(doc, &descendants->items[0]));
  return first ? dict_entry(doc, *first, "FontDescriptor") : nullptr;
}

std::vector<FontReportEntry> extract_fonts(const Document& doc) {
  std::vector<FontReportEntry> report;
  const auto& pages = page_list(doc);
  for (size_t i = 0; i < pages.size(); ++i) {
    auto fonts = page_font_dicts(doc, pages[i]);
    if (!fonts.ok()) continue;
    for (const auto& [name, font] : *fonts.value) {  // sorted by name
      FontReportEntry entry;
      entry.page = uint32_t(i + 1);
      entry.name = utf8_with_replacement(name);
      entry.subtype = name_text(font->find("Subtype"));
      entry.base_font = name_text(font->find("BaseFont"));
      auto encoding = as_name(font->find("Encoding"));
      entry.encoding = encoding ? utf8_with_replacement(*encoding) : "custom";
      const Dictionary* descriptor = font_descriptor(doc, *font);
      entry.embedded = descriptor && (descriptor->contains("FontFile") || descriptor->contains("FontFile2") ||
                                      descriptor->contains("FontFile3"));
      entry.has_tounicode = font->contains("ToUnicode");
      report.push_back(std::move(entry));
    }
  }
  return report;
}

}  // namespace quirelle
