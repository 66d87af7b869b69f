#pragma once

// The page walker: a page's own content stream turned into spans. Form
// XObjects are not entered here (see form_text_spans.h).

#include <string_view>
#include <vector>

#include "document/document.h"
#include "text/font_record.h"
#include "text/span.h"

namespace quirelle {

// The page's spans in content order, duplicates removed. Empty when the
// page's content cannot be read. `source` is the complete file (for the raw
// ToUnicode fallback of the font loader). Callers that walk many pages pass
// one cache so each font is loaded once.
std::vector<Span> page_spans(const Document& doc, ObjectId page, std::string_view source,
                             FontCache* fonts_seen = nullptr);

// Drops every span whose text and position (x and y rounded to the nearest
// integer, halves away from zero) equal those of an earlier span: text drawn
// twice at almost the same place, as for fake bold. Order is kept.
void remove_duplicate_spans(std::vector<Span>& spans);

}  // namespace quirelle
