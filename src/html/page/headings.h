#pragma once
// Recognisers for section headings and the document title. Both read a
// line's text and its size relative to the document's body size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "html/page/text_line.h"

namespace quirelle {

struct HeadingMatch {
  int level = 0;         // 1, 2 or 3
  size_t run_count = 0;  // leading runs that form the heading; the rest is body text
};

// Whether the line is a section heading, of which level, and how many of its
// runs belong to it (a bold or numbered run-in heading is followed by text).
std::optional<HeadingMatch> classify_heading(const TextLine& line, float body_size);

struct DocumentTitle {
  std::string text;                   // words joined by single spaces, not escaped
  std::vector<uint32_t> line_indices;  // ascending
};

// The document title among the first page's lines, if any.
std::optional<DocumentTitle> find_title(std::span<const TextLine> lines, float body_size);

// Level of a leading section number followed by a name ("2 Methods" 1,
// "2.1 Data" 2, "A.1 Proof" 2, "3.2.1.4 X" 3).
std::optional<int> section_number(std::string_view text);
// A leading roman numeral with a full stop, then a name ("IV. Results").
bool roman_number(std::string_view text);
// Looks like an author or citation line: a comma, a final full stop, a year
// or an initial after a word.
bool byline(std::string_view text);
// Could be (part of) a title: two words or more, not numbered, not a byline,
// not the abstract.
bool title_candidate(std::string_view text);

}  // namespace quirelle
