#include "html/page/inline_html.h"

#include <algorithm>
#include <array>

#include "html/page/text_features.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// Words that keep their hyphen at a line break: they start compounds.
constexpr std::array<std::string_view, 36> hyphen_prefixes = {
    "self",  "non",   "semi",  "quasi", "multi", "cross",  "anti",   "pseudo", "intra",
    "inter", "micro", "macro", "meta",  "mono",  "fine",   "high",   "low",    "left",
    "right", "state", "well",  "real",  "open",  "long",   "short",  "large",  "small",
    "full",  "half",  "first", "second", "third", "single", "double", "lower", "upper"};

void trim_end(std::string& text) {
  const std::string_view trimmed = trim_whitespace(text);
  text.resize(trimmed.empty() ? 0 : size_t(trimmed.data() - text.data()) + trimmed.size());
}

void close_link(std::string& out) {
  trim_end(out);
  out += "</a> ";
}

// Start of the code point that ends at byte `end` (exclusive).
size_t code_point_start(std::string_view text, size_t end) {
  size_t lead = end - 1;
  while (lead > 0 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) --lead;
  return lead;
}

// End of the visible text: trailing closing tags such as </b> or </i></b>
// are stepped over.
size_t visible_end(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == '>') {
    const size_t open = text.rfind('<', end - 1);
    if (open == std::string_view::npos || open + 1 >= end || text[open + 1] != '/') break;
    end = open;
  }
  return end;
}

// The word before a line-end hyphen at `hyphen`, stripped of punctuation at
// both ends and with ASCII letters in lower case.
std::string word_before(std::string_view text, size_t hyphen) {
  size_t start = hyphen;
  while (start > 0) {
    const size_t lead = code_point_start(text, start);
    size_t probe = lead;
    const char32_t c = next_code_point(text, probe);
    if (c == '>' || is_unicode_whitespace(c)) break;
    start = lead;
  }
  std::string_view word = text.substr(start, hyphen - start);
  while (!word.empty()) {
    size_t i = 0;
    if (is_alphanumeric(next_code_point(word, i))) break;
    word.remove_prefix(i);
  }
  while (!word.empty()) {
    const size_t lead = code_point_start(word, word.size());
    if (is_alphanumeric(last_code_point(word))) break;
    word.remove_suffix(word.size() - lead);
  }
  std::string lower(word);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return lower;
}

// The first character outside tags and white space, or 0.
char32_t first_visible(std::string_view html) {
  bool in_tag = false;
  for (size_t i = 0; i < html.size();) {
    const char32_t c = next_code_point(html, i);
    if (in_tag) {
      in_tag = c != '>';
    } else if (c == '<') {
      in_tag = true;
    } else if (!is_unicode_whitespace(c)) {
      return c;
    }
  }
  return 0;
}

}  // namespace

std::string escape_html(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string inline_html(std::span<const TextRun> runs) {
  std::string out;
  const std::string* open_link = nullptr;  // href of the open anchor, owned by `runs`
  for (const TextRun& run : runs) {
    const std::string t = escape_html(trim_whitespace(run.text));
    if (t.empty()) continue;

    std::string styled;
    if (run.bold && run.italic) styled = "<b><i>" + t + "</i></b>";
    else if (run.bold) styled = "<b>" + t + "</b>";
    else if (run.italic) styled = "<i>" + t + "</i>";
    else styled = t;
    if (run.script > 0) styled = "<sup>" + styled + "</sup>";
    else if (run.script < 0) styled = "<sub>" + styled + "</sub>";

    if (run.link) {
      if (!open_link || *open_link != *run.link) {
        if (open_link) close_link(out);
        out += "<a href=\"" + escape_html(*run.link) + "\">";
        open_link = &*run.link;
      }
    } else if (open_link) {
      close_link(out);
      open_link = nullptr;
    }
    out += styled;
    out += ' ';
  }
  if (open_link) close_link(out);
  return std::string(trim_whitespace(out));
}

void append_line_html(std::string& pending, std::string_view html) {
  if (pending.empty()) {
    pending = html;
    return;
  }
  const size_t end = visible_end(pending);
  if (end == 0 || pending[end - 1] != '-') {
    pending += ' ';
    pending += html;
    return;
  }
  const size_t hyphen = end - 1;
  const std::string word = word_before(pending, hyphen);
  const bool prefix = std::find(hyphen_prefixes.begin(), hyphen_prefixes.end(), word) != hyphen_prefixes.end();
  if (!prefix && !is_upper_letter(first_visible(html))) pending.erase(hyphen, 1);  // exam- + ple
  pending += html;
}

}  // namespace quirelle
