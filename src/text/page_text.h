#pragma once
// Plain text of pages: the engine's own text in reading order, and the
// hybrid rule that falls back to the simple extractor for pages where the
// engine finds next to nothing.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/document.h"
#include "text/font_record.h"

namespace quirelle {

// The engine's own text of one page ("" when it has no spans), no trailing newline.
std::string page_text(const Document& doc, ObjectId page, std::string_view source,
                      FontCache* fonts_seen = nullptr);

// The engine's text, or the fallback extractor's when the engine's has
// fewer than two characters besides surrounding whitespace.
std::string hybrid_page_text(const Document& doc, uint32_t page_number, std::string_view source,
                             FontCache* fonts_seen = nullptr);

// Every page's hybrid text followed by a newline, in page order.
std::string extract_text(const Document& doc, std::string_view source);
// Every page's own text followed by a newline; the fallback is never used.
std::string mine_text(const Document& doc, std::string_view source);

}  // namespace quirelle
