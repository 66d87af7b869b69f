#pragma once
// Facts about every font resource of every page, read straight from the
// font dictionaries (no font is loaded).

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"

namespace quirelle {

struct FontReportEntry {
  uint32_t page = 0;
  std::string name;       // resource name, UTF-8
  std::string subtype;    // "" when missing or not a name
  std::string base_font;  // "" when missing or not a name
  std::string encoding;   // the Encoding name, or "custom"
  bool embedded = false;  // the descriptor has a font program
  bool has_tounicode = false;
};

// Page order, then resource name order; a font shared by pages is listed
// once per page.
std::vector<FontReportEntry> extract_fonts(const Document& doc);

// The font's descriptor: its own FontDescriptor, or else that of its first
// descendant font (Type0).
const Dictionary* font_descriptor(const Document& doc, const Dictionary& font);

}  // namespace quirelle
