#include "img/png_encode.h"

#include <png.h>

#include <cstring>
#include <new>

namespace quirelle {

std::optional<std::string> encode_png(const Raster& raster) {
  if (raster.width == 0 || raster.height == 0) return std::nullopt;
  if (uint64_t(raster.width) * raster.height > max_image_pixels) return std::nullopt;
  png_uint_32 format;
  switch (raster.channels) {
    case 1: format = PNG_FORMAT_GRAY; break;
    case 3: format = PNG_FORMAT_RGB; break;
    case 4: format = PNG_FORMAT_RGBA; break;
    default: return std::nullopt;
  }
  if (raster.pixels.size() != size_t(raster.width) * raster.height * raster.channels) return std::nullopt;

  // libpng's simplified writer reports errors by its return value, so no
  // longjmp crosses our frames.
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = raster.width;
  image.height = raster.height;
  image.format = format;
  image.flags = PNG_IMAGE_FLAG_FAST;
  // The worst-case size lets one pass write the file.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  std::string out;
  try {
    out.resize(size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const png_int_32 stride = png_int_32(raster.width * raster.channels);
  const int ok = png_image_write_to_memory(&image, out.data(), &size, 0, raster.pixels.data(), stride, nullptr);
  png_image_free(&image);
  if (!ok || size > out.size()) return std::nullopt;
  out.resize(size);
  return out;
}

}  // namespace quirelle
