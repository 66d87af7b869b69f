#pragma once
// What the list guards need to know about each line, computed once per
// stretch of lines.

#include <optional>
#include <span>
#include <vector>

#include "html/page/text_line.h"

namespace quirelle {

struct ListFacts {
  std::optional<int> number;  // item_number of the line's text
  bool colon_or_bold = false;  // a ':' among the first 45 characters, or bold text
  bool ends_with_colon = false;  // the trimmed text ends with ':'
};

std::vector<ListFacts> list_facts(std::span<const TextLine> lines);
bool in_numbered_list(const std::vector<ListFacts>& facts, size_t i);
bool list_after_colon(const std::vector<ListFacts>& facts, size_t i);

}  // namespace quirelle
