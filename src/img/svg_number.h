#pragma once
// Numbers as the SVG output writes them: short, and never "-0".

#include <string>

namespace quirelle {

// The value rounded to two decimals (exact value of the float, ties to
// even), without trailing zeros or a trailing point: 2.0 -> "2",
// 1.239 -> "1.24", -0.001 -> "0". Non-finite values give "0", so they can
// never corrupt the markup.
std::string format_number(float value);

}  // namespace quirelle
