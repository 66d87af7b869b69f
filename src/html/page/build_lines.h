#pragma once
// The line builder: the spans of one page become text lines in reading
// order, each made of runs of one style and one link target.

#include <vector>

#include "html/page/link_target.h"
#include "html/page/text_line.h"
#include "text/span.h"

namespace quirelle {

// Rotated spans (|angle| >= 0.01 radians) and spans with empty text take no
// part. `links` are the page's link targets; a span whose centre lies in a
// target's rectangle links to it.
std::vector<TextLine> build_lines(const std::vector<Span>& spans, const std::vector<LinkTarget>& links);

// Drops lines of 1 to 4 ASCII digits lying in the top or bottom 7% of the
// page's text, keeping the order of the others.
std::vector<TextLine> remove_page_numbers(std::vector<TextLine> lines);

}  // namespace quirelle
