#pragma once
// Baselines of spans for reading order: superscripts and subscripts borrow
// the baseline of the text they stick to, so they are read with it.

#include <vector>

#include "text/span.h"

namespace quirelle {

// Width a span covers: its advance width, or an estimate of half an em per
// character when the font gave none.
inline constexpr float min_measured_width = 0.1f;  // points, compared with >
inline constexpr float estimated_char_width_em = 0.5f;
float effective_width(const Span& span);
inline float right_edge(const Span& span) { return span.x + effective_width(span); }

// Text smaller than this fraction of the page's average size (compared with
// <) may be a superscript, subscript or footnote.
inline constexpr float small_span_ratio = 0.85f;

// One snapped baseline per span, in the order of `spans`. `average_size` is
// the mean span size of the page, `row_tolerance` its row height tolerance.
std::vector<float> snapped_baselines(const std::vector<Span>& spans, float average_size, float row_tolerance);

}  // namespace quirelle
