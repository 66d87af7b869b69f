#include <algorithm>
#include <cmath>
#include <numeric>

#include "html/page/headings.h"
#include "html/page/text_features.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// A title line is larger than the body size by more than 0.5 points (>), or
// bold, or all capitals with at least 4 letters; a plain line needs more
// than 3 words (>).
constexpr float title_size_margin = 0.5f;
constexpr size_t min_capital_letters = 4;
constexpr size_t min_plain_title_words = 3;
// Lines of a title differ in size by at most 0.5 points (<=) and lie at most
// 4 sizes below the first (>=) and 0.5 points above it (<=).
constexpr float title_size_tolerance = 0.5f;
constexpr float title_reach_below_em = 4;
constexpr float title_reach_above = 0.5f;
// A title has at least 2 words; one of more than 12 words must not end with a
// full stop and must not be 3/5 or more words starting in lower case.
constexpr size_t min_title_words = 2;
constexpr size_t max_plain_title_words = 12;

bool starts_uncased(std::string_view t) { return !t.empty() && !is_lower_letter(first_code_point(t)); }

bool all_capitals(std::string_view t) {
  size_t letters = 0;
  for (size_t i = 0; i < t.size();) {
    const char32_t c = next_code_point(t, i);
    if (!is_letter(c)) continue;
    if (!is_upper_letter(c)) return false;
    ++letters;
  }
  return letters >= min_capital_letters;
}

bool has_bold_text(const TextLine& line) {
  return std::any_of(line.runs.begin(), line.runs.end(),
                     [](const TextRun& r) { return r.bold && !is_whitespace_only(r.text); });
}

std::vector<std::string_view> split_words(std::string_view text) {
  std::vector<std::string_view> words;
  while (!text.empty()) {
    text = trim_leading_whitespace(text);
    size_t end = 0;
    while (end < text.size()) {
      size_t next = end;
      if (is_unicode_whitespace(next_code_point(text, next))) break;
      end = next;
    }
    if (end == 0) break;
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return words;
}

}  // namespace

bool title_candidate(std::string_view text) {
  return count_words(text) >= 2 && !section_number(text) && !roman_number(text) && !byline(text) &&
         !lower_case(text).starts_with("abstract");
}

std::optional<DocumentTitle> find_title(std::span<const TextLine> lines, float body_size) {
  std::vector<uint32_t> order(lines.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return lines[a].y > lines[b].y; });

  std::vector<std::string> texts(lines.size());
  std::vector<bool> candidate(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    texts[i] = std::string(trim_whitespace(line_text(lines[i])));
    candidate[i] = title_candidate(texts[i]);
  }

  std::vector<uint32_t> candidates;
  for (uint32_t i : order) {
    if (!candidate[i] || !starts_uncased(texts[i])) continue;
    if (has_bold_text(lines[i]) || all_capitals(texts[i]) || lines[i].size > body_size + title_size_margin)
      candidates.push_back(i);
  }
  for (uint32_t i : order)
    if (candidate[i] && starts_uncased(texts[i]) && count_words(texts[i]) > min_plain_title_words)
      candidates.push_back(i);

  for (uint32_t c : candidates) {
    const TextLine& first = lines[c];
    DocumentTitle title;
    std::string joined;
    for (uint32_t i : order) {
      const TextLine& line = lines[i];
      if (std::fabs(line.size - first.size) <= title_size_tolerance &&
          line.y >= first.y - title_reach_below_em * first.size && line.y <= first.y + title_reach_above &&
          candidate[i]) {
        title.line_indices.push_back(i);
        joined += texts[i];
        joined += ' ';
      }
    }
    const std::vector<std::string_view> words = split_words(joined);
    if (words.size() < min_title_words) continue;
    if (words.size() > max_plain_title_words) {
      const size_t lower = size_t(std::count_if(words.begin(), words.end(), [](std::string_view w) {
        return is_lower_letter(first_code_point(w));
      }));
      if (words.back().back() == '.' || 5 * lower >= 3 * words.size()) continue;
    }
    for (std::string_view w : words) {
      if (!title.text.empty()) title.text += ' ';
      title.text += w;
    }
    std::sort(title.line_indices.begin(), title.line_indices.end());
    return title;
  }
  return std::nullopt;
}

}  // namespace quirelle
