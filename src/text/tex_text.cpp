#include "text/tex_text.h"

#include <array>

namespace quirelle {
namespace {

struct TexChar {
  uint8_t code;
  char32_t cp;               // used when `letters` is empty
  std::string_view letters;  // ligatures, spelled as ASCII letters
};

// Only the positions where the layout differs from ASCII.
constexpr TexChar tex_chars[] = {
    {0, 0x0393, {}},  {1, 0x0394, {}},  {2, 0x0398, {}},  {3, 0x039B, {}},
    {4, 0x039E, {}},  {5, 0x03A0, {}},  {6, 0x03A3, {}},  {7, 0x03A5, {}},
    {8, 0x03A6, {}},  {9, 0x03A8, {}},  {10, 0x03A9, {}}, {11, 0, "ff"},
    {12, 0, "fi"},    {13, 0, "fl"},    {14, 0, "ffi"},   {15, 0, "ffl"},
    {16, 0x0131, {}}, {17, 0x0237, {}}, {18, 0x0060, {}}, {19, 0x00B4, {}},
    {20, 0x02C7, {}}, {21, 0x02D8, {}}, {22, 0x00AF, {}}, {23, 0x02DA, {}},
    {24, 0x00B8, {}}, {25, 0x00DF, {}}, {26, 0x00E6, {}}, {27, 0x0153, {}},
    {28, 0x00F8, {}}, {29, 0x00C6, {}}, {30, 0x0152, {}}, {31, 0x00D8, {}},
    {34, 0x201D, {}}, {39, 0x2019, {}}, {92, 0x201C, {}}, {96, 0x2018, {}},
    {123, 0x2013, {}}, {124, 0x2014, {}}, {125, 0x02DD, {}}, {126, 0x02DC, {}},
    {127, 0x00A8, {}},
};
static_assert(std::size(tex_chars) == 41);

// UTF-8 bytes of one table slot; every text in the layout fits in 3 bytes.
struct Utf8Slot {
  char bytes[4];
  uint8_t size;
};

// Encoded once at compile time so the lookup can hand out views into
// constant storage.
constexpr auto tex_table = [] {
  std::array<Utf8Slot, 128> table{};
  for (const TexChar& t : tex_chars) {
    Utf8Slot& slot = table[t.code];
    if (!t.letters.empty()) {
      for (char c : t.letters) slot.bytes[slot.size++] = c;
    } else if (t.cp < 0x80) {
      slot.bytes[slot.size++] = static_cast<char>(t.cp);
    } else if (t.cp < 0x800) {
      slot.bytes[slot.size++] = static_cast<char>(0xC0 | (t.cp >> 6));
      slot.bytes[slot.size++] = static_cast<char>(0x80 | (t.cp & 0x3F));
    } else {
      slot.bytes[slot.size++] = static_cast<char>(0xE0 | (t.cp >> 12));
      slot.bytes[slot.size++] = static_cast<char>(0x80 | ((t.cp >> 6) & 0x3F));
      slot.bytes[slot.size++] = static_cast<char>(0x80 | (t.cp & 0x3F));
    }
  }
  return table;
}();

}  // namespace

std::string_view tex_text_char(uint8_t code) {
  if (code >= tex_table.size()) return {};
  const Utf8Slot& slot = tex_table[code];
  return {slot.bytes, slot.size};
}

}  // namespace quirelle
