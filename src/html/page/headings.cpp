#include "html/page/headings.h"

#include <algorithm>
#include <array>

#include "html/page/text_features.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// Headings have fewer than 13 words (compared with <).
constexpr size_t max_heading_words = 13;
// A numbered heading is at least 0.92 of the body size (compared with >=)
// and its name has more than 2 letters.
constexpr float numbered_min_ratio = 0.92f;
constexpr size_t numbered_min_name_letters = 2;
// A section keyword stands alone or with one more word (compared with <=).
constexpr size_t max_keyword_words = 2;
// Appendix headings: at most 16 words (<=); when the text after the label has
// more than 6 words (>) and reads like a sentence, only the label is heading.
constexpr size_t max_appendix_words = 16;
constexpr size_t max_appendix_tail_words = 6;
// Size-based headings: at least 1.18 of the body size (>=); level 1 from 1.5,
// level 2 from 1.2 (both >=).
constexpr float heading_min_ratio = 1.18f;
constexpr float level1_min_ratio = 1.5f;
constexpr float level2_min_ratio = 1.2f;
// A bold run-in heading has 2 to 8 words (inclusive), or ends with ':' or '.'
// and has at least 2 letters.
constexpr size_t min_run_in_words = 2;
constexpr size_t max_run_in_words = 8;
constexpr size_t min_run_in_letters = 2;
// Roman section numbers have 1 to 5 numerals.
constexpr size_t max_roman_numerals = 5;
// Body sizes below 1 point are taken as 1.
constexpr float min_body_size = 1;

constexpr std::array<std::string_view, 8> section_keywords = {
    "abstract",     "appendix",     "references",      "conclusion",
    "conclusions",  "introduction", "acknowledgments", "acknowledgements"};

// Words that label numbered statements, figures and tables, not sections.
constexpr std::array<std::string_view, 34> label_words = {
    "theorem",   "lemma",    "definition", "denition",   "corollary",   "proposition", "remark",
    "example",   "proof",    "claim",      "question",   "questions",   "notation",    "conjecture",
    "observation", "fact",   "case",       "step",       "assumption",  "assumptions", "algorithm",
    "problem",   "require",  "input",      "output",     "hypothesis",  "property",    "figure",
    "fig",       "table",    "tab",        "listing",    "equation",    "eq"};

constexpr std::array<char32_t, 12> relation_symbols = {'=',    0x2190, 0x2192, 0x2208, 0x2211, 0x221D,
                                                       0x2248, 0x2261, 0x2264, 0x2265, 0x226A, 0x226B};

template <size_t N>
bool listed(const std::array<std::string_view, N>& list, std::string_view word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

bool ends_with_any(std::string_view text, std::string_view chars) {
  return !text.empty() && chars.find(text.back()) != std::string_view::npos;
}

bool is_blank_run(const TextRun& run) { return is_whitespace_only(run.text); }

// Text after the first white-space character.
std::string_view after_first_space(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    if (is_unicode_whitespace(next_code_point(text, i))) return text.substr(i);
  }
  return {};
}

// The letters `text` starts with.
std::string_view leading_letters(std::string_view text) {
  size_t end = 0;
  while (end < text.size()) {
    size_t next = end;
    if (!is_letter(next_code_point(text, next))) break;
    end = next;
  }
  return text.substr(0, end);
}

// White space, then a letter.
bool space_then_letter(std::string_view text) {
  const std::string_view rest = trim_leading_whitespace(text);
  return rest.size() < text.size() && is_letter(first_code_point(rest));
}

size_t count_formula_words(std::string_view t) {
  size_t words = 0, ascii_letters = 0;
  bool in_word = false;
  for (size_t i = 0; i < t.size();) {
    const char32_t c = next_code_point(t, i);
    if (is_unicode_whitespace(c)) {
      if (in_word && ascii_letters >= 2) ++words;
      in_word = false;
      ascii_letters = 0;
    } else {
      in_word = true;
      ascii_letters += is_ascii_letter(c);
    }
  }
  return words + (in_word && ascii_letters >= 2);
}

bool contains_relation(std::string_view t) {
  for (size_t i = 0; i < t.size();) {
    const char32_t c = next_code_point(t, i);
    if (std::find(relation_symbols.begin(), relation_symbols.end(), c) != relation_symbols.end()) return true;
  }
  return false;
}

// Text of runs [0, count), concatenated.
std::string runs_text(const TextLine& line, size_t count) {
  std::string text;
  for (size_t i = 0; i < count && i < line.runs.size(); ++i) text += line.runs[i].text;
  return text;
}

// Rule for numbered headings ("2.1 Data", "IV. Results"), including bold
// numbered run-in headings. Returns no value when the rule does not decide;
// `absent` is set when it decides against a heading.
std::optional<HeadingMatch> numbered_heading(const TextLine& line, std::string_view t, float ratio, bool& absent) {
  if (count_words(t) >= max_heading_words || byline(t)) return std::nullopt;
  std::optional<int> level = section_number(t);
  if (!level && roman_number(t)) level = 1;
  if (!level) return std::nullopt;
  // Extra spaces between number and name do not hide the name.
  const std::string_view rest = trim_leading_whitespace(after_first_space(t));
  if (!(ratio >= numbered_min_ratio) || !is_upper_letter(first_code_point(rest)) ||
      letter_count(rest) <= numbered_min_name_letters)
    return std::nullopt;

  const auto& runs = line.runs;
  auto first_bold = std::find_if(runs.begin(), runs.end(), [](const TextRun& r) { return r.bold && !is_blank_run(r); });
  if (first_bold != runs.end()) {
    auto plain = std::find_if(first_bold + 1, runs.end(), [](const TextRun& r) { return !r.bold && !is_blank_run(r); });
    if (plain != runs.end()) {
      const size_t i = size_t(plain - runs.begin());
      const std::string head = runs_text(line, i);
      if (ends_with_any(trim_whitespace(head), ".:")) return HeadingMatch{*level, i};
    }
  }
  if (t.front() == '0') {  // 0.5 Mpc. The galaxy ... is a sentence
    for (size_t p = rest.find(". "); p != std::string_view::npos; p = rest.find(". ", p + 1))
      if (is_upper_letter(first_code_point(rest.substr(p + 2)))) {
        absent = true;
        return std::nullopt;
      }
  }
  return HeadingMatch{*level, runs.size()};
}

bool is_keyword_heading(std::string_view t) {
  if (count_words(t) > max_keyword_words) return false;
  std::string lower = lower_case(t);
  std::string_view key = lower;
  while (!key.empty()) {
    const char32_t c = last_code_point(key);
    if (c != '.' && c != ':' && c != 0x2014 && c != '-' && !is_unicode_whitespace(c)) break;
    std::string encoded;
    append_utf8(encoded, c);
    key.remove_suffix(encoded.size());
  }
  return listed(section_keywords, key);
}

bool is_sentence_word(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    size_t start = i;
    while (start < text.size()) {
      size_t next = start;
      if (!is_unicode_whitespace(next_code_point(text, next))) break;
      start = next;
    }
    size_t end = start;
    while (end < text.size()) {
      size_t next = end;
      if (is_unicode_whitespace(next_code_point(text, next))) break;
      end = next;
    }
    const std::string_view word = text.substr(start, end - start);
    if (word == "is" || word == "are" || word == "was" || word == "were") return true;
    i = end;
  }
  return false;
}

// "Appendix A", "Appendix B: Proofs", "Appendix C. The model is ..." (the
// sentence becomes body text).
// `t` is the trimmed `text` of the line, a view into it.
std::optional<HeadingMatch> appendix_heading(const TextLine& line, std::string_view text, std::string_view t) {
  constexpr std::string_view word = "appendix ";
  if (t.size() <= word.size() - 1 || count_words(t) > max_appendix_words) return std::nullopt;
  for (size_t i = 0; i < word.size(); ++i) {
    const char c = t[i] >= 'A' && t[i] <= 'Z' ? char(t[i] - 'A' + 'a') : t[i];
    if (c != word[i]) return std::nullopt;
  }
  const std::string_view after = trim_leading_whitespace(t.substr(word.size()));
  // The label ends at white space, or where a title introduced by ':', '.'
  // or an em dash starts ("Appendix B: Proofs").
  size_t label_size = 0;
  while (label_size < after.size()) {
    size_t next = label_size;
    const char32_t c = next_code_point(after, next);
    if (is_unicode_whitespace(c) || c == ':' || c == '.' || c == 0x2014) break;
    label_size = next;
  }
  const std::string_view label = after.substr(0, label_size);
  if (label.empty()) return std::nullopt;
  for (size_t i = 0; i < label.size();) {
    const char32_t c = next_code_point(label, i);
    if (!is_letter(c) && !is_ascii_digit(c)) return std::nullopt;
  }
  const std::string_view tail = trim_leading_whitespace(after.substr(label_size));
  const char32_t lead = first_code_point(tail);
  if (!(tail.empty() || lead == ':' || lead == '.' || lead == 0x2014 || is_upper_letter(lead))) return std::nullopt;

  const size_t all = line.runs.size();
  const bool sentence = count_words(tail) > max_appendix_tail_words &&
                        (tail.find(',') != std::string_view::npos || is_sentence_word(tail));
  if (!sentence) return HeadingMatch{1, all};
  // Where the label ends in the untrimmed line text.
  const size_t offset = size_t(label.data() + label.size() - text.data());
  size_t total = 0;
  for (size_t k = 0; k < all; ++k) {
    total += line.runs[k].text.size();
    if (total >= offset) return HeadingMatch{1, k + 1};
  }
  return HeadingMatch{1, all};
}

}  // namespace

std::optional<int> section_number(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && is_ascii_digit(text[i])) {
    while (i < text.size() && is_ascii_digit(text[i])) ++i;
  } else if (i < text.size() && is_ascii_upper(text[i]) && !(i + 1 < text.size() && is_ascii_letter(text[i + 1]))) {
    ++i;
  } else {
    return std::nullopt;
  }
  int components = 1;
  while (i + 1 < text.size() && text[i] == '.' && is_ascii_digit(text[i + 1])) {
    ++i;
    while (i < text.size() && is_ascii_digit(text[i])) ++i;
    ++components;
  }
  if (i < text.size() && text[i] == '.') ++i;
  if (!space_then_letter(text.substr(i))) return std::nullopt;
  return std::min(components, 3);
}

bool roman_number(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && std::string_view("CDILMVX").find(text[n]) != std::string_view::npos) ++n;
  if (n == 0 || n > max_roman_numerals || n >= text.size() || text[n] != '.') return false;
  return space_then_letter(text.substr(n + 1));
}

bool byline(std::string_view text) {
  if (text.find(',') != std::string_view::npos || (!text.empty() && text.back() == '.') || contains_year(text))
    return true;
  for (size_t p = text.find(' '); p != std::string_view::npos; p = text.find(' ', p + 1)) {
    if (p + 2 < text.size() && is_ascii_upper(text[p + 1]) && text[p + 2] == '.' &&
        !trim_whitespace(text.substr(0, p)).empty())
      return true;
  }
  return false;
}

std::optional<HeadingMatch> classify_heading(const TextLine& line, float body_size) {
  const float ratio = line.size / std::max(body_size, min_body_size);
  const std::string text = line_text(line);
  const std::string_view t = trim_whitespace(text);
  if (t.empty()) return std::nullopt;

  bool any_run = false, all_bold = true, first_bold = false;
  for (const TextRun& run : line.runs) {
    if (is_blank_run(run)) continue;
    if (!any_run) first_bold = run.bold;
    any_run = true;
    all_bold = all_bold && run.bold;
  }
  if (!any_run) return std::nullopt;
  if (letter_count(t) <= 1) return std::nullopt;

  const std::string lower = lower_case(t);
  if (lower.find("et al") != std::string::npos || lower.starts_with("arxiv")) return std::nullopt;
  if (contains_year(t) || count_initials(t) >= 2) return std::nullopt;
  if (count_formula_words(t) <= 1 && contains_relation(t)) return std::nullopt;

  const std::string_view label = leading_letters(t);
  if (listed(label_words, lower_case(label))) {
    const std::string_view rest = trim_leading_whitespace(t.substr(label.size()));
    if (rest.empty() || is_ascii_digit(rest.front()) || ends_with_any(t, ":.")) return std::nullopt;
  }

  bool absent = false;
  if (auto numbered = numbered_heading(line, t, ratio, absent)) return numbered;
  if (absent) return std::nullopt;

  if (is_keyword_heading(t)) return HeadingMatch{1, line.runs.size()};
  if (auto appendix = appendix_heading(line, text, t)) return appendix;

  const size_t words = count_words(t);
  if (words < max_heading_words && (ratio >= heading_min_ratio || all_bold)) {
    if (!ends_with_any(t, ".,;:") && !byline(t) && !is_lower_letter(first_code_point(t))) {
      const int level = ratio >= level1_min_ratio ? 1 : ratio >= level2_min_ratio ? 2 : 3;
      return HeadingMatch{level, line.runs.size()};
    }
  }

  if (!all_bold && first_bold) {
    size_t i = 0;
    while (i < line.runs.size() && (line.runs[i].bold || is_blank_run(line.runs[i]))) ++i;
    const std::string head_text = runs_text(line, i);
    const std::string_view h = trim_whitespace(head_text);
    if (!h.empty() && !is_lower_letter(first_code_point(h))) {
      const size_t head_words = count_words(h);
      if ((head_words >= min_run_in_words && head_words <= max_run_in_words) ||
          (ends_with_any(h, ":.") && letter_count(h) >= min_run_in_letters))
        return HeadingMatch{3, i};
    }
  }
  return std::nullopt;
}

}  // namespace quirelle
