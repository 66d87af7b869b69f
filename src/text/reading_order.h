#pragma once
// Reading order by a recursive XY cut: columns and blocks are separated at
// the widest empty gaps, and each block is read line by line.

#include <cstdint>
#include <vector>

namespace quirelle {

struct Box {
  float x0, x1, y0, y1;  // y grows upward
};

// Every index of `boxes` exactly once, in reading order. `typical_size` is
// the text size the gap thresholds scale with (clamped to at least 1).
std::vector<uint32_t> reading_order(const std::vector<Box>& boxes, float typical_size);

}  // namespace quirelle
