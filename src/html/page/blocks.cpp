#include "html/page/blocks.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "html/page/headings.h"
#include "html/page/inline_html.h"
#include "html/page/list_facts.h"
#include "html/page/text_features.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// Footnote asides: runs of 2 to 12 consecutive lines smaller than 0.86 of the
// body size (compared with <) whose first line lies in the lower 45% of the
// stretch (compared with <).
constexpr size_t min_aside_lines = 2;
constexpr size_t max_aside_lines = 12;
constexpr float aside_size_ratio = 0.86f;
constexpr float aside_top_fraction = 0.45f;
// A footnote starts with a number of 1 or 2 digits.
constexpr size_t max_footnote_digits = 2;
// Headings of title size become h1 when the title size exceeds 1.25 body
// sizes (>) and the line is at most 0.5 points smaller than it (>=).
constexpr float title_heading_ratio = 1.25f;
constexpr float title_heading_margin = 0.5f;
// A line more than half a body size above its predecessor (compared with <=
// for staying) starts elsewhere, e.g. at the top of the next column.
constexpr float max_rise_em = 0.5f;
// Indented lines start more than max(0.35 body sizes, 2.5 points) right of
// the group's leftmost line (compared with >).
constexpr float indent_em = 0.35f;
constexpr float min_indent = 2.5f;
// A gap larger than 1.25 median line gaps + 0.5 points (compared with <=
// for staying) separates paragraphs.
constexpr float break_gap_factor = 1.25f;
constexpr float break_gap_slack = 0.5f;
// A list item continues on lines starting at most 0.3 body sizes left of it
// (compared with >=) and less than 1.6 body sizes below the previous one (<).
constexpr float item_outdent_em = 0.3f;
constexpr float item_max_drop_em = 1.6f;

bool is_item_bullet(char32_t c) {
  return c == 0x2013 || c == 0x2022 || c == 0x2023 || c == 0x2212 || c == 0x25AA || c == 0x25E6 || c == 0x0085 ||
         c == 0x0095 || c == 0x00B7 || c == '*';
}

// The item's text without its bullet or number.
std::string_view item_text(std::string_view text) {
  text = trim_leading_whitespace(text);
  while (!text.empty()) {
    size_t i = 0;
    if (!is_item_bullet(next_code_point(text, i))) break;
    text.remove_prefix(i);
  }
  text = trim_leading_whitespace(text);
  size_t digits = 0;
  while (digits < text.size() && is_ascii_digit(text[digits])) ++digits;
  if (digits > 0 && digits < text.size() && (text[digits] == '.' || text[digits] == ')'))
    text = trim_leading_whitespace(text.substr(digits + 1));
  return trim_whitespace(text);
}

// Starts a footnote: 1 or 2 digits, then nothing or a word or a quotation.
bool footnote_start(std::string_view rest) {
  if (rest.empty()) return true;
  const char32_t c = first_code_point(rest);
  return is_letter(c) || c == 0x201C || c == '"' || c == '\'';
}

class Assembler {
 public:
  Assembler(std::span<const TextLine> lines, float body, float title, std::string& out)
      : lines_(lines), body_(body), title_(title), out_(out), facts_(list_facts(lines)) {
    for (const TextLine& line : lines) {
      texts_.push_back(line_text(line));
      markers_.push_back(list_marker(texts_.back()));
    }
    headings_.resize(lines.size());
    heading_known_.resize(lines.size());
    aside_.resize(lines.size());
  }

  void run() {
    mark_asides();
    size_t i = 0;
    while (i < lines_.size()) i = block_at(i);
    flush();
  }

 private:
  std::span<const TextLine> lines_;
  float body_, title_;
  std::string& out_;
  std::vector<ListFacts> facts_;
  std::vector<std::string> texts_;
  std::vector<ListMarker> markers_;
  std::vector<std::optional<HeadingMatch>> headings_;
  std::vector<bool> heading_known_;
  std::vector<bool> aside_;
  std::string pending_;  // inline HTML of the paragraph being built

  const std::optional<HeadingMatch>& heading(size_t i) {
    if (!heading_known_[i]) {
      headings_[i] = classify_heading(lines_[i], body_);
      heading_known_[i] = true;
    }
    return headings_[i];
  }
  bool guarded(size_t i) const { return in_numbered_list(facts_, i) || list_after_colon(facts_, i); }
  bool blank(size_t i) const { return is_whitespace_only(texts_[i]); }

  void flush() {
    const std::string_view text = trim_whitespace(pending_);
    if (!text.empty()) out_ += "<p>" + std::string(text) + "</p>";
    pending_.clear();
  }

  // Lines that produce no inline HTML add nothing, not even a space.
  void append_line(std::string_view html) {
    html = trim_whitespace(html);
    if (!html.empty()) append_line_html(pending_, html);
  }

  void mark_asides() {
    if (lines_.size() < 2) return;
    float bottom = lines_[0].y, top = lines_[0].y;
    for (const TextLine& line : lines_) bottom = std::min(bottom, line.y), top = std::max(top, line.y);
    const float split = bottom + (top - bottom) * aside_top_fraction;
    const float small = aside_size_ratio * body_;
    size_t i = 0;
    while (i < lines_.size()) {
      if (blank(i) || !(lines_[i].size < small)) {
        ++i;
        continue;
      }
      size_t end = i + 1;
      while (end < lines_.size() && !blank(end) && lines_[end].size < small) ++end;
      const size_t count = end - i;
      if (count >= min_aside_lines && count <= max_aside_lines && lines_[i].y < split)
        std::fill(aside_.begin() + long(i), aside_.begin() + long(end), true);
      i = end;
    }
  }

  // Handles the block starting at line i; returns the next line to handle.
  size_t block_at(size_t i) {
    if (aside_[i]) return aside_at(i);
    if (!guarded(i)) {
      if (const auto& match = heading(i)) return heading_at(i, *match);
    }
    const std::string& text = texts_[i];
    if (markers_[i] != ListMarker::none && !contains_year(text) && count_initials(text) < 2) return list_at(i);
    if (lines_[i].is_mono && !blank(i)) return code_at(i);
    return group_at(i);
  }

  size_t aside_at(size_t i) {
    flush();
    out_ += "<aside>";
    size_t j = i;
    for (; j < lines_.size() && aside_[j]; ++j) {
      const std::string_view text = trim_leading_whitespace(texts_[j]);
      size_t digits = 0;
      while (digits < text.size() && is_ascii_digit(text[digits])) ++digits;
      const std::string_view rest = trim_leading_whitespace(text.substr(digits));
      if (digits >= 1 && digits <= max_footnote_digits && footnote_start(rest)) {
        flush();
        pending_ = std::string(text.substr(0, digits)) + ". " + escape_html(rest);
      } else {
        append_line(inline_html(lines_[j].runs));
      }
    }
    flush();
    out_ += "</aside>";
    return j;
  }

  size_t heading_at(size_t i, HeadingMatch match) {
    flush();
    const TextLine& line = lines_[i];
    int h = 6;
    if (title_ > title_heading_ratio * body_ && line.size >= title_ - title_heading_margin) h = 1;
    else if (match.level >= -1 && match.level <= 4) h = match.level + 1;
    const size_t k = std::min(match.run_count, line.runs.size());
    const std::span<const TextRun> runs(line.runs);
    out_ += "<h" + std::to_string(h) + ">" + inline_html(runs.first(k)) + "</h" + std::to_string(h) + ">";
    if (k < runs.size()) append_line(inline_html(runs.subspan(k)));  // run-in heading: body text follows
    return i + 1;
  }

  // The first line always belongs to the block: it is monospaced and not a
  // list item, even when its text looks like one but holds a year or initials.
  size_t code_at(size_t i) {
    flush();
    out_ += "<pre><code>";
    size_t j = i;
    do {
      out_ += escape_html(texts_[j]);
      out_ += '\n';
      ++j;
    } while (j < lines_.size() && lines_[j].is_mono && markers_[j] == ListMarker::none);
    out_ += "</code></pre>";
    return j;
  }

  size_t group_at(size_t i) {
    size_t end = i + 1;
    while (end < lines_.size() && !aside_[end] && !lines_[end].is_mono && markers_[end] == ListMarker::none &&
           !heading(end) && lines_[end].y <= lines_[end - 1].y + max_rise_em * body_)
      ++end;
    const std::span<const TextLine> group = lines_.subspan(i, end - i);

    float threshold = std::numeric_limits<float>::infinity();
    bool normal = true;
    if (group.size() > 1) {
      float x_min = group[0].x0;
      for (const TextLine& line : group) x_min = std::min(x_min, line.x0);
      threshold = x_min + std::max(indent_em * body_, min_indent);
      const size_t indented = size_t(std::count_if(group.begin(), group.end(),
                                                   [&](const TextLine& line) { return line.x0 > threshold; }));
      normal = group.size() >= 2 * indented;
    }

    std::vector<float> gaps;
    for (size_t j = 1; j < group.size(); ++j)
      if (const float gap = group[j - 1].y - group[j].y; gap > 0) gaps.push_back(gap);
    std::sort(gaps.begin(), gaps.end());
    const float median = gaps.empty() ? 0 : gaps[gaps.size() / 2];
    const float break_gap = break_gap_factor * median + break_gap_slack;

    // Normal style: an indented line opens a paragraph; hanging style
    // (reference lists): a flush line does.
    auto flush_left = [&](const TextLine& line) { return line.x0 <= threshold; };
    if (!pending_.empty() && flush_left(group[0]) != normal) flush();
    append_line(inline_html(group[0].runs));
    for (size_t j = 1; j < group.size(); ++j) {
      const bool close = median == 0 || group[j - 1].y - group[j].y <= break_gap;
      if (!(close && flush_left(group[j]) == normal)) flush();
      append_line(inline_html(group[j].runs));
    }
    return end;
  }

  size_t list_at(size_t i) {
    flush();
    const std::string tag = markers_[i] == ListMarker::bullet ? "ul" : "ol";
    out_ += "<" + tag + ">";
    size_t j = i;
    while (j < lines_.size()) {
      if (j > i && (markers_[j] == ListMarker::none || (!guarded(j) && heading(j)))) break;
      const TextLine& item = lines_[j];
      std::string text(item_text(texts_[j]));
      size_t prev = j++;
      while (j < lines_.size() && markers_[j] == ListMarker::none && !lines_[j].is_mono && !heading(j) &&
             lines_[j].x0 >= item.x0 - item_outdent_em * body_ &&
             lines_[j].y <= lines_[prev].y + max_rise_em * body_ &&
             lines_[prev].y - lines_[j].y < item_max_drop_em * body_) {
        text += ' ';
        text += trim_whitespace(texts_[j]);
        prev = j++;
      }
      out_ += "<li>" + escape_html(trim_whitespace(text)) + "</li>";
    }
    out_ += "</" + tag + ">";
    return j;
  }
};

}  // namespace

void render_blocks(std::span<const TextLine> lines, float body_size, float title_size, std::string& out) {
  Assembler(lines, body_size, title_size, out).run();
}

}  // namespace quirelle
