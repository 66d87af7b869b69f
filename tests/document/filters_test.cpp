#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "document/stream_filters.h"

namespace quirelle {
namespace {

std::string deflate_bytes(std::string_view data) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
            uLong(data.size()), 9);
  out.resize(size);
  return out;
}

Document no_objects;

Outcome<std::string> decode(std::string data, std::string dict_text_filter, Dictionary parms = {}) {
  Dictionary dict;
  if (!dict_text_filter.empty()) dict.entries.emplace_back("Filter", make_name(dict_text_filter));
  if (!parms.entries.empty()) dict.entries.emplace_back("DecodeParms", make_dictionary(parms));
  finish_dictionary(dict);
  return decoded_stream(no_objects, Stream{dict, std::move(data)});
}

TEST(FiltersTest, DecodeEachFilter) {
  struct Case {
    std::string filter, input, expected;
  } cases[] = {
      {"", "as is", "as is"},
      {"FlateDecode", deflate_bytes("hello flate"), "hello flate"},
      {"Fl", deflate_bytes("abbreviated"), "abbreviated"},
      {"ASCIIHexDecode", "48 65 6c6C6f>ignored", "Hello"},
      {"ASCIIHexDecode", "414", std::string("A@")},  // odd final digit padded with 0
      {"ASCII85Decode", "87cURD]i,\"Ebo80~>", "Hello World!"},
      {"ASCII85Decode", "z~>", std::string(4, '\0')},
      {"RunLengthDecode", std::string("\x02" "abc" "\xfe" "x" "\x80" "zz", 8), "abcxxx"},
      // LZW of "-----A---B" with early change, the example of the PDF standard
      {"LZWDecode", std::string("\x80\x0b\x60\x50\x22\x0c\x0c\x85\x01", 9), "-----A---B"},
  };
  for (const auto& c : cases) {
    auto out = decode(c.input, c.filter);
    ASSERT_TRUE(out.ok()) << c.filter << ": " << out.error;
    EXPECT_EQ(*out.value, c.expected) << c.filter;
  }
}

TEST(FiltersTest, ChainsRunInOrderWithTheirParameters) {
  std::string hex;
  for (unsigned char c : deflate_bytes("chained")) {
    char buf[3];
    snprintf(buf, sizeof buf, "%02x", c);
    hex += buf;
  }
  Dictionary dict;
  dict.entries.emplace_back("Filter", make_array({make_name("ASCIIHexDecode"), make_name("FlateDecode")}));
  finish_dictionary(dict);
  auto out = decoded_stream(no_objects, Stream{dict, hex});
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(*out.value, "chained");
}

TEST(FiltersTest, PngAndTiffPredictors) {
  // Two rows of three bytes: Up filter on the second row.
  std::string png("\x00\x01\x02\x03\x02\x01\x01\x01", 8);
  Dictionary parms;
  parms.entries = {{"Predictor", make_integer(12)}, {"Columns", make_integer(3)}};
  auto out = decode(deflate_bytes(png), "FlateDecode", parms);
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(*out.value, std::string("\x01\x02\x03\x02\x03\x04", 6));

  std::string tiff("\x05\x01\x01\x0a\x02\x02", 6);
  parms.entries = {{"Predictor", make_integer(2)}, {"Columns", make_integer(3)}};
  out = decode(deflate_bytes(tiff), "FlateDecode", parms);
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(*out.value, std::string("\x05\x06\x07\x0a\x0c\x0e", 6));

  parms.entries = {{"Predictor", make_integer(12)}, {"Columns", make_integer(0)}};
  EXPECT_FALSE(decode(deflate_bytes(png), "FlateDecode", parms).ok());
}

TEST(FiltersTest, UnsupportedAndCorrupt) {
  for (const char* image_filter : {"DCTDecode", "JPXDecode", "JBIG2Decode", "CCITTFaxDecode", "Nonsense"}) {
    auto out = decode("data", image_filter);
    EXPECT_FALSE(out.ok());
    EXPECT_EQ(out.error, std::string("unsupported filter ") + image_filter);
  }
  EXPECT_FALSE(decode("not deflate at all", "FlateDecode").ok());
  EXPECT_FALSE(decode("zz", "ASCIIHexDecode").ok());
  EXPECT_FALSE(decode("abc{", "ASCII85Decode").ok());
}

TEST(FiltersTest, TruncatedFlateKeepsWhatDecoded) {
  std::string text(5000, 'a');
  for (size_t i = 0; i < text.size(); ++i) text[i] = char('a' + (i * 7) % 26);
  std::string packed = deflate_bytes(text);
  auto out = decode(packed.substr(0, packed.size() / 2), "FlateDecode");
  ASSERT_TRUE(out.ok());
  EXPECT_GT(out.value->size(), 0u);
  EXPECT_EQ(*out.value, text.substr(0, out.value->size()));
}

TEST(FiltersTest, RawDeflateWithoutHeader) {
  std::string packed = deflate_bytes("headerless");
  auto out = decode(packed.substr(2), "FlateDecode");
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(*out.value, "headerless");
}

// About 1 MB of deflate data that would inflate to 1 GB: full-flush blocks
// of zeros repeated, each decoding to 1 MB on its own.
std::string deflate_bomb() {
  z_stream z{};
  deflateInit(&z, 9);
  std::string zeros(1 << 20, '\0'), block(1 << 16, '\0'), header;
  auto run = [&](const std::string& in, int flush) {
    std::string out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    do {
      z.next_out = reinterpret_cast<Bytef*>(block.data());
      z.avail_out = uInt(block.size());
      deflate(&z, flush);
      out.append(block.data(), block.size() - z.avail_out);
    } while (z.avail_out == 0);
    return out;
  };
  std::string first = run(zeros, Z_FULL_FLUSH);  // zlib header + first block
  std::string repeat = run(zeros, Z_FULL_FLUSH);
  deflateEnd(&z);
  std::string bomb = first;
  while (bomb.size() < (1u << 20)) bomb += repeat;
  return bomb;
}

TEST(FiltersTest, DecompressionBombStopsAtTheBound) {
  std::string bomb = deflate_bomb();
  ASSERT_LE(bomb.size(), 2u << 20);
  auto out = decode(bomb, "FlateDecode");
  EXPECT_FALSE(out.ok());
  EXPECT_EQ(out.error, output_limit_error);
}

TEST(FiltersTest, RandomAndTruncatedInputNeverCrash) {
  std::mt19937 rng(7);
  const char* filters[] = {"FlateDecode", "LZWDecode", "ASCIIHexDecode", "ASCII85Decode", "RunLengthDecode"};
  for (int round = 0; round < 2000; ++round) {
    std::string data(rng() % 300, '\0');
    for (char& c : data) c = char(rng());
    for (const char* f : filters) {
      auto out = decode(data, f);
      if (out.ok()) EXPECT_LE(out.value->size(), max_decoded_stream_bytes);
    }
  }
}

}  // namespace
}  // namespace quirelle
