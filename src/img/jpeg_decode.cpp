#include "img/jpeg_decode.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>

#include <jpeglib.h>

namespace quirelle {
namespace {

// libjpeg's default error handler calls exit() and its message handler
// prints; ours jumps back to the caller and stays silent.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void on_error(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void on_message(j_common_ptr) {}

// A progressive JPEG may hold any number of scans, each a full pass over
// the coefficients; a crafted file with thousands of tiny scans takes
// minutes. No encoder writes more than a few dozen.
constexpr int max_jpeg_scans = 500;

void on_progress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > max_jpeg_scans) on_error(cinfo);
}

// Adobe writes CMYK JPEGs with inverted samples; others store them plain.
void cmyk_to_rgb(const uint8_t* cmyk, uint8_t* rgb, size_t pixels, bool inverted) {
  for (size_t i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
    const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    for (int c = 0; c < 3; ++c) {
      const unsigned v = inverted ? cmyk[c] : 255u - cmyk[c];
      rgb[c] = uint8_t((v * k + 127) / 255);
    }
  }
}

void rgb_to_grey(const uint8_t* rgb, uint8_t* grey, size_t pixels) {
  // ITU-R BT.601 luma, as JPEG's own YCbCr uses.
  for (size_t i = 0; i < pixels; ++i, rgb += 3)
    grey[i] = uint8_t((299u * rgb[0] + 587u * rgb[1] + 114u * rgb[2] + 500) / 1000);
}

// Only trivially destructible locals live in this frame, since libjpeg
// errors leave it by longjmp. `raster` and `cmyk` belong to the caller.
bool run_decoder(jpeg_decompress_struct* cinfo, ErrorManager* errors, jpeg_progress_mgr* progress,
                 std::string_view data, JpegOutput output, Raster* raster, std::vector<uint8_t>* cmyk) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(cinfo);
  cinfo->progress = progress;
  jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(data.data()), (unsigned long)data.size());
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (cinfo->image_width == 0 || cinfo->image_height == 0) return false;
  if (uint64_t(cinfo->image_width) * cinfo->image_height > max_image_pixels) return false;
  const bool four_channel = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  if (four_channel)
    cinfo->out_color_space = JCS_CMYK;
  else if (output == JpegOutput::grey || cinfo->jpeg_color_space == JCS_GRAYSCALE)
    cinfo->out_color_space = JCS_GRAYSCALE;
  else
    cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  const size_t row_bytes = size_t(cinfo->output_width) * cinfo->output_components;
  std::vector<uint8_t>& target = four_channel ? *cmyk : raster->pixels;
  target.resize(row_bytes * cinfo->output_height);  // bounded by the pixel check above
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = target.data() + size_t(cinfo->output_scanline) * row_bytes;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
  }
  raster->width = cinfo->output_width;
  raster->height = cinfo->output_height;
  raster->channels = uint32_t(cinfo->output_components);
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

std::optional<Raster> decode_jpeg(std::string_view data, JpegOutput output) {
  if (data.empty()) return std::nullopt;
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = on_error;
  errors.base.output_message = on_message;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = on_progress;
  Raster raster;
  std::vector<uint8_t> cmyk;
  bool ok = false;
  bool inverted = false;
  try {
    ok = run_decoder(&cinfo, &errors, &progress, data, output, &raster, &cmyk);
    inverted = cinfo.saw_Adobe_marker;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return std::nullopt;
  if (raster.channels == 4) {
    const size_t pixels = size_t(raster.width) * raster.height;
    raster.pixels.resize(pixels * 3);
    cmyk_to_rgb(cmyk.data(), raster.pixels.data(), pixels, inverted);
    raster.channels = 3;
    cmyk = {};
  }
  if (output == JpegOutput::grey && raster.channels == 3) {
    const size_t pixels = size_t(raster.width) * raster.height;
    std::vector<uint8_t> grey(pixels);
    rgb_to_grey(raster.pixels.data(), grey.data(), pixels);
    raster.pixels = std::move(grey);
    raster.channels = 1;
  }
  return raster;
}

}  // namespace quirelle
