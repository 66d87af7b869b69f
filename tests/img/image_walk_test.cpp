#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "../text/test_document.h"
#include "img/base64.h"
#include "jpeg_test_support.h"
#include "img/collect_images.h"
#include "img/decode_image.h"
#include "img/encode_image.h"

namespace quirelle {
namespace {

using namespace test;

constexpr uint32_t image_object = 30;
constexpr uint32_t mask_object = 31;
constexpr uint32_t first_form = 40;

std::string deflate(const std::string& data) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
            uLong(data.size()), Z_BEST_SPEED);
  out.resize(size);
  return out;
}

Entries image_entries(int64_t width, int64_t height, Entries more = {}) {
  Entries e = {{"Subtype", name("Image")}, {"Width", make_integer(width)}, {"Height", make_integer(height)}};
  for (auto& m : more) e.push_back(std::move(m));
  return e;
}

Object raw_image(int64_t width, int64_t height, const char* colour_space, std::string samples, Entries more = {}) {
  more.emplace_back("ColorSpace", name(colour_space));
  more.emplace_back("BitsPerComponent", make_integer(8));
  return stream(image_entries(width, height, std::move(more)), std::move(samples));
}

Object jpeg_image(const std::string& jpeg, Entries more = {}) {
  more.emplace_back("Filter", name("DCTDecode"));
  return stream(image_entries(4, 4, std::move(more)), jpeg);
}

Raster read_png_uri(const std::string& uri) {
  const std::string prefix = "data:image/png;base64,";
  EXPECT_EQ(uri.substr(0, prefix.size()), prefix);
  // Base64 back to bytes, independently of the encoder under test.
  std::string bytes;
  uint32_t bits = 0;
  int count = 0;
  for (char c : uri.substr(prefix.size())) {
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const char* at = std::strchr(alphabet, c);
    if (c == '=' || !at) break;
    bits = bits << 6 | uint32_t(at - alphabet);
    if ((count += 6) >= 8) bytes += char((bits >> (count -= 8)) & 0xFF);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  EXPECT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
  image.format = PNG_FORMAT_RGBA;
  Raster out{image.width, image.height, 4, std::vector<uint8_t>(PNG_IMAGE_SIZE(image))};
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr));
  return out;
}

std::optional<std::string> encode(const Document& doc) {
  DecodeCache cache;
  return encode_image(cache, doc, ObjectId{image_object, 0});
}

TEST(DecodeImageTest, colour_components) {
  Document doc;
  put(doc, 5, stream({{"N", make_integer(4)}}, ""));
  const std::pair<Object, int> cases[] = {
      {name("G"), 1},          {name("DeviceGray"), 1}, {name("CalGray"), 1}, {name("RGB"), 3},
      {name("DeviceRGB"), 3},  {name("CalRGB"), 3},     {name("CMYK"), 4},    {name("DeviceCMYK"), 4},
      {array({name("ICCBased"), ref(5)}), 4},           {array({name("ICCBased"), ref(6)}), 0},
      {array({name("Indexed"), name("DeviceRGB")}), 0}, {name("Pattern"), 0}, {make_integer(1), 0},
  };
  for (const auto& [space, expected] : cases)
    EXPECT_EQ(colour_components(doc, &space), expected) << object_to_pdf_text(space);
  EXPECT_EQ(colour_components(doc, nullptr), 0);
}

TEST(DecodeImageTest, sample_layouts) {
  struct Case {
    const char* what;
    Object image;
    int channels;  // 0: none
  };
  const std::string rgb_2x2 = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c";
  Case cases[] = {
      {"rgb", raw_image(2, 2, "DeviceRGB", rgb_2x2), 3},
      {"grey with extra bytes", raw_image(2, 2, "DeviceGray", "abcdef"), 1},
      {"grey too short", raw_image(2, 2, "DeviceGray", "abc"), 0},
      {"rgb inferred under an unknown space", raw_image(2, 2, "Lab", rgb_2x2), 3},
      {"flate cmyk", stream(image_entries(2, 2, {{"ColorSpace", name("DeviceCMYK")},
                                                 {"Filter", name("FlateDecode")}}),
                            deflate(std::string(16, 'x'))), 0},
      {"indexed", stream(image_entries(2, 2, {{"ColorSpace", array({name("Indexed"), name("DeviceRGB"),
                                                                    make_integer(1), make_string("abcdef")})}}),
                         "\0\1\1\0"), 0},
      {"1-bit", stream(image_entries(8, 1, {{"BitsPerComponent", make_integer(1)}}), "\xff"), 0},
      {"16-bit", stream(image_entries(1, 1, {{"BitsPerComponent", make_integer(16)}}), "ab"), 0},
      {"no width", stream({{"Subtype", name("Image")}, {"Height", make_integer(1)}}, "a"), 0},
      {"huge declared size", raw_image(60000, 60000, "DeviceGray", "a"), 0},
      {"jpx", stream(image_entries(1, 1, {{"Filter", name("JPXDecode")}}), "a"), 0},
      {"jpeg", jpeg_image(make_grey_jpeg(4, 4, 10)), 1},
  };
  for (Case& c : cases) {
    Document doc;
    put(doc, image_object, std::move(c.image));
    auto raster = decode_image(doc, ObjectId{image_object, 0});
    EXPECT_EQ(raster ? int(raster->channels) : 0, c.channels) << c.what;
  }
}

TEST(DecodeImageTest, decode_arrays) {
  struct Case {
    const char* what;
    Object image;
    std::vector<uint8_t> pixels;  // the first samples of the result
  };
  const auto decode = [](std::vector<Object> numbers) { return Entries{{"Decode", array(std::move(numbers))}}; };
  const Object one = make_integer(1), zero = make_integer(0);
  const std::string grey_2x2("\x00\x40\x80\xff", 4);
  const std::string rgb_1x2("\x00\x00\x00\xff\x40\xff", 6);
  Case cases[] = {
      {"grey inverted", raw_image(2, 2, "DeviceGray", grey_2x2, decode({one, zero})), {255, 191, 127, 0}},
      {"one rgb channel inverted", raw_image(1, 2, "DeviceRGB", rgb_1x2, decode({zero, one, one, zero, zero, one})),
       {0, 255, 0, 255, 191, 255}},
      {"identity", raw_image(2, 2, "DeviceGray", grey_2x2, decode({zero, one})), {0, 64, 128, 255}},
      {"narrowed range", raw_image(2, 2, "DeviceGray", grey_2x2, decode({make_real(0.5f), one})), {128, 160, 192, 255}},
      {"too few numbers", raw_image(1, 2, "DeviceRGB", rgb_1x2, decode({one, zero})), {0, 0, 0, 255, 64, 255}},
      {"not numbers", raw_image(2, 2, "DeviceGray", grey_2x2, decode({one, name("x")})), {0, 64, 128, 255}},
      {"space without a 0 to 1 range", raw_image(1, 2, "Lab", rgb_1x2, decode({one, zero, one, zero, one, zero})),
       {0, 0, 0, 255, 64, 255}},
      {"grey jpeg inverted", jpeg_image(make_grey_jpeg(4, 4, 10), {{"ColorSpace", name("DeviceGray")},
                                                                   {"Decode", array({one, zero})}}), {245, 245}},
  };
  for (Case& c : cases) {
    Document doc;
    put(doc, image_object, std::move(c.image));
    auto raster = decode_image(doc, ObjectId{image_object, 0});
    ASSERT_TRUE(raster) << c.what;
    for (size_t i = 0; i < c.pixels.size(); ++i) EXPECT_NEAR(raster->pixels[i], c.pixels[i], 2) << c.what << " " << i;
  }
}

TEST(DecodeImageTest, renderable_from_the_dictionary_alone) {
  struct Case {
    const char* what;
    Object image;
    bool renderable;
  };
  Case cases[] = {
      {"flate cmyk", stream(image_entries(2, 2, {{"ColorSpace", name("DeviceCMYK")},
                                                 {"Filter", name("FlateDecode")}}), "garbage"), true},
      {"no bits", stream(image_entries(2, 2), ""), true},
      {"bits as a name", stream(image_entries(2, 2, {{"BitsPerComponent", name("x")}}), ""), true},
      {"1-bit", stream(image_entries(2, 2, {{"BitsPerComponent", make_integer(1)}}), ""), false},
      {"zero height", stream(image_entries(2, 0), ""), false},
      {"dct", jpeg_image("anything"), true},
      {"jpx", stream(image_entries(2, 2, {{"Filter", name("JPXDecode")}}), ""), false},
      {"jbig2", stream(image_entries(2, 2, {{"Filter", name("JBIG2Decode")}}), ""), false},
      {"ccitt", stream(image_entries(2, 2, {{"Filter", array({name("CCITTFaxDecode")})}}), ""), false},
      {"not a stream", make_integer(3), false},
  };
  for (Case& c : cases) {
    Document doc;
    put(doc, image_object, std::move(c.image));
    EXPECT_EQ(image_is_renderable(doc, ObjectId{image_object, 0}), c.renderable) << c.what;
  }
}

TEST(EncodeImageTest, jpeg_data_is_wrapped_as_stored) {
  const std::string jpeg = make_grey_jpeg(4, 4, 10);
  Document doc;
  put(doc, image_object, jpeg_image(jpeg));
  EXPECT_EQ(encode(doc), "data:image/jpeg;base64," + base64_encode(jpeg));

  Document chained;  // [FlateDecode DCTDecode]: inflated, then wrapped
  put(chained, image_object,
      stream(image_entries(4, 4, {{"Filter", array({name("FlateDecode"), name("DCTDecode")})}}), deflate(jpeg)));
  EXPECT_EQ(encode(chained), "data:image/jpeg;base64," + base64_encode(jpeg));
}

TEST(EncodeImageTest, raw_samples_become_png) {
  const std::string rgb = "\x10\x20\x30\x40\x50\x60\x70\x80\x90\xa0\xb0\xc0";
  Document doc;
  put(doc, image_object, raw_image(2, 2, "DeviceRGB", rgb));
  auto uri = encode(doc);
  ASSERT_TRUE(uri);
  const Raster back = read_png_uri(*uri);
  ASSERT_EQ(back.width, 2u);
  for (size_t i = 0; i < 4; ++i) {
    for (size_t c = 0; c < 3; ++c) EXPECT_EQ(back.pixels[i * 4 + c], uint8_t(rgb[i * 3 + c]));
    EXPECT_EQ(back.pixels[i * 4 + 3], 255);
  }
}

TEST(EncodeImageTest, soft_masks_give_alpha) {
  struct Case {
    const char* what;
    Object mask;
    std::vector<uint8_t> alpha;  // first row of the 4 x 4 result
  };
  const std::string full(16, '\x80');
  Case cases[] = {
      {"same size", raw_image(4, 4, "DeviceGray", std::string("\x00\x40\x80\xff", 4) + std::string(12, 'x')),
       {0x00, 0x40, 0x80, 0xff}},
      {"half resolution, left clear, right opaque", raw_image(2, 2, "DeviceGray", std::string("\x00\xff\x00\xff", 4)),
       {0, 64, 191, 255}},
      {"inverted mask", raw_image(4, 4, "DeviceGray", std::string("\x00\x40\x80\xff", 4) + std::string(12, 'x'),
                                  {{"Decode", array({make_integer(1), make_integer(0)})}}),
       {0xff, 0xbf, 0x7f, 0x00}},
      {"short inverted mask, opaque past its data",
       raw_image(4, 4, "DeviceGray", std::string("\x00\xff", 2), {{"Decode", array({make_integer(1), make_integer(0)})}}),
       {255, 0, 255, 255}},
      {"jpeg mask", jpeg_image(make_grey_jpeg(4, 4, 200)), {200, 200, 200, 200}},
      {"inverted jpeg mask", jpeg_image(make_grey_jpeg(4, 4, 200), {{"Decode", array({make_integer(1), make_integer(0)})}}),
       {55, 55, 55, 55}},
      {"jbig2 mask", stream(image_entries(4, 4, {{"Filter", name("JBIG2Decode")}}), ""), {255, 255, 255, 255}},
      {"huge declared mask", raw_image(60000, 60000, "DeviceGray", full), {255, 255, 255, 255}},
      {"huge jpeg mask", jpeg_image(with_claimed_size(make_grey_jpeg(8, 8, 1), 60000, 60000)), {255, 255, 255, 255}},
      {"4-bit mask", stream(image_entries(4, 4, {{"BitsPerComponent", make_integer(4)}}), full),
       {255, 255, 255, 255}},
  };
  for (Case& c : cases) {
    Document doc;
    put(doc, image_object, jpeg_image(make_grey_jpeg(4, 4, 60), {{"SMask", ref(mask_object)}}));
    put(doc, mask_object, std::move(c.mask));
    auto uri = encode(doc);
    ASSERT_TRUE(uri) << c.what;
    const Raster back = read_png_uri(*uri);
    ASSERT_EQ(back.width, 4u) << c.what;
    ASSERT_EQ(back.height, 4u) << c.what;
    for (size_t x = 0; x < 4; ++x) {
      EXPECT_NEAR(back.pixels[x * 4 + 3], c.alpha[x], 2) << c.what << " x=" << x;
      EXPECT_NEAR(back.pixels[x * 4], 60, 2) << c.what;  // grey spread over R, G and B
      EXPECT_EQ(back.pixels[x * 4], back.pixels[x * 4 + 2]) << c.what;
    }
  }
}

TEST(EncodeImageTest, failures_give_none_and_are_cached) {
  Document doc;
  put(doc, image_object,
      jpeg_image(with_claimed_size(make_grey_jpeg(8, 8, 1), 60000, 60000), {{"SMask", ref(mask_object)}}));
  put(doc, mask_object, raw_image(4, 4, "DeviceGray", std::string(16, 'x')));
  DecodeCache cache;
  EXPECT_FALSE(encode_image(cache, doc, ObjectId{image_object, 0}));
  ASSERT_EQ(cache.size(), 1u);
  EXPECT_FALSE(cache.begin()->second);
  EXPECT_FALSE(encode_image(cache, doc, ObjectId{99, 0}));  // missing object
  EXPECT_EQ(cache.size(), 2u);
}

// ---- the page walk ----

// A page drawing `content` with Im1 = the image object and Fm1 = the first form.
struct Page {
  Document doc;
  XObjectMap xobjects{{"Im1", ObjectId{image_object, 0}}, {"Fm1", ObjectId{first_form, 0}}};
};

std::vector<ImagePlacement> walk(const Page& page, const std::string& content, bool inline_mode = true,
                                 DecodeCache* cache = nullptr) {
  DecodeCache own;
  std::vector<ImagePlacement> out;
  collect_images(page.doc, decode_operations(content), page.xobjects, identity_matrix, out, cache ? *cache : own,
                 0, inline_mode);
  return out;
}

Page page_with(Object image) {
  Page page;
  put(page.doc, image_object, std::move(image));
  return page;
}

TEST(CollectImagesTest, size_filter_and_box) {
  const Page page = page_with(raw_image(1, 1, "DeviceGray", "a"));
  struct Case {
    const char* content;
    size_t count;
    float top, bottom;
  };
  const Case cases[] = {
      {"100 0 0 50 10 700 cm /Im1 Do", 1, 750, 700},
      {"20 0 0 200 0 0 cm /Im1 Do", 0, 0, 0},
      {"200 0 0 20 0 0 cm /Im1 Do", 0, 0, 0},
      {"24 0 0 24 0 0 cm /Im1 Do", 1, 24, 0},
      {"0 30 -30 0 100 100 cm /Im1 Do", 1, 130, 100},     // rotated a quarter turn
      {"100 0 0 -50 0 500 cm /Im1 Do", 1, 500, 450},      // flipped
      {"50 0 0 50 0 0 cm q 0.1 0 0 0.1 0 0 cm Q Q /Im1 Do", 1, 50, 0},
      {"50 0 0 /x 0 0 cm /Im1 Do", 0, 0, 0},              // a name counts as 0
      {"50 0 0 50 cm /Im1 Do", 0, 0, 0},                  // too few operands: identity kept
      {"50 0 0 50 0 0 cm /Im2 Do 1 Do BI /W 1 /H 1 ID a EI", 0, 0, 0},
  };
  for (const Case& c : cases) {
    const auto placements = walk(page, c.content);
    ASSERT_EQ(placements.size(), c.count) << c.content;
    if (!c.count) continue;
    EXPECT_FLOAT_EQ(placements[0].top, c.top) << c.content;
    EXPECT_FLOAT_EQ(placements[0].bottom, c.bottom) << c.content;
    EXPECT_EQ(placements[0].data.substr(0, 22), "data:image/png;base64,");
  }
}

TEST(CollectImagesTest, same_image_twice_encoded_once) {
  const Page page = page_with(raw_image(1, 1, "DeviceGray", "a"));
  DecodeCache cache;
  // A planted entry shows the walk asks the cache rather than decoding.
  cache[object_key(ObjectId{image_object, 0})] = "data:planted";
  auto placements = walk(page, "q 50 0 0 50 0 0 cm /Im1 Do Q 60 0 0 60 0 100 cm /Im1 Do", true, &cache);
  ASSERT_EQ(placements.size(), 2u);
  EXPECT_EQ(placements[0].data, "data:planted");
  EXPECT_EQ(placements[1].data, "data:planted");
  EXPECT_FLOAT_EQ(placements[1].top, 160);

  DecodeCache fresh;
  placements = walk(page, "q 50 0 0 50 0 0 cm /Im1 Do Q 60 0 0 60 0 100 cm /Im1 Do", true, &fresh);
  ASSERT_EQ(placements.size(), 2u);
  EXPECT_EQ(fresh.size(), 1u);
  EXPECT_EQ(placements[0].data, placements[1].data);
}

TEST(CollectImagesTest, modes_and_codings) {
  struct Case {
    const char* what;
    Object image;
    bool inline_placed, placeholder_placed;
  };
  Case cases[] = {
      {"grey", raw_image(1, 1, "DeviceGray", "a"), true, true},
      {"jpeg", jpeg_image(make_grey_jpeg(4, 4, 9)), true, true},
      {"flate cmyk", stream(image_entries(2, 2, {{"ColorSpace", name("DeviceCMYK")}, {"BitsPerComponent", make_integer(8)},
                                                 {"Filter", name("FlateDecode")}}),
                            deflate(std::string(16, 'x'))),
       false, true},
      {"1-bit", stream(image_entries(8, 1, {{"BitsPerComponent", make_integer(1)}}), "\x0f"), false, false},
      {"jpx", stream(image_entries(1, 1, {{"Filter", name("JPXDecode")}}), "a"), false, false},
      {"jbig2", stream(image_entries(1, 1, {{"Filter", name("JBIG2Decode")}}), "a"), false, false},
      {"ccitt", stream(image_entries(1, 1, {{"Filter", name("CCITTFaxDecode")}}), "a"), false, false},
      {"not an image", stream({{"Subtype", name("PS")}}, ""), false, false},
  };
  for (Case& c : cases) {
    const Page page = page_with(std::move(c.image));
    const auto in = walk(page, "50 0 0 50 0 0 cm /Im1 Do", true);
    const auto held = walk(page, "50 0 0 50 0 0 cm /Im1 Do", false);
    EXPECT_EQ(in.size(), c.inline_placed ? 1u : 0u) << c.what;
    ASSERT_EQ(held.size(), c.placeholder_placed ? 1u : 0u) << c.what;
    if (!held.empty()) EXPECT_EQ(held[0].data, "") << c.what;
  }
}

// Forms first_form, first_form + 1, ... each drawing the next as Fm1; the
// last draws the image as Im1 through its own resources.
void add_form_chain(Document& doc, int length) {
  for (int k = 0; k < length; ++k) {
    const bool last = k + 1 == length;
    Entries xobjects = {{last ? "Im1" : "Fm1", ref(last ? image_object : first_form + k + 1)}};
    put(doc, first_form + k,
        stream({{"Subtype", name("Form")}, {"Resources", dict({{"XObject", dict(std::move(xobjects))}})}},
               last ? "/Im1 Do" : "/Fm1 Do"));
  }
}

TEST(CollectImagesTest, forms_to_depth_eight) {
  for (int length : {1, 8, 9}) {
    Page page = page_with(raw_image(1, 1, "DeviceGray", "a"));
    page.xobjects.erase("Im1");
    add_form_chain(page.doc, length);
    EXPECT_EQ(walk(page, "50 0 0 50 0 0 cm /Fm1 Do").size(), length <= 8 ? 1u : 0u) << length;
  }
}

TEST(CollectImagesTest, form_matrix_and_names) {
  Page page = page_with(raw_image(1, 1, "DeviceGray", "a"));
  put(page.doc, 32, raw_image(1, 1, "DeviceGray", "b"));
  // The form's own Im1 (object 32) wins; Im2 comes from the page.
  put(page.doc, first_form,
      stream({{"Subtype", name("Form")},
              {"Matrix", array({make_integer(2), make_integer(0), make_integer(0), make_integer(2), make_integer(0),
                                make_integer(10)})},
              {"Resources", dict({{"XObject", dict({{"Im1", ref(32)}})}})}},
             "/Im1 Do /Im2 Do /Fm1 Do"));  // drawing itself is not followed again
  page.xobjects.emplace("Im2", ObjectId{image_object, 0});
  const auto placements = walk(page, "30 0 0 30 0 0 cm /Fm1 Do");
  ASSERT_EQ(placements.size(), 2u);
  EXPECT_FLOAT_EQ(placements[0].top, 360);  // (0, 1) -> (0, 2 + 10) in the form -> x 30
  EXPECT_FLOAT_EQ(placements[0].bottom, 300);
  EXPECT_NE(placements[0].data, placements[1].data);
  EXPECT_EQ(placements[1].data, encode(page.doc));
}

TEST(CollectImagesTest, nothing_without_xobjects_or_past_depth) {
  Page page = page_with(raw_image(1, 1, "DeviceGray", "a"));
  const std::string content = "50 0 0 50 0 0 cm /Im1 Do";
  DecodeCache cache;
  std::vector<ImagePlacement> out;
  collect_images(page.doc, decode_operations(content), XObjectMap{}, identity_matrix, out, cache, 0, true);
  EXPECT_TRUE(out.empty());
  collect_images(page.doc, decode_operations(content), page.xobjects, identity_matrix, out, cache, 9, true);
  EXPECT_TRUE(out.empty());
  collect_images(page.doc, decode_operations(content), page.xobjects, identity_matrix, out, cache, 8, true);
  EXPECT_EQ(out.size(), 1u);
}

}  // namespace
}  // namespace quirelle
