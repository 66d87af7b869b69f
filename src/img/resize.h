#pragma once
// Resampling of 8-bit grey rasters (soft masks) to another size.

#include <cstdint>
#include <optional>

#include "img/image_placement.h"

namespace quirelle {

// `grey` (one channel) resampled to width x height with a triangle (linear)
// filter whose support widens when shrinking, so every source pixel
// contributes. None for an empty or non-grey source, a zero target, or a
// target above max_image_pixels.
std::optional<Raster> resize_grey(const Raster& grey, uint32_t width, uint32_t height);

}  // namespace quirelle
