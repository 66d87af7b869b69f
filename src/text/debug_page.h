#pragma once
// A report on one page for people tuning extraction: the loaded fonts,
// their ToUnicode streams and the page content.

#include <string>
#include <string_view>

#include "document/document.h"

namespace quirelle {

std::string debug_page(const Document& doc, ObjectId page, std::string_view source);

// `text` (UTF-8) in double quotes with quotes, backslashes and control
// characters escaped, newline as \n.
std::string quoted(std::string_view text);

}  // namespace quirelle
