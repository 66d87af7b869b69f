#include <algorithm>
#include <bitset>
#include <map>

#include "html/page/blocks.h"
#include "html/page/list_facts.h"
#include "html/page/text_features.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// A ':' among the first 45 characters marks a label or a definition line.
constexpr size_t colon_reach_chars = 45;
// A numbered list is a run of more than 2 consecutive item numbers (>) among
// the lines from 8 before to 15 after the line.
constexpr size_t numbered_list_before = 8;
constexpr size_t numbered_list_after = 16;  // exclusive
constexpr size_t min_numbered_run = 3;
// A list after a colon is searched from 24 lines before to 23 after.
constexpr size_t colon_list_before = 24;
constexpr size_t colon_list_after = 24;  // exclusive
// A dash or star bullet needs more than 2 words and more than 5 letters
// after it, so "- 5" or "* x" stay text.
constexpr size_t min_dash_item_words = 3;
constexpr size_t min_dash_item_letters = 6;
constexpr int max_item_number = 99;  // two digits

bool is_bullet(char32_t c) {
  return c == 0x2022 || c == 0x2023 || c == 0x25AA || c == 0x25E6 || c == 0x0085 || c == 0x0095;
}

// Bullets that also occur in running text: star, middle dot, en dash, minus.
bool is_dash_bullet(char32_t c) { return c == '*' || c == 0x00B7 || c == 0x2013 || c == 0x2212; }

bool colon_or_bold(const TextLine& line, std::string_view text) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size() && chars < colon_reach_chars; ++chars)
    if (next_code_point(text, i) == ':') return true;
  return std::any_of(line.runs.begin(), line.runs.end(),
                     [](const TextRun& r) { return r.bold && !is_whitespace_only(r.text); });
}

}  // namespace

ListMarker list_marker(std::string_view text) {
  text = trim_leading_whitespace(text);
  if (text.empty()) return ListMarker::none;
  size_t i = 0;
  const char32_t first = next_code_point(text, i);
  if (is_bullet(first)) return ListMarker::bullet;
  if (is_dash_bullet(first) && i < text.size()) {
    size_t j = i;
    if (is_unicode_whitespace(next_code_point(text, j))) {
      const std::string_view rest = text.substr(i);
      if (count_words(rest) >= min_dash_item_words && letter_count(rest) >= min_dash_item_letters)
        return ListMarker::bullet;
    }
  }
  size_t digits = 0;
  while (digits < text.size() && is_ascii_digit(text[digits])) ++digits;
  if (digits < 1 || digits > 2 || digits >= text.size() || (text[digits] != '.' && text[digits] != ')'))
    return ListMarker::none;
  if (digits + 1 < text.size() && is_ascii_digit(text[digits + 1])) return ListMarker::none;
  return ListMarker::numbered;
}

std::optional<int> item_number(std::string_view text) {
  size_t digits = 0;
  while (digits < text.size() && is_ascii_digit(text[digits])) ++digits;
  if (digits < 1 || digits > 2 || digits >= text.size() || (text[digits] != '.' && text[digits] != ')'))
    return std::nullopt;
  if (digits + 1 < text.size() && is_ascii_digit(text[digits + 1])) return std::nullopt;
  int n = 0;
  for (size_t i = 0; i < digits; ++i) n = n * 10 + (text[i] - '0');
  return n;
}

std::vector<ListFacts> list_facts(std::span<const TextLine> lines) {
  std::vector<ListFacts> facts(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string text = line_text(lines[i]);
    const std::string_view trimmed = trim_whitespace(text);
    facts[i] = {item_number(text), colon_or_bold(lines[i], text), !trimmed.empty() && trimmed.back() == ':'};
  }
  return facts;
}

bool in_numbered_list(const std::vector<ListFacts>& facts, size_t i) {
  const auto n = facts[i].number;
  if (!n || facts[i].colon_or_bold) return false;
  std::bitset<max_item_number + 2> present;
  const size_t begin = i >= numbered_list_before ? i - numbered_list_before : 0;
  const size_t end = std::min(facts.size(), i + numbered_list_after);
  for (size_t j = begin; j < end; ++j)
    if (facts[j].number && !facts[j].colon_or_bold) present.set(size_t(*facts[j].number));
  size_t run = 1;
  for (int m = *n - 1; m >= 0 && present.test(size_t(m)); --m) ++run;
  for (int m = *n + 1; m <= max_item_number && present.test(size_t(m)); ++m) ++run;
  return run >= min_numbered_run;
}

bool list_after_colon(const std::vector<ListFacts>& facts, size_t i) {
  const auto n = facts[i].number;
  if (!n) return false;
  if (i > 0 && facts[i - 1].ends_with_colon) return true;
  std::map<int, size_t> first_line;  // item number -> first line carrying it
  const size_t begin = i >= colon_list_before ? i - colon_list_before : 0;
  const size_t end = std::min(facts.size(), i + colon_list_after);
  for (size_t j = begin; j < end; ++j)
    if (facts[j].number) first_line.emplace(*facts[j].number, j);
  for (int s = *n - 1; s >= 0; --s) {
    auto it = first_line.find(s);
    if (it == first_line.end()) break;
    if (it->second > 0 && facts[it->second - 1].ends_with_colon) return true;
  }
  return false;
}

bool in_numbered_list(std::span<const TextLine> lines, size_t i) { return in_numbered_list(list_facts(lines), i); }
bool list_after_colon(std::span<const TextLine> lines, size_t i) { return list_after_colon(list_facts(lines), i); }

}  // namespace quirelle
