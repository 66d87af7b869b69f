#pragma once
// JPEG decoding through libjpeg(-turbo).

#include <optional>
#include <string_view>

#include "img/image_placement.h"

namespace quirelle {

enum class JpegOutput { as_stored, grey };

// The pixels of a JPEG file: grey or RGB as stored (CMYK and YCCK are
// converted to RGB), or always grey with JpegOutput::grey. None for data
// libjpeg rejects and for a header declaring more than max_image_pixels,
// which is checked before any pixel buffer is allocated. Damage inside the
// entropy-coded data is tolerated as libjpeg tolerates it.
std::optional<Raster> decode_jpeg(std::string_view data, JpegOutput output = JpegOutput::as_stored);

}  // namespace quirelle
