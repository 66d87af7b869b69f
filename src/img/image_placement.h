#pragma once
// Records of the image walk: where a drawn image sits on the page, the
// pixels decoded from an image, and the per-page cache of encoded images.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quirelle {

// No image is decoded, resampled or encoded when its declared size exceeds
// this many pixels (compared with >): a header may claim 60,000 x 60,000
// pixels in a few bytes, and the raster is allocated from the header. Real
// page scans stay below it (a letter page at 600 dpi is 34 megapixels).
inline constexpr uint64_t max_image_pixels = 50'000'000;

// One drawn image that passed the size filter. Coordinates are user space
// of the page, y growing upward.
struct ImagePlacement {
  std::string data;  // the data URI; empty in placeholder mode
  float top = 0;     // largest y of the placed box
  float bottom = 0;  // smallest y of the placed box
};

// 8-bit samples, rows top first, `channels` interleaved samples per pixel:
// 1 grey, 3 RGB, 4 RGBA.
struct Raster {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t channels = 0;
  std::vector<uint8_t> pixels;  // width * height * channels bytes
};

// Image object key (object_key of its id) to its data URI, or to nullopt
// when it could not be encoded; one per page walk.
using DecodeCache = std::unordered_map<uint64_t, std::optional<std::string>>;

}  // namespace quirelle
