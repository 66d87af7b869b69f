#pragma once

// A simple page-text extractor, used for pages on which the main text engine
// finds (almost) nothing. Unlike the main engine it decodes one-byte codes
// through the standard base encodings, so pages whose fonts carry neither
// ToUnicode maps nor Differences still give text.

#include <cstdint>
#include <string>

#include "document/document.h"
#include "document/outcome.h"

namespace quirelle {

// The text shown by Tj, TJ, ' and " on the page (and in the Form XObjects it
// draws), in content order. A show that starts on another line than the
// previous one starts a new output line; a large gap along the line, or a TJ
// adjustment below -250 thousandths of an em, becomes one space. The result
// has no trailing whitespace. Fails when `page_number` is not a page or the
// page's content cannot be read; never throws.
Outcome<std::string> reader_page_text(const Document& doc, uint32_t page_number);

}  // namespace quirelle
