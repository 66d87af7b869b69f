#include "img/decode_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <string_view>
#include <vector>

#include "document/access.h"
#include "document/stream_filters.h"
#include "img/jpeg_decode.h"

namespace quirelle {
namespace {

// The filter names of an image, in order; a single name or an array.
std::vector<std::string_view> filter_names(const Document& doc, const Dictionary& image) {
  std::vector<std::string_view> names;
  const Object* filter = resolved_entry(doc, image, "Filter");
  if (auto name = as_name(filter)) {
    names.push_back(*name);
  } else if (const Array* array = as_array(filter)) {
    for (const Object& item : array->items)
      names.push_back(as_name(resolve_object(doc, &item)).value_or(std::string_view{}));
  }
  return names;
}

// Width and Height as positive integers whose product is within the pixel
// budget; none otherwise.
struct Size {
  uint32_t width = 0;
  uint32_t height = 0;
};
std::optional<Size> declared_size(const Document& doc, const Dictionary& image) {
  auto width = as_integer(resolved_entry(doc, image, "Width"));
  auto height = as_integer(resolved_entry(doc, image, "Height"));
  if (!width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  if (*width > int64_t(max_image_pixels) || *height > int64_t(max_image_pixels)) return std::nullopt;
  if (uint64_t(*width) * uint64_t(*height) > max_image_pixels) return std::nullopt;
  return Size{uint32_t(*width), uint32_t(*height)};
}

bool eight_bit_or_unstated(const Document& doc, const Dictionary& image) {
  auto bits = as_integer(resolved_entry(doc, image, "BitsPerComponent"));
  return !bits || *bits == 8;
}

bool is_indexed(const Document& doc, const Object* colour_space) {
  const Array* array = as_array(resolve_object(doc, colour_space));
  if (!array || array->items.empty()) return false;
  auto family = as_name(resolve_object(doc, &array->items[0]));
  return family == "Indexed" || family == "I";
}

// The 256 output levels of one component under Decode [min max].
std::array<uint8_t, 256> decode_levels(float min, float max) {
  std::array<uint8_t, 256> levels;
  for (int s = 0; s < 256; ++s) {
    const float v = std::clamp(min + float(s) / 255.0f * (max - min), 0.0f, 1.0f);
    levels[size_t(s)] = uint8_t(std::lround(v * 255.0f));
  }
  return levels;
}

}  // namespace

void apply_decode_array(const Document& doc, const Dictionary& image, Raster& raster, bool grey_mask) {
  const Array* decode = as_array(resolved_entry(doc, image, "Decode"));
  const uint32_t channels = raster.channels;
  if (!decode || channels == 0 || decode->items.size() < 2 * size_t(channels)) return;
  if (!grey_mask && colour_components(doc, resolved_entry(doc, image, "ColorSpace")) != int(channels)) return;
  std::vector<std::array<uint8_t, 256>> levels;
  bool identity = true;
  for (uint32_t c = 0; c < channels; ++c) {
    const Object* min = resolve_object(doc, &decode->items[2 * c]);
    const Object* max = resolve_object(doc, &decode->items[2 * c + 1]);
    if (!is_number(min) || !is_number(max)) return;
    const float lo = number_of(min), hi = number_of(max);
    if (!std::isfinite(lo) || !std::isfinite(hi)) return;
    identity = identity && lo == 0 && hi == 1;
    levels.push_back(decode_levels(lo, hi));
  }
  if (identity) return;
  for (size_t i = 0; i < raster.pixels.size(); ++i)
    raster.pixels[i] = levels[i % channels][raster.pixels[i]];
}

ImageCoding image_coding(const Document& doc, const Dictionary& image) {
  bool unsupported = false;
  for (std::string_view name : filter_names(doc, image)) {
    if (name == "DCTDecode") return ImageCoding::jpeg;
    if (name == "CCITTFaxDecode" || name == "JBIG2Decode" || name == "JPXDecode")
      unsupported = true;
  }
  return unsupported ? ImageCoding::unsupported : ImageCoding::raw;
}

std::optional<std::string> jpeg_data(const Document& doc, const Stream& image) {
  const auto names = filter_names(doc, image.dict);
  size_t dct = 0;
  while (dct < names.size() && names[dct] != "DCTDecode") ++dct;
  if (dct == names.size()) return std::nullopt;
  if (dct == 0) return image.data;
  // Run the filters before DCTDecode through the general decoder, on a
  // stream whose filter list ends there.
  try {
    const Array* filters = as_array(resolved_entry(doc, image.dict, "Filter"));
    if (!filters) return std::nullopt;
    std::vector<Object> prefix(filters->items.begin(), filters->items.begin() + ptrdiff_t(dct));
    std::vector<std::pair<std::string, Object>> entries{{"Filter", make_array(std::move(prefix))}};
    if (const Array* parms = as_array(resolved_entry(doc, image.dict, "DecodeParms"))) {
      std::vector<Object> parms_prefix(parms->items.begin(),
                                       parms->items.begin() + ptrdiff_t(std::min(dct, parms->items.size())));
      entries.emplace_back("DecodeParms", make_array(std::move(parms_prefix)));
    }
    Dictionary dict{std::move(entries)};
    finish_dictionary(dict);
    const Stream head{std::move(dict), image.data};
    auto decoded = decoded_stream(doc, head);
    if (!decoded.ok()) return std::nullopt;
    return std::move(*decoded.value);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

int colour_components(const Document& doc, const Object* colour_space) {
  const Object* space = resolve_object(doc, colour_space);
  if (auto name = as_name(space)) {
    if (*name == "G" || *name == "DeviceGray" || *name == "CalGray") return 1;
    if (*name == "RGB" || *name == "DeviceRGB" || *name == "CalRGB") return 3;
    if (*name == "CMYK" || *name == "DeviceCMYK") return 4;
    return 0;
  }
  const Array* array = as_array(space);
  if (!array || array->items.size() < 2) return 0;
  if (as_name(resolve_object(doc, &array->items[0])) != "ICCBased") return 0;
  const Stream* profile = as_stream(resolve_object(doc, &array->items[1]));
  if (!profile) return 0;
  auto n = as_integer(resolved_entry(doc, profile->dict, "N"));
  return n && (*n == 1 || *n == 3 || *n == 4) ? int(*n) : 0;
}

std::optional<Raster> decode_image(const Document& doc, ObjectId id) {
  const Stream* image = as_stream(object_by_id(doc, id));
  if (!image) return std::nullopt;
  switch (image_coding(doc, image->dict)) {
    case ImageCoding::unsupported:
      return std::nullopt;
    case ImageCoding::jpeg: {
      auto data = jpeg_data(doc, *image);
      if (!data) return std::nullopt;
      auto raster = decode_jpeg(*data);
      if (raster) apply_decode_array(doc, image->dict, *raster);
      return raster;
    }
    case ImageCoding::raw:
      break;
  }
  const auto size = declared_size(doc, image->dict);
  if (!size || !eight_bit_or_unstated(doc, image->dict)) return std::nullopt;
  const Object* colour_space = resolved_entry(doc, image->dict, "ColorSpace");
  auto decoded = decoded_stream(doc, *image);
  if (!decoded.ok()) return std::nullopt;
  std::string& data = *decoded.value;
  const size_t n = size_t(size->width) * size->height;
  uint32_t channels;
  if (colour_components(doc, colour_space) == 1) {
    if (data.size() < n) return std::nullopt;
    channels = 1;
  } else {
    if (data.size() % n != 0) return std::nullopt;
    const size_t k = data.size() / n;
    // One byte per pixel under an indexed space is a palette index, not a
    // grey level; drawing it as grey would show a wrong picture.
    if (k == 1 && !is_indexed(doc, colour_space))
      channels = 1;
    else if (k == 3)
      channels = 3;
    else
      return std::nullopt;
  }
  Raster raster{size->width, size->height, channels, {}};
  try {
    raster.pixels.assign(data.begin(), data.begin() + ptrdiff_t(n * channels));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  apply_decode_array(doc, image->dict, raster);
  return raster;
}

bool image_is_renderable(const Document& doc, ObjectId id) {
  const Stream* image = as_stream(object_by_id(doc, id));
  if (!image) return false;
  switch (image_coding(doc, image->dict)) {
    case ImageCoding::unsupported: return false;
    case ImageCoding::jpeg: return true;
    case ImageCoding::raw: break;
  }
  // An image above the pixel budget would not be decoded either.
  return declared_size(doc, image->dict) && eight_bit_or_unstated(doc, image->dict);
}

}  // namespace quirelle
