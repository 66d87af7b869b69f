// The two text encodings of binary data: ASCIIHexDecode and ASCII85Decode.

#include "document/stream_filters.h"

namespace quirelle {
namespace {

bool is_pdf_whitespace(unsigned char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == 0;
}

int hex_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string decode_ascii_hex(std::string_view in, std::string& out, size_t limit) {
  int high = -1;
  for (unsigned char c : in) {
    if (c == '>') break;
    if (is_pdf_whitespace(c)) continue;
    int v = hex_value(c);
    if (v < 0) return "invalid character in hexadecimal data";
    if (high < 0) {
      high = v;
      continue;
    }
    if (out.size() >= limit) return std::string(output_limit_error);
    out += char(high * 16 + v);
    high = -1;
  }
  if (high >= 0) out += char(high * 16);  // an odd final digit is followed by 0
  return {};
}

std::string decode_ascii85(std::string_view in, std::string& out, size_t limit) {
  uint32_t group = 0;
  int count = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    unsigned char c = in[i];
    if (is_pdf_whitespace(c)) continue;
    if (c == '~') break;  // "~>" ends the data
    if (out.size() + 4 > limit) return std::string(output_limit_error);
    if (c == 'z' && count == 0) {
      out.append(4, '\0');
      continue;
    }
    if (c < '!' || c > 'u') return "invalid character in ASCII85 data";
    group = group * 85 + (c - '!');
    if (++count == 5) {
      for (int shift = 24; shift >= 0; shift -= 8) out += char((group >> shift) & 0xff);
      group = 0, count = 0;
    }
  }
  if (count == 1) return "ASCII85 data ends with a single character";
  if (count > 1) {
    // Pad the final group with the highest digit and keep count - 1 bytes.
    for (int k = count; k < 5; ++k) group = group * 85 + 84;
    for (int k = 0; k < count - 1; ++k) out += char((group >> (24 - 8 * k)) & 0xff);
  }
  return {};
}

}  // namespace quirelle
