#include "html/page/build_lines.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "html/page/baselines.h"
#include "html/page/text_features.h"
#include "text/reading_order.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// Spans turned by this much or more (radians, |angle| compared with >=) are
// rotated text and not part of the page's lines.
constexpr float max_line_angle = 0.01f;
// Rows are this fraction of the average size high (but at least
// min_row_tolerance points), keyed by the raw baseline.
constexpr float row_tolerance_avg = 0.6f;
constexpr float min_row_tolerance = 2;
// Rows whose keys differ by this much or more (compared with >=) differ.
constexpr double row_key_difference = 0.5;
// An accent starts more than 0.2 of its size left of the running right edge
// (compared with <): it was printed back over the previous letter.
constexpr float accent_overlap_em = 0.2f;
// A span smaller than 0.85 of the line's size (compared with <), within 1.5
// line sizes of the running right edge (compared with <), whose baseline is
// raised or lowered by more than 0.08 and less than 0.7 line sizes (both
// strict) is a superscript or subscript.
constexpr float script_size_ratio = 0.85f;
constexpr float script_reach_em = 1.5f;
constexpr float script_min_shift_em = 0.08f;
constexpr float script_max_shift_em = 0.7f;
// A gap wider than max(4 sizes, 36 points) (compared with >) separates two
// columns whose rows happen to share a key.
constexpr float column_gap_em = 4;
constexpr float min_column_gap = 36;
// A gap wider than 0.2 of the span's size (compared with >) is a space.
constexpr float word_gap_em = 0.2f;

// Spacing accents printed over a letter, and the combining marks they become.
char32_t combining_mark_for(char32_t c) {
  switch (c) {
    case 0x0060: case 0x02CB: return 0x0300;                // grave
    case 0x00B4: case 0x02CA: return 0x0301;                // acute
    case 0x02C6: return 0x0302;                             // circumflex
    case 0x007E: case 0x02DC: return 0x0303;                // tilde
    case 0x00AF: case 0x02C9: case 0x203E: return 0x0304;   // macron
    case 0x02D9: return 0x0307;                             // dot above
    case 0x00A8: return 0x0308;                             // diaeresis
    case 0x00B0: case 0x02DA: return 0x030A;                // ring above
    case 0x02C7: return 0x030C;                             // caron
    case 0x002C: return 0x0326;                             // comma below
    case 0x00B8: return 0x0327;                             // cedilla
    default: return 0;
  }
}

// The combining mark for a span of exactly one accent character, or 0.
char32_t accent_of(std::string_view text) {
  if (text.empty()) return 0;
  size_t i = 0;
  const char32_t c = next_code_point(text, i);
  return i == text.size() ? combining_mark_for(c) : 0;
}

double row_key(float y, float tol) { return std::round(double(y) / tol); }  // halves away from zero

// Byte offset where trailing white space starts.
size_t end_of_visible(std::string_view text) {
  const std::string_view visible = trim_whitespace(text);
  return visible.empty() ? 0 : size_t(visible.data() - text.data()) + visible.size();
}

bool is_digit_joiner(char32_t c) { return c == ',' || c == '-' || c == '.' || c == '/' || c == ':' || c == 0x2013; }

// Whether a gap of more than a word space before `next` should become a
// space, given the text the line ends with.
bool space_wanted(float gap, float size, const TextLine& line, std::string_view next) {
  if (!(gap > word_gap_em * size)) return false;
  if (line.runs.empty()) return true;
  std::string_view prev = line.runs.back().text;
  prev = prev.substr(0, end_of_visible(prev));
  if (prev.empty()) return true;
  const char32_t first = first_code_point(next);
  if (first != 0 && first < 0x80 && std::string_view(")]},.;:!?%").find(char(first)) != std::string_view::npos)
    return false;
  const char32_t p = last_code_point(prev);
  if (p == '(' || p == '[' || p == '{') return false;
  if (is_digit_joiner(p) && is_ascii_digit(first)) {
    size_t lead = prev.size() - 1;
    while (lead > 0 && (static_cast<unsigned char>(prev[lead]) & 0xC0) == 0x80) --lead;
    if (is_ascii_digit(last_code_point(prev.substr(0, lead)))) return false;  // 3.14, 1,000, 12:30, 1-2
  }
  return true;
}

std::optional<std::string> link_at(const Span& s, float width, const std::vector<LinkTarget>& links) {
  const float cx = s.x + width / 2, cy = s.y + s.size / 2;
  for (const LinkTarget& link : links)
    if (link.rect[0] <= cx && cx <= link.rect[2] && link.rect[1] <= cy && cy <= link.rect[3]) return link.href;
  return std::nullopt;
}

}  // namespace

std::vector<TextLine> build_lines(const std::vector<Span>& all_spans, const std::vector<LinkTarget>& links) {
  std::vector<Span> spans;
  spans.reserve(all_spans.size());
  for (const Span& s : all_spans)
    if (!(std::fabs(s.angle) >= max_line_angle) && !s.text.empty()) spans.push_back(s);
  if (spans.empty()) return {};

  // A span whose size is not a finite number (overflowing matrices in a
  // broken file) would make every threshold of the page NaN or infinite and
  // merge all its rows; it is left out of the average only.
  double total = 0;
  size_t sized = 0;
  for (const Span& s : spans)
    if (std::isfinite(s.size)) total += s.size, ++sized;
  const float avg = sized ? float(total / double(sized)) : 0.0f;
  const float tol = std::max(row_tolerance_avg * avg, min_row_tolerance);

  const std::vector<float> base = snapped_baselines(spans, avg, tol);
  std::vector<Box> boxes(spans.size());
  for (size_t i = 0; i < spans.size(); ++i)
    boxes[i] = {spans[i].x, right_edge(spans[i]), base[i], base[i] + std::max(spans[i].size, 1.0f)};
  const std::vector<uint32_t> order = reading_order(boxes, std::max(avg, 1.0f));

  std::vector<TextLine> lines;
  float right = 0;      // running right edge of the text placed last
  double line_row = 0;  // row key of the span that started the current line
  for (uint32_t index : order) {
    const Span& s = spans[index];
    const float width = effective_width(s);

    if (is_whitespace_only(s.text)) {
      if (!lines.empty()) {
        std::vector<TextRun>& runs = lines.back().runs;
        if (!runs.empty() && runs.back().text.back() != ' ') runs.back().text += ' ';
        right = s.x + width;
      }
      continue;
    }

    if (!lines.empty() && s.x < right - accent_overlap_em * s.size) {
      if (const char32_t mark = accent_of(s.text)) {
        std::vector<TextRun>& runs = lines.back().runs;
        if (!runs.empty() && !is_whitespace_only(runs.back().text)) {
          // The mark goes on the last letter, before any space that followed it.
          std::string& text = runs.back().text;
          std::string encoded;
          append_utf8(encoded, mark);
          text.insert(end_of_visible(text), encoded);
          right = std::max(right, s.x + width);
          continue;
        }
      }
    }

    int8_t script = 0;
    if (!lines.empty()) {
      const TextLine& line = lines.back();
      if (s.size < script_size_ratio * line.size && std::fabs(s.x - right) < script_reach_em * line.size) {
        const float dy = s.y - line.y;
        const float shift = std::fabs(dy);
        if (shift > script_min_shift_em * line.size && shift < script_max_shift_em * line.size)
          script = dy > 0 ? 1 : -1;
      }
    }

    const double row = row_key(s.y, tol);
    if (script == 0 && (lines.empty() || std::fabs(row - line_row) >= row_key_difference ||
                        s.x - right > std::max(column_gap_em * s.size, min_column_gap))) {
      TextLine line;
      line.y = s.y;
      line.x0 = s.x;
      line.x_end = s.x;
      line.size = s.size;
      lines.push_back(std::move(line));
      line_row = row;
      right = s.x;
    }
    TextLine& line = lines.back();

    const bool space = space_wanted(s.x - right, s.size, line, s.text);
    std::optional<std::string> link = links.empty() ? std::nullopt : link_at(s, width, links);

    const uint64_t chars = count_code_points(s.text);
    line.char_count += chars;
    if (s.mono) line.mono_chars += chars;
    line.x_end = std::max(line.x_end, s.x + width);
    line.size = std::max(line.size, s.size);

    TextRun* last = line.runs.empty() ? nullptr : &line.runs.back();
    if (last && last->bold == s.bold && last->italic == s.italic && last->link == link && last->script == script) {
      if (space && (last->text.empty() || last->text.back() != ' ')) last->text += ' ';
      last->text += s.text;
    } else {
      TextRun run;
      if (space && !line.runs.empty() && script == 0) run.text = " ";
      run.text += s.text;
      run.link = std::move(link);
      run.bold = s.bold;
      run.italic = s.italic;
      run.script = script;
      line.runs.push_back(std::move(run));
    }
    right = s.x + width;
  }

  for (TextLine& line : lines) line.is_mono = line.char_count > 0 && 2 * line.mono_chars >= line.char_count;
  return lines;
}

}  // namespace quirelle
