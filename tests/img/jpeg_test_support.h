#pragma once
// Small real JPEGs for image tests, written with libjpeg itself.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace quirelle {

// A baseline JPEG of `components` (1, 3 or 4) channels from interleaved pixels.
inline std::string make_jpeg(uint32_t width, uint32_t height, int components, const std::vector<uint8_t>& pixels) {
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

}  // namespace quirelle
