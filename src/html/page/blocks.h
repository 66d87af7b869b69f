#pragma once
// The block assembler: a stretch of text lines becomes paragraphs, headings,
// lists, code blocks and footnote asides.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "html/page/text_line.h"

namespace quirelle {

// Appends the HTML blocks of `lines` (reading order) to `out`. Nothing is
// carried from one call to the next.
void render_blocks(std::span<const TextLine> lines, float body_size, float title_size, std::string& out);

enum class ListMarker { none, bullet, numbered };

// What a line's text starts with: a bullet, an item number ("1." or "2)"),
// or neither. A hyphen-minus never starts an item.
ListMarker list_marker(std::string_view text);

// The number of "1." or "12)" at the very start of `text`, not followed by a
// digit ("3.14" has none).
std::optional<int> item_number(std::string_view text);

// Guards that keep items of numbered lists from being taken for numbered
// section headings: line i belongs to a run of consecutive item numbers, or
// to a list introduced by a colon.
bool in_numbered_list(std::span<const TextLine> lines, size_t i);
bool list_after_colon(std::span<const TextLine> lines, size_t i);

}  // namespace quirelle
