#pragma once
// Inline text of the page HTML: escaping, the markup of a line's runs, and
// joining lines into a paragraph with repair of words broken at line ends.

#include <span>
#include <string>
#include <string_view>

#include "html/page/text_line.h"

namespace quirelle {

// Replaces & < > and " by entity references; every text taken from the
// document passes through here before it enters the HTML.
std::string escape_html(std::string_view text);

// The runs as inline HTML (bold, italic, superscript, subscript, links),
// separated by single spaces and trimmed. Blank runs produce nothing.
std::string inline_html(std::span<const TextRun> runs);

// Appends a line's inline HTML to the paragraph being built: after a space,
// or, when the paragraph ends with a hyphen, glued to it, with the hyphen
// dropped unless it joins a compound (non-linear, Bayes-Nash).
void append_line_html(std::string& pending, std::string_view html);

}  // namespace quirelle
