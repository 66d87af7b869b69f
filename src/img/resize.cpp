#include "img/resize.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quirelle {
namespace {

// The weights of one output coordinate: source indices [first, first +
// weights.size()), normalised to sum 1.
struct Taps {
  uint32_t first = 0;
  std::vector<float> weights;
};

std::vector<Taps> triangle_taps(uint32_t source, uint32_t target) {
  const double scale = double(source) / target;
  const double support = std::max(1.0, scale);  // filter half-width in source pixels
  std::vector<Taps> taps(target);
  for (uint32_t i = 0; i < target; ++i) {
    const double centre = (i + 0.5) * scale;  // in source pixel edges
    const int64_t lo = std::max<int64_t>(0, int64_t(std::floor(centre - support)));
    const int64_t hi = std::min<int64_t>(source, int64_t(std::ceil(centre + support)));
    Taps& t = taps[i];
    t.first = uint32_t(lo);
    double sum = 0;
    for (int64_t s = lo; s < hi; ++s) {
      const double w = std::max(0.0, 1.0 - std::fabs((s + 0.5 - centre) / support));
      t.weights.push_back(float(w));
      sum += w;
    }
    if (sum > 0)
      for (float& w : t.weights) w = float(w / sum);
  }
  return taps;
}

uint8_t to_byte(float v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

std::optional<Raster> resize_grey(const Raster& grey, uint32_t width, uint32_t height) {
  if (grey.channels != 1 || grey.width == 0 || grey.height == 0 || width == 0 || height == 0)
    return std::nullopt;
  if (grey.pixels.size() != size_t(grey.width) * grey.height) return std::nullopt;
  if (uint64_t(width) * height > max_image_pixels) return std::nullopt;
  if (uint64_t(width) * grey.height > max_image_pixels) return std::nullopt;  // the intermediate
  const auto columns = triangle_taps(grey.width, width);
  const auto rows = triangle_taps(grey.height, height);
  // Horizontal pass into floats, then vertical pass into bytes.
  std::vector<float> wide(size_t(width) * grey.height);
  for (uint32_t y = 0; y < grey.height; ++y) {
    const uint8_t* src = grey.pixels.data() + size_t(y) * grey.width;
    float* dst = wide.data() + size_t(y) * width;
    for (uint32_t x = 0; x < width; ++x) {
      const Taps& t = columns[x];
      float v = 0;
      for (size_t k = 0; k < t.weights.size(); ++k) v += t.weights[k] * src[t.first + k];
      dst[x] = v;
    }
  }
  Raster out{width, height, 1, std::vector<uint8_t>(size_t(width) * height)};
  std::vector<float> row(width);
  for (uint32_t y = 0; y < height; ++y) {
    const Taps& t = rows[y];
    std::fill(row.begin(), row.end(), 0.0f);
    for (size_t k = 0; k < t.weights.size(); ++k) {
      const float w = t.weights[k];
      const float* src = wide.data() + size_t(t.first + k) * width;
      for (uint32_t x = 0; x < width; ++x) row[x] += w * src[x];
    }
    uint8_t* dst = out.pixels.data() + size_t(y) * width;
    for (uint32_t x = 0; x < width; ++x) dst[x] = to_byte(row[x]);
  }
  return out;
}

}  // namespace quirelle
