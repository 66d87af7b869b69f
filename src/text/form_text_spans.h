#pragma once

// The form walker: the text inside Form XObjects. The page renderer walks
// the page content with it to follow the CTM into every form drawn with Do;
// the page's own text comes from the page walker (page_spans.h) instead.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/form_visits.h"
#include "document/xobjects.h"
#include "text/font_record.h"
#include "text/span.h"

namespace quirelle {

// Appends to `out` the spans of the text inside the Form XObjects that
// `ops` draw, at any nesting up to max_form_depth; text of `ops` itself is
// emitted only when depth > 0. `fonts` and `xobjects` are the resources of
// `ops`. `ctm` is updated in place by the cm, q and Q of `ops`.
void form_text_spans(const Document& doc, const Operations& ops, const PageFontMap& fonts,
                     const XObjectMap& xobjects, Matrix& ctm, std::string_view source, int depth,
                     std::vector<Span>& out);

}  // namespace quirelle
