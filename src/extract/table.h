#pragma once

// Records of table detection. Tables are found from a page's text spans
// alone; these records carry them from the detector to the table report
// and to the page renderer.

#include <cstdint>
#include <string>
#include <vector>

#include "text/span.h"

namespace quirelle {

// Spans sharing one baseline, left to right.
using SpanLine = std::vector<Span>;

// A stretch of one line between wide horizontal gaps: a cell candidate.
struct Segment {
  std::string text;
  float x0 = 0;  // left edge, points
  float x1 = 0;  // right edge, points
};

// One line as the detector holds it.
struct TableRow {
  std::vector<Segment> segments;
  float y = 0;              // baseline of the line's leftmost span; 0 for an empty line
  std::vector<Span> spans;  // the line's spans, owned
};

struct HeaderCell {
  std::string text;
  uint32_t colspan = 1;  // at least 1
};

// A detected table. Every body row and every header row covers the same
// number of columns (at least 2); the body has at least 3 rows. Header rows
// have no columns of their own: they are laid over the body's columns.
struct TableRecord {
  std::vector<std::vector<std::string>> body;
  std::vector<std::vector<HeaderCell>> header_rows;
  float y_top = 0;     // highest baseline of the first body row and the header rows
  float y_bottom = 0;  // baseline of the last body row
  float x_min = 0;     // left edge of the body
  float x_max = 0;     // right edge of the body
};

}  // namespace quirelle
