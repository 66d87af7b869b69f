#pragma once
// A vector figure as one inline SVG element: its paths in drawing order,
// then its text labels, in coordinates flipped so that y grows downward.

#include <span>
#include <string>

#include "img/figures.h"
#include "text/span.h"

namespace quirelle {

// Margin around the drawing inside the viewBox, in points.
inline constexpr float svg_margin_pt = 4;

// The SVG is as wide, relative to the text column, as the figure is on the
// page, enlarged by this factor, within [min, max] percent.
inline constexpr float svg_width_scale = 150;
inline constexpr float svg_min_width_percent = 10;
inline constexpr float svg_max_width_percent = 100;

// Strokes and fills at least this opaque (compared with <) need no opacity
// attribute.
inline constexpr float svg_opaque_alpha = 0.999f;

// The box a label is taken to cover, for the viewBox: along the baseline
// from the span's start over its advance width (or, when the width is not
// positive, label_char_width_em per character), and across it from
// label_descent_em below the baseline to label_ascent_em above it, both in
// multiples of the size; for rotated text this rectangle is turned by the
// span's angle about its start, and its corners are taken.
inline constexpr float label_char_width_em = 0.5f;
inline constexpr float label_ascent_em = 0.8f;
inline constexpr float label_descent_em = 0.2f;

// The svg element of `figure` with `labels` drawn as text; `page_width` is
// the page's width in points (figure_page_width). Labels with a non-finite
// position, size, width or angle are left out.
std::string figure_svg(const FigureRegion& figure, std::span<const Span> labels, float page_width);

}  // namespace quirelle
