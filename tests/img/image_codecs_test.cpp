#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "img/base64.h"
#include "jpeg_test_support.h"
#include "img/jpeg_decode.h"
#include "img/png_encode.h"
#include "img/resize.h"

namespace quirelle {
namespace {

// A progressive 8 x 8 grey JPEG refining each AC coefficient bit by bit:
// one scan for DC, then per coefficient from 1 to `bands` eleven scans.
std::string make_many_scan_jpeg(int bands) {
  std::vector<jpeg_scan_info> script;
  script.push_back({1, {0}, 0, 0, 0, 0});
  for (int k = 1; k <= bands; ++k) {
    script.push_back({1, {0}, k, k, 0, 10});
    for (int al = 9; al >= 0; --al) script.push_back({1, {0}, k, k, al + 1, al});
  }
  std::vector<uint8_t> pixels(64);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pixels[size_t(y * 8 + x)] = uint8_t(x * 30 + y * 3);
  return make_jpeg(8, 8, 1, pixels, script);
}

// A PNG read back with libpng in the given format.
Raster read_png(const std::string& png, uint32_t channels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  EXPECT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
  image.format = channels == 1 ? PNG_FORMAT_GRAY : channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
  Raster out{image.width, image.height, channels, std::vector<uint8_t>(PNG_IMAGE_SIZE(image))};
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr));
  return out;
}

TEST(Base64Test, rfc4648_vectors) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},          {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\x00", 3), "//4A"},
  };
  for (const auto& [in, expected] : cases) EXPECT_EQ(base64_encode(in), expected) << in;
  EXPECT_EQ(base64_encode(std::string(100, 'a')).find('\n'), std::string::npos);
}

TEST(PngEncodeTest, output_decodes_to_the_same_pixels) {
  for (uint32_t channels : {1u, 3u, 4u}) {
    Raster raster{7, 5, channels, {}};
    for (size_t i = 0; i < size_t(7) * 5 * channels; ++i) raster.pixels.push_back(uint8_t(i * 37 + 11));
    auto png = encode_png(raster);
    ASSERT_TRUE(png) << channels;
    EXPECT_EQ(png->substr(1, 3), "PNG");
    const Raster back = read_png(*png, channels);
    EXPECT_EQ(back.width, 7u);
    EXPECT_EQ(back.height, 5u);
    EXPECT_EQ(back.pixels, raster.pixels) << channels;
  }
}

TEST(PngEncodeTest, inconsistent_rasters_give_none) {
  EXPECT_FALSE(encode_png(Raster{0, 1, 1, {}}));
  EXPECT_FALSE(encode_png(Raster{2, 2, 2, std::vector<uint8_t>(8)}));  // two channels
  EXPECT_FALSE(encode_png(Raster{2, 2, 3, std::vector<uint8_t>(11)}));  // one byte short
  EXPECT_FALSE(encode_png(Raster{60000, 60000, 1, {}}));               // above the pixel budget
}

TEST(JpegDecodeTest, grey_and_rgb_as_stored) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < 16 * 8; ++i) rgb.insert(rgb.end(), {200, 40, 90});
  auto colour = decode_jpeg(make_jpeg(16, 8, 3, rgb));
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->width, 16u);
  EXPECT_EQ(colour->height, 8u);
  ASSERT_EQ(colour->channels, 3u);
  EXPECT_NEAR(colour->pixels[0], 200, 4);
  EXPECT_NEAR(colour->pixels[1], 40, 4);
  EXPECT_NEAR(colour->pixels[2], 90, 4);

  auto grey = decode_jpeg(make_jpeg(16, 8, 1, std::vector<uint8_t>(16 * 8, 77)));
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey->channels, 1u);
  EXPECT_EQ(grey->pixels.size(), 16u * 8);
  EXPECT_NEAR(grey->pixels[5], 77, 2);

  auto as_grey = decode_jpeg(make_jpeg(16, 8, 3, rgb), JpegOutput::grey);
  ASSERT_TRUE(as_grey);
  EXPECT_EQ(as_grey->channels, 1u);
  EXPECT_NEAR(as_grey->pixels[0], (299 * 200 + 587 * 40 + 114 * 90) / 1000, 4);
}

TEST(JpegDecodeTest, cmyk_becomes_rgb) {
  // libjpeg marks CMYK files with the Adobe marker, whose samples are read
  // inverted, as Adobe applications write them: 255 is no ink.
  std::vector<uint8_t> cmyk;
  for (int i = 0; i < 16 * 16; ++i) cmyk.insert(cmyk.end(), {255, 0, 255, 255});  // full magenta
  auto rgb = decode_jpeg(make_jpeg(16, 16, 4, cmyk));
  ASSERT_TRUE(rgb);
  ASSERT_EQ(rgb->channels, 3u);
  EXPECT_EQ(rgb->pixels.size(), 16u * 16 * 3);
  EXPECT_NEAR(rgb->pixels[0], 255, 3);
  EXPECT_NEAR(rgb->pixels[1], 0, 3);
  EXPECT_NEAR(rgb->pixels[2], 255, 3);
}

TEST(JpegDecodeTest, garbage_and_huge_claims_give_none) {
  const std::string small = make_jpeg(8, 8, 1, std::vector<uint8_t>(64, 128));
  const std::string cases[] = {
      "",
      "not a jpeg at all",
      small.substr(0, 20),                             // cut inside the header
      with_claimed_size(small, 60000, 60000),          // 3.6 gigapixels declared
      with_claimed_size(small, 0, 8),                  // no width
  };
  for (const std::string& data : cases) EXPECT_FALSE(decode_jpeg(data)) << data.size();
  // Truncated entropy data still decodes, as libjpeg fills the rest.
  std::vector<uint8_t> noise(64 * 64);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 7919 % 251);
  const std::string big = make_jpeg(64, 64, 1, noise);
  auto cut = decode_jpeg(big.substr(0, big.size() / 2));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->pixels.size(), 64u * 64);
}

TEST(JpegDecodeTest, scan_count_is_bounded) {
  EXPECT_TRUE(decode_jpeg(make_many_scan_jpeg(10)));   // 111 scans
  EXPECT_FALSE(decode_jpeg(make_many_scan_jpeg(63)));  // 694 scans
}

TEST(ResizeTest, triangle_filter) {
  // Constant stays constant, in both directions.
  auto up = resize_grey(Raster{2, 2, 1, {90, 90, 90, 90}}, 4, 4);
  ASSERT_TRUE(up);
  EXPECT_EQ(up->pixels, std::vector<uint8_t>(16, 90));
  auto down = resize_grey(Raster{4, 4, 1, std::vector<uint8_t>(16, 13)}, 2, 1);
  ASSERT_TRUE(down);
  EXPECT_EQ(down->pixels, std::vector<uint8_t>(2, 13));
  // A black-to-white step doubled in width becomes a ramp, symmetric.
  auto ramp = resize_grey(Raster{2, 1, 1, {0, 255}}, 4, 1);
  ASSERT_TRUE(ramp);
  EXPECT_EQ(ramp->pixels, (std::vector<uint8_t>{0, 64, 191, 255}));
  // Halving averages neighbours.
  auto half = resize_grey(Raster{4, 1, 1, {0, 0, 200, 200}}, 2, 1);
  ASSERT_TRUE(half);
  EXPECT_LT(half->pixels[0], 100);
  EXPECT_GT(half->pixels[1], 100);
  EXPECT_EQ(int(half->pixels[0]) + half->pixels[1], 200);
}

TEST(ResizeTest, refuses_bad_input) {
  EXPECT_FALSE(resize_grey(Raster{2, 2, 3, std::vector<uint8_t>(12)}, 4, 4));  // not grey
  EXPECT_FALSE(resize_grey(Raster{2, 2, 1, std::vector<uint8_t>(3)}, 4, 4));   // short
  EXPECT_FALSE(resize_grey(Raster{2, 2, 1, std::vector<uint8_t>(4)}, 0, 4));
  EXPECT_FALSE(resize_grey(Raster{2, 2, 1, std::vector<uint8_t>(4)}, 60000, 60000));
}

}  // namespace
}  // namespace quirelle
