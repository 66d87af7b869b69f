// The page-level table detector: finds a two-column layout by its gutter,
// scans each column on its own, and re-detects tables that reach across
// the gutter over the full width of their band of lines.

#include "extract/table_detect.h"
#include "text/unicode.h"

#include <algorithm>
#include <optional>

namespace quirelle {

using table_detail::is_upright_span;
using table_detail::effective_right_edge;

namespace {

// Pages with fewer lines than this (compared with <) are scanned whole.
constexpr size_t min_lines_for_columns = 6;
// Pages at most this wide (points, compared with <=) are scanned whole.
constexpr float min_page_extent_pt = 1;
// The gutter is sought between these shares of the text's width ...
constexpr float gutter_from_share = 0.3f;
constexpr float gutter_to_share = 0.7f;
// ... in steps of this share of the width, but at least this many points ...
constexpr float gutter_step_share = 1.0f / 200;
constexpr float min_gutter_step_pt = 1;
// ... and never at more positions than this, so that coordinates too large
// for the step to move a float still end the search.
constexpr size_t max_gutter_positions = 100;
// A gutter is a position that at least this share of the lines leave free
// (compared with >=).
constexpr float min_gutter_free_share = 0.88f;
// Each column must hold at least this many lines of prose (compared with >=)
// ...
constexpr size_t min_prose_lines = 3;
// ... each wider than this share of the column (compared with >).
constexpr float prose_width_share = 0.5f;
// Words a line of prose has at least (compared with >=).
constexpr size_t prose_min_words = 4;
// Two tables on either side of the gutter belong together when their
// vertical extents overlap by at least this share of the shorter one ...
constexpr float min_band_overlap_share = 0.5f;
// ... measured as at least this many points for flat tables.
constexpr float min_band_height_pt = 1;
// The band re-detected over the full width reaches this many points beyond
// the two tables' baselines (inclusive).
constexpr float band_margin_pt = 2;

bool covers(const Span& s, float t) { return s.x <= t && t <= effective_right_edge(s); }

float height(const TableRecord& t) { return t.y_top - t.y_bottom; }

bool share_band(const TableRecord& l, const TableRecord& r) {
  const float overlap = std::min(l.y_top, r.y_top) - std::max(l.y_bottom, r.y_bottom);
  return overlap >= min_band_overlap_share * std::max(std::min(height(l), height(r)), min_band_height_pt);
}

}  // namespace

std::vector<Span> side_spans(std::span<const Span> spans, float split, Side side) {
  std::vector<Span> out;
  for (const Span& s : spans) {
    const float centre = s.x + std::max(s.width, 0.0f) / 2;
    if ((centre < split) == (side == Side::left)) out.push_back(s);
  }
  return out;
}

size_t count_prose_lines(std::span<const SpanLine> lines, float split, Side side, float min_width) {
  size_t count = 0;
  for (const SpanLine& line : lines) {
    const std::vector<Segment> segments = line_segments(side_spans(line, split, side));
    if (segments.size() != 1) continue;
    const Segment& seg = segments.front();
    if (count_words(seg.text) >= prose_min_words && seg.x1 - seg.x0 > min_width) ++count;
  }
  return count;
}

std::vector<TableRecord> detect_tables(std::span<const Span> spans) {
  std::vector<Span> upright;
  for (const Span& s : spans) {
    if (is_upright_span(s)) upright.push_back(s);
  }
  const std::vector<SpanLine> lines = group_lines(upright);
  if (lines.size() < min_lines_for_columns) return scan_tables(upright);

  float min_x = upright.front().x, max_x = effective_right_edge(upright.front());
  for (const Span& s : upright) {
    min_x = std::min(min_x, s.x);
    max_x = std::max(max_x, effective_right_edge(s));
  }
  const float ext = max_x - min_x;
  if (ext <= min_page_extent_pt) return scan_tables(upright);

  // The gutter: the position left free by the most lines, the leftmost of equals.
  const float from = min_x + gutter_from_share * ext, to = min_x + gutter_to_share * ext;
  const float step = std::max(ext * gutter_step_share, min_gutter_step_pt);
  size_t best = 0;
  float split = from;
  for (size_t i = 0; i < max_gutter_positions; ++i) {
    const float t = from + float(i) * step;
    if (!(t <= to)) break;
    size_t free = 0;
    for (const SpanLine& line : lines) {
      free += std::none_of(line.begin(), line.end(), [&](const Span& s) { return covers(s, t); });
    }
    if (free > best) {
      best = free;
      split = t;
    }
  }

  const bool two_columns =
      float(best) >= min_gutter_free_share * float(lines.size()) &&
      count_prose_lines(lines, split, Side::left, (split - min_x) * prose_width_share) >= min_prose_lines &&
      count_prose_lines(lines, split, Side::right, (max_x - split) * prose_width_share) >= min_prose_lines;
  if (!two_columns) return scan_tables(upright);

  const std::vector<TableRecord> left = scan_tables(side_spans(upright, split, Side::left));
  const std::vector<TableRecord> right = scan_tables(side_spans(upright, split, Side::right));

  std::vector<TableRecord> tables;
  std::vector<bool> matched(right.size(), false);
  for (const TableRecord& l : left) {
    std::optional<size_t> partner;
    for (size_t k = 0; k < right.size() && !partner; ++k) {
      if (!matched[k] && share_band(l, right[k])) partner = k;
    }
    if (!partner) {
      tables.push_back(l);
      continue;
    }
    const TableRecord& r = right[*partner];
    matched[*partner] = true;
    // Both halves of a table cut by the gutter: read the band again across
    // the whole width.
    const float lo = std::min(l.y_bottom, r.y_bottom) - band_margin_pt;
    const float hi = std::max(l.y_top, r.y_top) + band_margin_pt;
    std::vector<Span> band;
    for (const Span& s : upright) {
      if (lo <= s.y && s.y <= hi) band.push_back(s);
    }
    std::vector<TableRecord> joined = scan_tables(band);
    if (joined.empty()) {
      tables.push_back(l);
      tables.push_back(r);
    } else {
      for (TableRecord& t : joined) tables.push_back(std::move(t));
    }
  }
  for (size_t k = 0; k < right.size(); ++k) {
    if (!matched[k]) tables.push_back(right[k]);
  }
  return tables;
}

}  // namespace quirelle
