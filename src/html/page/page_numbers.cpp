#include <algorithm>

#include "html/page/build_lines.h"
#include "text/unicode.h"

namespace quirelle {
namespace {

// Page numbers sit within 7% of the text's height (compared with >= and <=)
// of its top or bottom line; the height is at least 1 point.
constexpr float page_number_band = 0.07f;
constexpr float min_text_height = 1;
constexpr size_t max_page_number_digits = 4;

bool is_page_number_text(std::string_view text) {
  text = trim_whitespace(text);
  if (text.empty() || text.size() > max_page_number_digits) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<TextLine> remove_page_numbers(std::vector<TextLine> lines) {
  if (lines.empty()) return lines;
  float top = lines[0].y, bottom = lines[0].y;
  for (const TextLine& line : lines) top = std::max(top, line.y), bottom = std::min(bottom, line.y);
  const float band = std::max(top - bottom, min_text_height) * page_number_band;
  std::erase_if(lines, [&](const TextLine& line) {
    return (line.y >= top - band || line.y <= bottom + band) && is_page_number_text(line_text(line));
  });
  return lines;
}

}  // namespace quirelle
