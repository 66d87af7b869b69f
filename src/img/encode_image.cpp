#include "img/encode_image.h"

#include <algorithm>
#include <new>

#include "document/access.h"
#include "document/stream_filters.h"
#include "img/base64.h"
#include "img/decode_image.h"
#include "img/jpeg_decode.h"
#include "img/png_encode.h"
#include "img/resize.h"

namespace quirelle {
namespace {

constexpr std::string_view jpeg_uri_prefix = "data:image/jpeg;base64,";
constexpr std::string_view png_uri_prefix = "data:image/png;base64,";

std::string data_uri(std::string_view prefix, std::string_view bytes) {
  std::string uri(prefix);
  uri += base64_encode(bytes);
  return uri;
}

// The soft mask as 8-bit grey, or none when it gives no usable alpha.
std::optional<Raster> decode_mask(const Document& doc, const Stream& mask) {
  switch (image_coding(doc, mask.dict)) {
    case ImageCoding::unsupported:
      return std::nullopt;
    case ImageCoding::jpeg: {
      auto data = jpeg_data(doc, mask);
      if (!data) return std::nullopt;
      auto grey = decode_jpeg(*data, JpegOutput::grey);
      if (grey) apply_decode_array(doc, mask.dict, *grey, true);
      return grey;
    }
    case ImageCoding::raw:
      break;
  }
  auto width = as_integer(resolved_entry(doc, mask.dict, "Width"));
  auto height = as_integer(resolved_entry(doc, mask.dict, "Height"));
  if (!width || !height || *width < 1 || *height < 1) return std::nullopt;
  if (*width > int64_t(max_image_pixels) || *height > int64_t(max_image_pixels) ||
      uint64_t(*width) * uint64_t(*height) > max_image_pixels)
    return std::nullopt;
  if (auto bits = as_integer(resolved_entry(doc, mask.dict, "BitsPerComponent")); bits && *bits != 8)
    return std::nullopt;
  auto decoded = decoded_stream(doc, mask);
  if (!decoded.ok()) return std::nullopt;
  Raster grey{uint32_t(*width), uint32_t(*height), 1, {}};
  const size_t n = size_t(grey.width) * grey.height;
  grey.pixels.assign(decoded.value->begin(), decoded.value->begin() + ptrdiff_t(std::min(n, decoded.value->size())));
  apply_decode_array(doc, mask.dict, grey, true);
  // A short mask is opaque where its data ends.
  grey.pixels.resize(n, 255);
  return grey;
}

std::optional<std::string> encode_with_mask(const Document& doc, ObjectId id, const Stream& mask) {
  const auto base = decode_image(doc, id);
  if (!base) return std::nullopt;
  auto alpha = decode_mask(doc, mask);
  if (alpha && (alpha->width != base->width || alpha->height != base->height))
    alpha = resize_grey(*alpha, base->width, base->height);
  const size_t n = size_t(base->width) * base->height;
  Raster rgba{base->width, base->height, 4, std::vector<uint8_t>(n * 4)};
  const uint8_t* src = base->pixels.data();
  uint8_t* dst = rgba.pixels.data();
  const bool grey = base->channels == 1;
  for (size_t i = 0; i < n; ++i, dst += 4) {
    if (grey) {
      dst[0] = dst[1] = dst[2] = *src++;
    } else {
      dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
      src += base->channels;
    }
    dst[3] = alpha ? alpha->pixels[i] : 255;
  }
  auto png = encode_png(rgba);
  if (!png) return std::nullopt;
  return data_uri(png_uri_prefix, *png);
}

std::optional<std::string> compute_uri(const Document& doc, ObjectId id) {
  const Stream* image = as_stream(object_by_id(doc, id));
  if (!image) return std::nullopt;
  if (const Stream* mask = as_stream(resolved_entry(doc, image->dict, "SMask")))
    return encode_with_mask(doc, id, *mask);
  switch (image_coding(doc, image->dict)) {
    case ImageCoding::jpeg: {
      // Wrapped as stored: never decoded, never re-encoded.
      auto data = jpeg_data(doc, *image);
      if (!data) return std::nullopt;
      return data_uri(jpeg_uri_prefix, *data);
    }
    case ImageCoding::unsupported:
      return std::nullopt;
    case ImageCoding::raw:
      break;
  }
  auto pixels = decode_image(doc, id);
  if (!pixels) return std::nullopt;
  auto png = encode_png(*pixels);
  if (!png) return std::nullopt;
  return data_uri(png_uri_prefix, *png);
}

}  // namespace

std::optional<std::string> encode_image(DecodeCache& cache, const Document& doc, ObjectId image) {
  const uint64_t key = object_key(image);
  if (auto hit = cache.find(key); hit != cache.end()) return hit->second;
  std::optional<std::string> uri;
  try {
    uri = compute_uri(doc, image);
  } catch (const std::bad_alloc&) {
    uri.reset();  // an image too large for memory is dropped like a corrupt one
  }
  cache.emplace(key, uri);
  return uri;
}

}  // namespace quirelle
