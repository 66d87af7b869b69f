#include "img/svg_number.h"

#include <charconv>
#include <cmath>

namespace quirelle {

std::string format_number(float value) {
  if (!std::isfinite(value)) return "0";
  // The largest float has 39 integer digits; with sign, point and two
  // decimals 48 bytes always suffice.
  char buffer[48];
  // A float widens to double exactly, and the fixed conversion rounds the
  // exact binary value correctly, ties to even.
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, double(value), std::chars_format::fixed, 2);
  if (error != std::errc()) return "0";
  std::string text(buffer, end);
  while (!text.empty() && text.back() == '0') text.pop_back();
  while (!text.empty() && text.back() == '.') text.pop_back();
  if (text.empty() || text == "-0") return "0";
  return text;
}

}  // namespace quirelle
