// Lines and segments for table detection: spans grouped by baseline, each
// line cut where a wide gap separates two cells.

#include <algorithm>
#include <cmath>
#include <string>

#include "extract/table_detect.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {

using table_detail::is_upright_span;

namespace {

// Spans turned by less than this (radians, compared with <) are upright. The
// span reader already stores 0 for every small angle, so this means 0.
constexpr float max_upright_angle_rad = 0.01f;

// Lines: spans whose baseline lies within this many mean span sizes of the
// baseline that opened the line (compared with >, starting a new line) ...
constexpr float line_tolerance_sizes = 0.6f;
// ... but never closer than this, in points.
constexpr float min_line_tolerance_pt = 2.0f;

// A span without a usable width is this many sizes wide per character.
constexpr float fallback_char_width_sizes = 0.5f;
// Widths up to this (points, compared with <=) count as lost.
constexpr float lost_width_pt = 0.1f;
// A gap of at least this many sizes (compared with >=) always starts a new segment.
constexpr float segment_gap_sizes = 1.3f;
// Between two numbers a gap wider than this many sizes (compared with >) is
// enough: number columns are often set only half an em apart.
constexpr float numeric_gap_sizes = 0.45f;

// Effective width of a span whose width is lost, as a share of its size.
constexpr float min_right_edge_sizes = 0.3f;

constexpr std::string_view minus_sign = "\u2212";

bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }

bool starts_with_any(std::string_view text, std::string_view chars) {
  return !text.empty() && chars.find(text.front()) != std::string_view::npos;
}

bool ends_with_any(std::string_view text, std::string_view chars) {
  return !text.empty() && chars.find(text.back()) != std::string_view::npos;
}

// The part of `text` after its last ASCII space.
std::string_view last_word(std::string_view text) {
  const size_t space = text.rfind(' ');
  return space == std::string_view::npos ? text : text.substr(space + 1);
}

}  // namespace

namespace table_detail {

bool has_finite_geometry(const Span& span) {
  return std::isfinite(span.x) && std::isfinite(span.y) && std::isfinite(span.size) && std::isfinite(span.width);
}

bool is_upright_span(const Span& span) {
  return std::fabs(span.angle) < max_upright_angle_rad && has_finite_geometry(span);
}

float effective_right_edge(const Span& span) {
  return span.x + std::max(span.width, min_right_edge_sizes * span.size);
}

}  // namespace table_detail

bool needs_space(std::string_view prev, std::string_view next) {
  if (prev.empty()) return false;
  if (starts_with_any(next, "!%),.:;?]}")) return false;
  if (ends_with_any(prev, "([{")) return false;
  if (ends_with_any(prev, ",-./:") || prev.ends_with(minus_sign)) {
    return next.empty() || !is_ascii_digit(next.front());
  }
  return true;
}

bool is_numeric_token(std::string_view text) {
  const std::string_view t = trim_whitespace(text);
  bool digit = false;
  for (size_t i = 0; i < t.size();) {
    const char32_t cp = next_code_point(t, i);
    if (cp >= '0' && cp <= '9') {
      digit = true;
      continue;
    }
    const bool sign = cp < 0x80 ? std::string_view("()*+,-.%").find(char(cp)) != std::string_view::npos
                                : cp == U'\u00B1' || cp == U'\u2212';
    if (!sign) return false;
  }
  return digit;
}

bool is_equation_number(std::string_view text) {
  const std::string_view t = trim_whitespace(text);
  if (t.size() < 3 || t.front() != '(' || t.back() != ')') return false;
  return std::all_of(t.begin() + 1, t.end() - 1, [](char c) { return is_ascii_digit(c) || c == '.'; });
}

std::vector<SpanLine> group_lines(std::span<const Span> spans) {
  std::vector<Span> kept;
  for (const Span& s : spans) {
    if (is_upright_span(s) && !is_whitespace_only(s.text)) kept.push_back(s);
  }
  if (kept.empty()) return {};

  float size_sum = 0;
  for (const Span& s : kept) size_sum += s.size;
  const float mean = size_sum / float(kept.size());
  const float tol = std::max(line_tolerance_sizes * mean, min_line_tolerance_pt);

  std::stable_sort(kept.begin(), kept.end(), [](const Span& a, const Span& b) { return a.y > b.y; });
  std::vector<SpanLine> lines;
  float reference_y = 0;
  for (Span& s : kept) {
    // The line's reference stays the baseline that opened it, so a slowly
    // drifting baseline cannot chain lines together.
    if (lines.empty() || std::fabs(reference_y - s.y) > tol) {
      lines.emplace_back();
      reference_y = s.y;
    }
    lines.back().push_back(std::move(s));
  }
  for (SpanLine& line : lines) {
    std::stable_sort(line.begin(), line.end(), [](const Span& a, const Span& b) { return a.x < b.x; });
  }
  return lines;
}

std::vector<Segment> line_segments(std::span<const Span> line) {
  std::vector<Segment> segments;
  for (const Span& s : line) {
    const std::string_view t = trim_whitespace(s.text);
    if (t.empty()) continue;
    const float w =
        s.width <= lost_width_pt ? float(count_code_points(t)) * s.size * fallback_char_width_sizes : s.width;
    if (!segments.empty()) {
      Segment& current = segments.back();
      const float gap = s.x - current.x1;
      const bool wide = gap >= segment_gap_sizes * s.size;
      const bool between_numbers = is_numeric_token(t) && is_numeric_token(last_word(current.text)) &&
                                   gap > numeric_gap_sizes * s.size;
      if (!wide && !between_numbers) {
        if (needs_space(current.text, t)) current.text += ' ';
        current.text += t;
        current.x1 = s.x + w;
        continue;
      }
    }
    segments.push_back({std::string(t), s.x, s.x + w});
  }
  return segments;
}

}  // namespace quirelle
