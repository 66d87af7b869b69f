#pragma once

// Reading of ToUnicode CMaps: character code to text.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quirelle {

// A bfrange with a single destination expands to one entry per code, so a
// few bytes such as <00000000> <FFFFFFFF> <0041> could ask for billions of
// entries. The interpreter only ever looks up one- and two-byte codes, so a
// full two-byte code space (65536 codes) is the most one range can usefully
// cover: longer ranges keep their first 65536 codes.
inline constexpr uint64_t max_bfrange_codes = 65536;

// Many ranges each below the limit above could still add up; across one
// stream, range expansion stops after four full two-byte code spaces, which
// leaves room for CMaps that restate or overlap their ranges. Entries from
// bfchar blocks and from array destinations need a token each and are not
// counted: they are already linear in the input.
inline constexpr uint64_t max_bfrange_total_codes = 4 * 65536;

// Character code (one- or two-byte codes in practice, kept as 32 bits) to
// the UTF-8 text it stands for.
using CodeTextMap = std::unordered_map<uint32_t, std::string>;

// Reads the bfchar and bfrange blocks of a ToUnicode CMap program; nothing
// else in the program has any effect and it is never executed. Never fails:
// damaged input yields whatever entries could be read, possibly none. Later
// entries for a code replace earlier ones. Time is linear in the input:
// bfrange expansion is bounded per range and per stream (limits above).
CodeTextMap parse_tounicode(std::string_view stream_bytes);

}  // namespace quirelle
