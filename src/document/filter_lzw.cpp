#include <vector>

#include "document/stream_filters.h"

namespace quirelle {

std::string decode_lzw(std::string_view in, bool early_change, std::string& out, size_t limit) {
  constexpr int clear_code = 256, end_code = 257, max_code = 4096;
  // Each entry is (previous code, last byte); strings are rebuilt backwards.
  std::vector<int> prefix(max_code);
  std::vector<unsigned char> suffix(max_code);
  for (int i = 0; i < 256; ++i) prefix[i] = -1, suffix[i] = (unsigned char)i;
  int next = 258, width = 9, previous = -1;
  uint32_t buffer = 0;
  int bits = 0;
  std::string scratch;
  for (unsigned char byte : in) {
    buffer = (buffer << 8) | byte;
    bits += 8;
    while (bits >= width) {
      int code = int((buffer >> (bits - width)) & ((1u << width) - 1));
      bits -= width;
      if (code == clear_code) {
        next = 258, width = 9, previous = -1;
        continue;
      }
      if (code == end_code) return {};
      if (code > next || (code == next && previous < 0)) return "corrupt LZW data";
      int walk = code == next ? previous : code;
      scratch.clear();
      for (; walk >= 0; walk = prefix[walk]) scratch.push_back(char(suffix[walk]));
      unsigned char head = (unsigned char)scratch.back();
      if (code == next) scratch.insert(scratch.begin(), char(head));
      if (out.size() + scratch.size() > limit) return std::string(output_limit_error);
      out.append(scratch.rbegin(), scratch.rend());
      if (previous >= 0 && next < max_code) {
        prefix[next] = previous;
        suffix[next] = head;
        ++next;
      }
      previous = code;
      int switch_at = (1 << width) - (early_change ? 1 : 0);
      if (next >= switch_at && width < 12) ++width;
    }
  }
  return {};  // a missing end-of-data code is common and harmless
}

}  // namespace quirelle
