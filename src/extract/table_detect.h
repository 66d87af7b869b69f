#pragma once

// Table detection from text spans alone (no ruling lines or other vector
// graphics): lines by baseline, segments at wide gaps, runs of multi-segment
// lines as table bodies, columns from aligned left edges, and plausibility
// tests that turn away prose and mathematics laid out like a table.
//
// Everything here is a pure function of its arguments and safe to call from
// any number of threads at once.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "extract/table.h"
#include "text/span.h"

namespace quirelle {

// --- The page-level entry point (table_detect.cpp) ---

// The tables of one page, in the order found. Looks for a two-column layout
// first; when there is one, each column is scanned on its own and tables that
// meet across the gutter are re-detected over the full width of their band.
std::vector<TableRecord> detect_tables(std::span<const Span> spans);

enum class Side { left, right };

// The spans whose centre (x + max(width, 0) / 2) lies on `side` of `split`
// (left: centre < split), in their order.
std::vector<Span> side_spans(std::span<const Span> spans, float split, Side side);

// The lines whose spans on `side` of `split` form exactly one segment of at
// least four words that is wider than `min_width` points: lines of prose
// filling that column.
std::size_t count_prose_lines(std::span<const SpanLine> lines, float split, Side side, float min_width);

// --- The detector over one span set (table_scan.cpp) ---

std::vector<TableRecord> scan_tables(std::span<const Span> spans);

// --- Lines and segments (table_lines.cpp) ---

// Upright spans with visible text, grouped into lines by baseline (top to
// bottom), each line sorted left to right.
std::vector<SpanLine> group_lines(std::span<const Span> spans);

// The line cut at wide gaps; number columns are cut at about half an em.
std::vector<Segment> line_segments(std::span<const Span> line);

// Whether one space goes between two pieces of text being joined; pieces of
// one number (1,000  3.14  1/2  −5) stay together.
bool needs_space(std::string_view prev, std::string_view next);

// Digits with the signs, brackets and separators of numbers in tables.
bool is_numeric_token(std::string_view text);

// A parenthesised equation number such as "(12)" or "(3.1)".
bool is_equation_number(std::string_view text);

// --- Helpers shared by the steps (table_lines.cpp) ---

namespace table_detail {

// |angle| below the detector's limit, and a position, size and width that
// are all finite: spans with NaN or infinite geometry cannot be ordered or
// measured, so the detector never uses them.
bool is_upright_span(const Span& span);
bool has_finite_geometry(const Span& span);


// x + max(width, 0.3 * size): where a span ends even when its width is lost.
float effective_right_edge(const Span& span);

}  // namespace table_detail

}  // namespace quirelle
