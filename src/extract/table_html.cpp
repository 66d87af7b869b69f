#include "extract/table_html.h"

#include <algorithm>
#include <cmath>

#include "html/page/inline_html.h"
#include "text/unicode.h"

namespace quirelle {
namespace {

// A table narrower than this (points) still takes this width in the reading
// order, so that it never becomes an empty box.
constexpr float min_element_width_pt = 0.1f;

std::string cell_html(std::string_view text) { return escape_html(trim_whitespace(text)); }

}  // namespace

std::string render_table(const TableRecord& table, const std::optional<TableCaption>& caption) {
  std::string html = caption ? "<table id=\"tab-" + caption->number + "\">" : "<table>";
  for (const auto& row : table.header_rows) {
    html += "<tr>";
    for (const HeaderCell& cell : row) {
      if (cell.colspan >= 2) {
        html += "<th colspan=\"" + std::to_string(cell.colspan) + "\">" + cell_html(cell.text) + "</th>";
      } else {
        html += "<th>" + cell_html(cell.text) + "</th>";
      }
    }
    html += "</tr>";
  }
  for (size_t r = 0; r < table.body.size(); ++r) {
    // Without header rows the first body row is taken as the header.
    const char* tag = r == 0 && table.header_rows.empty() ? "th" : "td";
    html += "<tr>";
    for (const std::string& cell : table.body[r]) {
      html += std::string("<") + tag + ">" + cell_html(cell) + "</" + tag + ">";
    }
    html += "</tr>";
  }
  html += "</table>";
  if (!caption) return html;
  const std::string caption_div = "<div>" + caption->caption_html + "</div>";
  return caption->after ? html + caption_div : caption_div + html;
}

std::optional<std::string> attach_table_caption(std::string_view number, std::string_view caption_html,
                                                float caption_y, std::span<const TableRecord> tables,
                                                std::span<std::optional<TableCaption>> slots) {
  std::optional<size_t> best;
  float best_distance = 0;
  for (size_t t = 0; t < tables.size() && t < slots.size(); ++t) {
    if (slots[t]) continue;
    const float distance = std::fabs(tables[t].y_top - caption_y);
    if (!best || distance < best_distance) {
      best = t;
      best_distance = distance;
    }
  }
  if (!best) {
    return "<div id=\"tab-" + std::string(number) + "\">" + std::string(caption_html) + "</div>";
  }
  const TableRecord& table = tables[*best];
  // A caption below the middle of the table is read after it.
  slots[*best] = TableCaption{std::string(number), std::string(caption_html),
                              (table.y_top + table.y_bottom) * 0.5f > caption_y};
  return std::nullopt;
}

Box table_element_box(const TableRecord& table) {
  return Box{table.x_min, std::max(table.x_max, table.x_min + min_element_width_pt), table.y_bottom, table.y_top};
}

bool in_table_band(const TableRecord& table, float y, float x0, float x_end, float body_size) {
  return table.y_bottom - body_size <= y && y <= table.y_top + body_size && x_end > table.x_min &&
         x0 < table.x_max;
}

bool in_any_table_band(std::span<const TableRecord> tables, float y, float x0, float x_end, float body_size) {
  return std::any_of(tables.begin(), tables.end(),
                     [&](const TableRecord& t) { return in_table_band(t, y, x0, x_end, body_size); });
}

bool overlaps_table_box(const TableRecord& table, float x0, float x1, float bottom, float top) {
  return x0 < table.x_max && x1 > table.x_min && bottom < table.y_top && top > table.y_bottom;
}

}  // namespace quirelle
