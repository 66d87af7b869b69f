#pragma once
// Vector figures: the painted paths of a page grouped into chart- and
// diagram-sized regions, and the text labels that belong to each.

#include <span>
#include <vector>

#include "document/access.h"
#include "img/vector_path.h"
#include "text/span.h"

namespace quirelle {

// Pages whose content decodes to more operations than this (compared with
// >) get no vector figures: the capture would cost more than it gives.
inline constexpr size_t max_figure_page_operations = 60'000;

// A path wider than frame_min_width_pt and taller than frame_min_height_pt
// (both compared with >) with at most frame_max_segments segments is a
// page frame or background, not part of a figure.
inline constexpr float frame_min_width_pt = 400;
inline constexpr float frame_min_height_pt = 600;
inline constexpr size_t frame_max_segments = 5;

// Going down the page, a path whose top lies more than this below the
// bottom of the current cluster (compared with <) starts a new one.
inline constexpr float cluster_gap_pt = 24;

// A cluster is a figure with at least this many paths and a box at least
// this wide and tall (all compared with >=); fewer paths are rules, boxes
// and underlines.
inline constexpr size_t min_figure_paths = 6;
inline constexpr float min_figure_width_pt = 72;
inline constexpr float min_figure_height_pt = 54;

// Labels whose centre lies within the figure box widened by this on every
// side (compared with <=) are drawn inside the figure: axis labels sit
// just outside the plotted area.
inline constexpr float figure_label_margin_pt = 24;

// Page width used when neither MediaBox nor CropBox gives one greater than
// min_page_box_width_pt (compared with >).
inline constexpr float default_page_width_pt = 612;
inline constexpr float min_page_box_width_pt = 1;

// A group of paths, in drawing order, and its box in page user space.
struct FigureRegion {
  std::vector<VectorPath> paths;
  float top = 0;
  float bottom = 0;
  float left = 0;
  float right = 0;
};

// Numbers `paths` in drawing order, drops page frames, clusters the rest
// from the top of the page down and keeps the clusters big enough to be
// figures, top first.
std::vector<FigureRegion> select_figures(std::vector<VectorPath> paths);

// The spans whose centre (x + width / 2, y + size / 2) lies within the
// figure box widened by figure_label_margin_pt, in their given order.
std::vector<Span> figure_labels(const FigureRegion& figure, std::span<const Span> spans);

// |x1 - x0| of the page's MediaBox, else of its CropBox, else the default.
float figure_page_width(const Document& doc, const Dictionary& page);

}  // namespace quirelle
