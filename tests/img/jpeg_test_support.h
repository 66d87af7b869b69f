#pragma once
// Small real JPEGs for image tests, written with libjpeg itself.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace quirelle {

// A JPEG of `components` (1, 3 or 4) channels from interleaved pixels:
// baseline, or progressive with the given scan script.
inline std::string make_jpeg(uint32_t width, uint32_t height, int components, const std::vector<uint8_t>& pixels,
                             std::span<const jpeg_scan_info> scans = {}) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  if (!scans.empty()) {
    cinfo.scan_info = scans.data();
    cinfo.num_scans = int(scans.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + size_t(cinfo.next_scanline) * width * components;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

// A JPEG of one grey level.
inline std::string make_grey_jpeg(uint32_t width, uint32_t height, uint8_t level) {
  return make_jpeg(width, height, 1, std::vector<uint8_t>(size_t(width) * height, level));
}

// The JPEG with the frame header's height and width replaced: a header that
// claims a size its data does not have.
inline std::string with_claimed_size(std::string jpeg, uint16_t width, uint16_t height) {
  for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (uint8_t(jpeg[i]) == 0xFF && (uint8_t(jpeg[i + 1]) == 0xC0 || uint8_t(jpeg[i + 1]) == 0xC2)) {
      jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height & 0xFF);
      jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width & 0xFF);
      return jpeg;
    }
  }
  ADD_FAILURE() << "no frame header";
  return jpeg;
}

}  // namespace quirelle
