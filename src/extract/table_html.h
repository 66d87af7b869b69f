#pragma once

// Tables in the page HTML: the table markup with its optional caption, the
// attachment of "Table N" captions to the page's tables, and the geometry by
// which the page renderer places a table and drops the text it replaces.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "extract/table.h"
#include "text/reading_order.h"

namespace quirelle {

// The caption of one table, kept by the page renderer while it renders the page.
struct TableCaption {
  std::string number;        // the digits of the caption's number
  std::string caption_html;  // the caption's inline HTML
  bool after = false;        // rendered after the table rather than before it
};

// The table as one line of HTML: header rows as th cells (with colspan when a
// cell covers two or more columns), then the body, its first row as th cells
// when there is no header row. Cell text is trimmed and escaped. With a
// caption, the table gets the id "tab-N" and the caption a div before or after it.
std::string render_table(const TableRecord& table, const std::optional<TableCaption>& caption = std::nullopt);

// Gives a table caption to the table without one whose top baseline is
// nearest to `caption_y` (the earliest on equal distance); `slots` holds one
// caption slot per table. Returns nothing when a slot took the caption, and
// otherwise the caption as a standalone element for the text flow.
std::optional<std::string> attach_table_caption(std::string_view number, std::string_view caption_html,
                                                float caption_y, std::span<const TableRecord> tables,
                                                std::span<std::optional<TableCaption>> slots);

// The table as an element of the page's reading order.
Box table_element_box(const TableRecord& table);

// Whether a text line (baseline `y`, from `x0` to `x_end`) lies in the table's
// band: within `body_size` above the top or below the bottom baseline, and
// overlapping the table horizontally. Such lines are represented by the
// table's cells and leave the text flow.
bool in_table_band(const TableRecord& table, float y, float x0, float x_end, float body_size);
bool in_any_table_band(std::span<const TableRecord> tables, float y, float x0, float x_end, float body_size);

// Whether a box overlaps the table's box on both axes, strictly: vector
// figures that do are drawings of the table itself (rules, shading).
bool overlaps_table_box(const TableRecord& table, float x0, float x1, float bottom, float top);

}  // namespace quirelle
