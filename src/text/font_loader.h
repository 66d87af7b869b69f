#pragma once

// Turning font dictionaries into FontRecords. Loading never fails: whatever
// cannot be read leaves its field at the default.

#include <string_view>

#include "document/document.h"
#include "text/font_record.h"

namespace quirelle {

// `source` is the complete file; only the raw ToUnicode fallback reads it,
// for ToUnicode streams the object table does not hold.
FontRecord load_font(const Document& doc, const Dictionary& font, std::string_view source);

// The fonts of a page, inherited ones included; empty when the page's
// resources cannot be read.
// With a cache, a font dictionary met again is not loaded again.
PageFontMap load_page_fonts(const Document& doc, ObjectId page, std::string_view source,
                            FontCache* cache = nullptr);

// The fonts of a resources dictionary (a Form XObject's).
PageFontMap load_resource_fonts(const Document& doc, const Dictionary& resources, std::string_view source,
                                FontCache* cache = nullptr);

}  // namespace quirelle
