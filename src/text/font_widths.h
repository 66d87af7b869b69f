#pragma once

// Glyph widths of simple fonts (FirstChar and Widths) and of CID fonts (the
// W array of the descendant font), in thousandths of the text-space unit.

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "document/object.h"

namespace quirelle {

using WidthMap = std::unordered_map<uint32_t, float>;

// Codes are one or two bytes, so no width above this code is ever looked up
// and none is stored.
inline constexpr int64_t max_width_code = 0xFFFF;

// A W range "first last width" costs three objects but may name 65536 codes;
// across one W array, range expansion stops after this many codes so that
// many repeated full ranges cannot multiply the work.
inline constexpr int64_t max_width_range_total_codes = 4 * 65536;

// An Integer as it is, a Real truncated toward zero (saturating at the
// int64 range, NaN as 0); nothing for any other object.
std::optional<int64_t> whole_number(const Object* object);

// Widths[i] is the width of code first_char + i.
void read_simple_widths(int64_t first_char, const Array& widths, WidthMap& out);

// The W array: "c [w1 w2 ...]" gives codes c, c+1, ...; "c last w" gives
// every code from c through last.
void read_cid_widths(const Array& w, WidthMap& out);

}  // namespace quirelle
