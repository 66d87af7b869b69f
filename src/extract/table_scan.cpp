// The table detector over one set of spans: rows, wrapped cells, candidate
// bodies with the header lines above them, columns, cells, the tests that
// turn away prose and mathematics, and the header rows with their spans.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unicode/uchar.h>

#include "extract/table_detect.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {

using table_detail::has_finite_geometry;

namespace {

// Mean span size (points) assumed for an empty page.
constexpr float default_mean_size_pt = 10.0f;
// Column tolerance: left edges within this many mean sizes belong to one
// column, and cells reach this far left of their column ...
constexpr float column_tolerance_sizes = 1.5f;
// ... but never less than this, in points.
constexpr float min_column_tolerance_pt = 6.0f;

// A wrapped cell line lies at most this many mean sizes (compared with <=)
// above or below the table row it continues.
constexpr float max_wrap_distance_sizes = 1.8f;

// A table body has at least this many rows (compared with >=).
constexpr size_t min_body_rows = 3;
// Body rows have at least this many segments (compared with >=).
constexpr size_t min_row_segments = 2;

// The header scan stops at a row with this many words or more ...
constexpr size_t max_header_row_words = 9;
// ... at a segment of this many words or more that ends a sentence ...
constexpr size_t sentence_min_words = 6;
// ... and at a vertical gap of this many mean sizes or more.
constexpr float max_header_gap_sizes = 2.2f;

// Plausibility. A cell with this many words or more (compared with >=) is long.
constexpr size_t long_cell_words = 9;
// Average words per non-empty cell above which (compared with >) a table
// of at most two columns reads as prose: 4 words, compared as words > 4 * cells.
constexpr size_t prose_avg_words_two_columns = 4;
// The same for three columns with a nearly empty column: 4.5 words,
// compared as 2 * words > 9 * cells.
constexpr size_t prose_avg_half_words_three_columns = 9;
// A column is nearly empty when empty in at least 4 of 5 body rows
// (compared as empty * 5 >= rows * 4).
constexpr size_t nearly_empty_rows_num = 4;
constexpr size_t nearly_empty_rows_den = 5;
// Justified prose: at least this many non-empty cells, two thirds of them
// long (long * 3 >= cells * 2), and more than 6 words a cell on average.
constexpr size_t prose_min_cells = 6;
constexpr size_t prose_avg_words = 6;
// Alphabetic runs of this many characters or more (compared with >=) are words
// of text rather than symbols or variable names.
constexpr size_t text_word_min_chars = 3;
// A grid of symbols or short names needs at least this many non-empty cells.
constexpr size_t symbol_grid_min_cells = 4;
// Cells with this many ASCII digits or more (compared with >=) are numeric.
constexpr size_t numeric_min_digits = 3;

// A header segment covers a column when it overlaps more than this share of
// the column's width (compared with >).
constexpr float header_cover_share = 0.35f;

// Characters that mark a cell as mathematics: 32 operators and relations
// (ASCII = and +, U+2212 MINUS SIGN, U+2013 EN DASH among them) and 35 Greek letters.
constexpr std::u32string_view math_symbols =
    U"=+\u2212\u2013\u00D7\u00F7\u00B7\u2264\u2265\u2260\u2248\u221D\u222B\u2211\u220F\u221A"
    U"\u2208\u2209\u2202\u2207\u2192\u2190\u2194\u21D2\u21D0\u21A6\u223C\u225C\u2261\u2225\u27E8\u27E9";
constexpr std::u32string_view greek_letters =
    U"\u03B1\u03B2\u03B3\u03B4\u03B5\u03B6\u03B7\u03B8\u03B9\u03BA\u03BB\u03BC\u03BD\u03BE\u03C0\u03C1"
    U"\u03C2\u03C3\u03C4\u03C5\u03D5\u03C6\u03C7\u03C8\u03C9"
    U"\u0393\u0394\u0398\u039B\u039E\u03A0\u03A3\u03A6\u03A8\u03A9";
static_assert(math_symbols.size() == 32 && greek_letters.size() == 35);

bool is_ascii_digit(char32_t c) { return c >= '0' && c <= '9'; }
bool is_ascii_letter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_alphabetic(char32_t c) { return u_isUAlphabetic(UChar32(c)); }

// Index of the value of `sorted` nearest to `x`; the lower one on a tie.
// `sorted` is ascending and not empty.
size_t nearest_index(const std::vector<float>& sorted, float x) {
  const size_t hi = size_t(std::lower_bound(sorted.begin(), sorted.end(), x) - sorted.begin());
  if (hi == 0) return 0;
  if (hi == sorted.size()) return hi - 1;
  return x - sorted[hi - 1] <= sorted[hi] - x ? hi - 1 : hi;
}

void append_piece(std::string& cell, std::string_view piece) {
  if (!cell.empty() && needs_space(cell, piece)) cell += ' ';
  cell += piece;
}

std::vector<TableRow> build_rows(std::span<const Span> spans) {
  std::vector<SpanLine> lines = group_lines(spans);
  std::vector<TableRow> rows;
  rows.reserve(lines.size());
  for (SpanLine& line : lines) {
    TableRow row;
    row.segments = line_segments(line);
    row.y = line.empty() ? 0 : line.front().y;
    row.spans = std::move(line);
    rows.push_back(std::move(row));
  }
  return rows;
}

// Joins each indented single-fragment line to the nearest table row that has
// a segment starting where the fragment starts: a cell whose text wrapped
// onto a line of its own. The row's segments stay as they were; the moved
// text reaches the table through the cells only.
void merge_wrapped_cells(std::vector<TableRow>& rows, float mean, float tol) {
  std::vector<size_t> multi;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].segments.size() >= min_row_segments) multi.push_back(i);
  }
  if (multi.size() < 2) return;
  float left = std::numeric_limits<float>::infinity();
  for (size_t m : multi) {
    for (const Segment& seg : rows[m].segments) left = std::min(left, seg.x0);
  }

  // Multi rows by baseline, so each candidate looks only at the rows within
  // reach instead of at every row of the page.
  std::vector<size_t> by_y = multi;
  std::stable_sort(by_y.begin(), by_y.end(), [&](size_t a, size_t b) { return rows[a].y < rows[b].y; });
  std::vector<float> ys;
  for (size_t m : by_y) ys.push_back(rows[m].y);

  const float reach = max_wrap_distance_sizes * mean;
  std::vector<std::optional<size_t>> target_of(rows.size());
  bool any = false;
  for (size_t r = 0; r < rows.size(); ++r) {
    const TableRow& row = rows[r];
    if (row.segments.size() != 1 || !(row.segments[0].x0 > left + tol)) continue;
    const float x0 = row.segments[0].x0;
    std::optional<size_t> best;
    float best_dy = 0;
    // The window is a little wider than the reach so that rounding in
    // row.y +- reach cannot hide a row; the exact test is on dy below.
    const float window = reach * 1.01f + 1.0f;
    auto it = std::lower_bound(ys.begin(), ys.end(), row.y - window);
    for (size_t k = size_t(it - ys.begin()); k < ys.size() && ys[k] <= row.y + window; ++k) {
      const size_t m = by_y[k];
      const float dy = std::fabs(rows[m].y - row.y);
      if (dy > reach) continue;
      const bool aligned = std::any_of(rows[m].segments.begin(), rows[m].segments.end(),
                                       [&](const Segment& seg) { return std::fabs(seg.x0 - x0) <= tol; });
      if (!aligned) continue;
      if (!best || dy < best_dy || (dy == best_dy && m < *best)) {
        best = m;
        best_dy = dy;
      }
    }
    if (best) {
      target_of[r] = best;
      any = true;
    }
  }
  if (!any) return;

  // Each span keeps the baseline of the line it came from as its sort key:
  // moved lines go above or below the row's own text as a whole, while the
  // words of one line stay in reading order even when their baselines
  // differ a little (superscripts, subscripts).
  std::vector<std::vector<float>> line_y(rows.size());
  for (size_t r = 0; r < rows.size(); ++r) {
    if (!target_of[r]) continue;
    const size_t t = *target_of[r];
    if (line_y[t].empty()) line_y[t].assign(rows[t].spans.size(), rows[t].y);
    for (Span& s : rows[r].spans) {
      rows[t].spans.push_back(std::move(s));
      line_y[t].push_back(rows[r].y);
    }
  }
  std::vector<TableRow> kept;
  kept.reserve(rows.size());
  for (size_t r = 0; r < rows.size(); ++r) {
    if (target_of[r]) continue;
    TableRow& row = rows[r];
    if (!line_y[r].empty()) {
      std::vector<size_t> order(row.spans.size());
      for (size_t i = 0; i < order.size(); ++i) order[i] = i;
      std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (line_y[r][a] != line_y[r][b]) return line_y[r][a] > line_y[r][b];
        return row.spans[a].x < row.spans[b].x;
      });
      std::vector<Span> sorted;
      sorted.reserve(order.size());
      for (size_t i : order) sorted.push_back(std::move(row.spans[i]));
      row.spans = std::move(sorted);
    }
    kept.push_back(std::move(row));
  }
  rows = std::move(kept);
}

// Word counts of the rows, for the header scan.
struct RowWords {
  size_t words = 0;
  bool sentence = false;  // a segment of sentence_min_words or more ending with "."
};

std::vector<RowWords> row_words(const std::vector<TableRow>& rows) {
  std::vector<RowWords> out(rows.size());
  for (size_t r = 0; r < rows.size(); ++r) {
    for (const Segment& seg : rows[r].segments) {
      const size_t n = count_words(seg.text);
      out[r].words += n;
      const std::string_view t = trim_whitespace(seg.text);
      if (n >= sentence_min_words && t.ends_with('.')) out[r].sentence = true;
    }
  }
  return out;
}

// The first row of the header lines above the body that starts at `start`.
// Rows before `fence` hold an earlier table's body and are never taken as
// its header: that would repeat the earlier table inside this one.
size_t header_start(const std::vector<TableRow>& rows, const std::vector<RowWords>& words, size_t start,
                    size_t fence, float mean) {
  size_t k = start;
  while (k > fence) {
    const float gap = rows[k - 1].y - rows[k].y;
    if (gap <= 0) break;
    if (words[k - 1].words >= max_header_row_words) break;
    if (words[k - 1].sentence) break;
    if (gap >= max_header_gap_sizes * mean) break;
    --k;
  }
  return k;
}

// The tests that tell a table from prose or mathematics set out in columns.
bool reads_as_table(const std::vector<std::vector<std::string>>& cells, size_t n_cols) {
  const size_t n_rows = cells.size();
  size_t nonempty = 0, words = 0, long_cells = 0;
  for (const auto& row : cells) {
    for (const std::string& cell : row) {
      const size_t n = count_words(cell);
      if (n == 0) continue;
      ++nonempty;
      words += n;
      if (n >= long_cell_words) ++long_cells;
    }
  }
  if (n_cols <= 2 && words > prose_avg_words_two_columns * nonempty) return false;
  if (n_cols == 3 && 2 * words > prose_avg_half_words_three_columns * nonempty) {
    for (size_t c = 0; c < n_cols; ++c) {
      size_t empty = 0;
      for (const auto& row : cells) empty += trim_whitespace(row[c]).empty();
      if (empty * nearly_empty_rows_den >= n_rows * nearly_empty_rows_num) return false;
    }
  }
  if (nonempty >= prose_min_cells && long_cells * 3 >= nonempty * 2 && words > prose_avg_words * nonempty) {
    return false;
  }

  size_t math = 0, words3 = 0, numeric = 0, alpha = 0;
  bool eqlike = false;
  for (const auto& row : cells) {
    for (const std::string& cell : row) {
      bool has_math = false, has_decimal = false, first_seen = false;
      size_t digits = 0, run = 0;
      char32_t before_prev = 0, prev = 0;
      for (size_t i = 0; i < cell.size();) {
        const char32_t c = next_code_point(cell, i);
        if (math_symbols.find(c) != std::u32string_view::npos || greek_letters.find(c) != std::u32string_view::npos) {
          has_math = true;
        }
        if (c == '=') eqlike = true;
        if (is_ascii_digit(c)) {
          ++digits;
          if (prev == '.' && is_ascii_digit(before_prev)) has_decimal = true;
        }
        if (is_alphabetic(c)) {
          ++run;
        } else {
          if (run >= text_word_min_chars) ++words3;
          run = 0;
        }
        if (!first_seen && !is_unicode_whitespace(c)) {
          first_seen = true;
          if (is_ascii_letter(c) || (c >= 0xAA && is_alphabetic(c))) ++alpha;
        }
        before_prev = prev;
        prev = c;
      }
      if (run >= text_word_min_chars) ++words3;
      if (has_math) ++math;
      if (is_equation_number(cell)) eqlike = true;
      if (has_decimal || digits >= numeric_min_digits) ++numeric;
    }
  }
  if (nonempty > 0 && words3 <= nonempty && (math * 2 >= nonempty || (math > 0 && eqlike))) return false;
  if (nonempty >= symbol_grid_min_cells && numeric == 0 && words3 == 0 && alpha * 2 >= nonempty) return false;
  return true;
}

// A header row laid over the body's columns: each segment takes the columns
// it covers, and a segment that starts inside a column already taken on this
// row joins that cell's text.
std::vector<HeaderCell> header_cells(const TableRow& row, const std::vector<float>& column_x, float hi) {
  const size_t n_cols = column_x.size();
  std::vector<std::optional<HeaderCell>> slots(n_cols);
  std::vector<std::optional<size_t>> owner(n_cols);
  auto column_right = [&](size_t c) { return c + 1 < n_cols ? column_x[c + 1] : hi; };
  for (const Segment& seg : row.segments) {
    const std::string_view t = trim_whitespace(seg.text);
    if (t.empty()) continue;
    std::optional<size_t> first, last;
    // Only columns whose span can meet the segment can be covered; columns
    // are ascending, so start at the last column that begins at or left of x0.
    size_t c = size_t(std::upper_bound(column_x.begin(), column_x.end(), seg.x0) - column_x.begin());
    c = c == 0 ? 0 : c - 1;
    for (; c < n_cols && column_x[c] < seg.x1; ++c) {
      const float left = column_x[c], right = column_right(c);
      const float width = right - left;
      const float overlap = std::min(seg.x1, right) - std::max(seg.x0, left);
      if (width > 0 && overlap > header_cover_share * width) {
        if (!first) first = c;
        last = c;
      }
    }
    size_t start = 0;
    uint32_t colspan = 1;
    if (first) {
      start = *first;
      colspan = uint32_t(*last - *first + 1);
    } else {
      start = nearest_index(column_x, seg.x0);
    }
    if (owner[start]) {
      HeaderCell& cell = *slots[*owner[start]];
      cell.text += ' ';
      cell.text += t;
      continue;
    }
    slots[start] = HeaderCell{std::string(t), colspan};
    for (size_t k = start; k < std::min<size_t>(start + colspan, n_cols); ++k) owner[k] = start;
  }
  std::vector<HeaderCell> cells;
  for (size_t c = 0; c < n_cols;) {
    if (!slots[c]) {
      cells.push_back(HeaderCell{"", 1});
      ++c;
    } else {
      cells.push_back(*slots[c]);
      c += slots[c]->colspan;
    }
  }
  return cells;
}

// The table whose body is rows [start, end) and whose header candidates are
// rows [header_begin, start), or nothing when it is not plausible.
std::optional<TableRecord> build_table(const std::vector<TableRow>& rows, size_t header_begin, size_t start,
                                       size_t end, float tol) {
  const size_t n_rows = end - start;
  std::vector<float> xs;
  for (size_t r = start; r < end; ++r) {
    for (const Segment& seg : rows[r].segments) xs.push_back(seg.x0);
  }
  std::sort(xs.begin(), xs.end());
  if (xs.empty()) return std::nullopt;

  // A cluster is measured from its first edge, so a long ragged run of edges
  // cannot creep across the page as one column.
  std::vector<float> anchors{xs.front()};
  for (float x : xs) {
    if (x > anchors.back() + tol) anchors.push_back(x);
  }
  if (anchors.size() < 2) return std::nullopt;
  std::vector<size_t> votes(anchors.size(), 0);
  for (float x : xs) ++votes[nearest_index(anchors, x)];
  std::vector<float> column_x;
  for (size_t a = 0; a < anchors.size(); ++a) {
    if (votes[a] * 2 >= n_rows) column_x.push_back(anchors[a]);
  }
  const size_t n_cols = column_x.size();
  if (n_cols < 2) return std::nullopt;
  std::vector<size_t> column_of_anchor(anchors.size());
  for (size_t a = 0; a < anchors.size(); ++a) column_of_anchor[a] = nearest_index(column_x, anchors[a]);

  TableRecord table;
  table.body.reserve(n_rows);
  for (size_t r = start; r < end; ++r) {
    std::vector<std::string> cells(n_cols);
    for (const Span& s : rows[r].spans) {
      const std::string_view t = trim_whitespace(s.text);
      if (t.empty()) continue;
      const auto after = std::upper_bound(anchors.begin(), anchors.end(), s.x + tol / 2);
      const size_t a = after == anchors.begin() ? 0 : size_t(after - anchors.begin()) - 1;
      append_piece(cells[column_of_anchor[a]], t);
    }
    table.body.push_back(std::move(cells));
  }
  if (!reads_as_table(table.body, n_cols)) return std::nullopt;

  table.x_min = std::numeric_limits<float>::infinity();
  table.x_max = -std::numeric_limits<float>::infinity();
  for (size_t r = start; r < end; ++r) {
    for (const Segment& seg : rows[r].segments) {
      table.x_min = std::min(table.x_min, seg.x0);
      table.x_max = std::max(table.x_max, seg.x1);
    }
  }

  const float lo = table.x_min - tol / 2, hi = table.x_max + tol / 2;
  table.y_top = rows[start].y;
  for (size_t r = header_begin; r < start; ++r) {
    const TableRow& row = rows[r];
    if (row.segments.empty()) continue;
    float row_x0 = row.segments.front().x0, row_x1 = row.segments.front().x1;
    for (const Segment& seg : row.segments) {
      row_x0 = std::min(row_x0, seg.x0);
      row_x1 = std::max(row_x1, seg.x1);
    }
    if (!(row_x1 >= lo && row_x0 <= hi)) continue;
    table.header_rows.push_back(header_cells(row, column_x, hi));
    table.y_top = std::max(table.y_top, row.y);
  }
  table.y_bottom = rows[end - 1].y;
  return table;
}

}  // namespace

std::vector<TableRecord> scan_tables(std::span<const Span> spans) {
  float size_sum = 0;
  size_t counted = 0;
  for (const Span& s : spans) {
    if (!has_finite_geometry(s)) continue;
    size_sum += s.size;
    ++counted;
  }
  const float mean = counted ? size_sum / float(counted) : default_mean_size_pt;
  const float tol = std::max(column_tolerance_sizes * mean, min_column_tolerance_pt);

  std::vector<TableRow> rows = build_rows(spans);
  merge_wrapped_cells(rows, mean, tol);
  const std::vector<RowWords> words = row_words(rows);

  std::vector<TableRecord> tables;
  size_t fence = 0;  // rows before this belong to the body of a table already found
  for (size_t i = 0; i < rows.size();) {
    if (rows[i].segments.size() < min_row_segments) {
      ++i;
      continue;
    }
    const size_t start = i;
    size_t end = start;
    while (end < rows.size() && rows[end].segments.size() >= min_row_segments) ++end;
    i = end;
    if (end - start < min_body_rows) continue;
    const size_t header_begin = header_start(rows, words, start, fence, mean);
    if (auto table = build_table(rows, header_begin, start, end, tol)) {
      tables.push_back(std::move(*table));
      fence = end;
    }
  }
  return tables;
}

}  // namespace quirelle
