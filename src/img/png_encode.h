#pragma once
// PNG encoding of 8-bit grey, RGB and RGBA rasters.

#include <optional>
#include <string>

#include "img/image_placement.h"

namespace quirelle {

// The PNG file of `raster`, compressed for speed rather than size (the
// output is read once by a model, not stored). None for an empty or
// inconsistent raster, one above max_image_pixels, or a libpng failure.
std::optional<std::string> encode_png(const Raster& raster);

}  // namespace quirelle
