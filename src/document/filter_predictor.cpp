#include <cstdlib>
#include <vector>

#include "document/stream_filters.h"

namespace quirelle {
namespace {

unsigned char paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return (unsigned char)a;
  return (unsigned char)(pb <= pc ? b : c);
}

// Each row carries its own PNG filter type byte.
std::string undo_png(std::string_view in, size_t row_bytes, size_t pixel_bytes, std::string& out,
                     size_t limit) {
  std::vector<unsigned char> previous(row_bytes, 0), row(row_bytes);
  for (size_t pos = 0; pos < in.size(); pos += row_bytes + 1) {
    unsigned type = (unsigned char)in[pos];
    size_t available = std::min(row_bytes, in.size() - pos - 1);
    if (out.size() + row_bytes > limit) return std::string(output_limit_error);
    for (size_t i = 0; i < row_bytes; ++i) {
      int x = i < available ? (unsigned char)in[pos + 1 + i] : 0;
      int a = i >= pixel_bytes ? row[i - pixel_bytes] : 0;
      int b = previous[i], c = i >= pixel_bytes ? previous[i - pixel_bytes] : 0;
      switch (type) {
        case 1: x += a; break;
        case 2: x += b; break;
        case 3: x += (a + b) / 2; break;
        case 4: x += paeth(a, b, c); break;
        default: break;  // 0 and unknown types: bytes as they are
      }
      row[i] = (unsigned char)x;
    }
    out.append(reinterpret_cast<const char*>(row.data()), available);
    previous.swap(row);
  }
  return {};
}

// TIFF predictor 2: each component is the difference from the one to its left.
std::string undo_tiff(std::string_view in, const PredictorParams& p, size_t row_bytes,
                      std::string& out, size_t limit) {
  if (out.size() + in.size() > limit) return std::string(output_limit_error);
  size_t start = out.size();
  out.append(in);
  if (p.bits_per_component != 8 && p.bits_per_component != 16) return {};  // left as is
  size_t component_bytes = size_t(p.bits_per_component / 8);
  size_t pixel_bytes = component_bytes * size_t(p.colors);
  auto* data = reinterpret_cast<unsigned char*>(out.data() + start);
  for (size_t row = 0; row + row_bytes <= in.size(); row += row_bytes) {
    for (size_t i = pixel_bytes; i + component_bytes <= row_bytes; i += component_bytes) {
      if (component_bytes == 1) {
        data[row + i] = (unsigned char)(data[row + i] + data[row + i - pixel_bytes]);
      } else {
        unsigned v = ((data[row + i] << 8) | data[row + i + 1]) +
                     ((data[row + i - pixel_bytes] << 8) | data[row + i - pixel_bytes + 1]);
        data[row + i] = (unsigned char)(v >> 8);
        data[row + i + 1] = (unsigned char)v;
      }
    }
  }
  return {};
}

}  // namespace

std::string undo_predictor(std::string_view in, const PredictorParams& p, std::string& out,
                           size_t limit) {
  if (p.predictor < 2) {
    if (out.size() + in.size() > limit) return std::string(output_limit_error);
    out.append(in);
    return {};
  }
  if (p.colors < 1 || p.colors > 32 || p.columns < 1 || p.columns > (1 << 24) ||
      (p.bits_per_component != 1 && p.bits_per_component != 2 && p.bits_per_component != 4 &&
       p.bits_per_component != 8 && p.bits_per_component != 16))
    return "invalid predictor parameters";
  size_t bits_per_pixel = size_t(p.colors) * size_t(p.bits_per_component);
  size_t row_bytes = (bits_per_pixel * size_t(p.columns) + 7) / 8;
  size_t pixel_bytes = std::max<size_t>(1, (bits_per_pixel + 7) / 8);
  if (p.predictor == 2) return undo_tiff(in, p, row_bytes, out, limit);
  return undo_png(in, row_bytes, pixel_bytes, out, limit);
}

}  // namespace quirelle
