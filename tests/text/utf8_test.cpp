#include "text/utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace quirelle {
namespace {

TEST(utf8_test, append_encodes_scalar_values_and_replaces_the_rest) {
  struct Case {
    char32_t cp;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0x0000, std::string(1, '\0')}, {0x007F, "\x7F"},
      {0x0080, "\xC2\x80"},           {0x07FF, "\xDF\xBF"},
      {0x0800, "\xE0\xA0\x80"},       {0xD7FF, "\xED\x9F\xBF"},
      {0xE000, "\xEE\x80\x80"},       {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},  {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0xD800, "\xEF\xBF\xBD"},       {0xDFFF, "\xEF\xBF\xBD"},
      {0x110000, "\xEF\xBF\xBD"},     {0xFFFFFFFF, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<uint32_t>(c.cp));
    std::string out;
    append_utf8(out, c.cp);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(is_scalar_value(c.cp), c.expected != "\xEF\xBF\xBD");
  }
}

TEST(utf8_test, replaces_each_maximal_ill_formed_subpart) {
  const std::string r = "\xEF\xBF\xBD";
  struct Case {
    std::string bytes;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {"plain \xE2\x82\xAC \xF0\x9F\x98\x80", "plain \xE2\x82\xAC \xF0\x9F\x98\x80"},
      // The example sequence of the Unicode Standard, Table 3-8.
      {"a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d", "a" + r + r + r + "b" + r + "c" + r + r + "d"},
      {"\xC0\xAF", r + r},              // overlong lead
      {"\xE0\x80\xAF", r + r + r},      // overlong second byte
      {"\xED\xA0\x80", r + r + r},      // surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
      {"\xF5\x80", r + r},
      {"\xE2\x82", r},                  // truncated at the end
      {"\xE2\x82x", r + "x"},
      {"\xF0\x9F\x98", r},
      {"\xFF", r},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(utf8_with_replacement(c.bytes), c.expected);
  }
}

TEST(utf8_test, decoding_and_replacement_agree_on_random_bytes) {
  std::mt19937 rng(12345);
  // Bias towards bytes that form or break multi-byte sequences.
  const unsigned char pool[] = {'a', 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2,
                                0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const int len = static_cast<int>(rng() % 12);
    for (int k = 0; k < len; ++k) bytes.push_back(static_cast<char>(pool[rng() % sizeof pool]));

    const std::string fixed = utf8_with_replacement(bytes);
    std::string reencoded;
    for (std::size_t i = 0; i < bytes.size();) append_utf8(reencoded, next_code_point(bytes, i));
    ASSERT_EQ(reencoded, fixed) << testing::PrintToString(bytes);
    // Replacement output is valid, so it survives a second pass unchanged.
    ASSERT_EQ(utf8_with_replacement(fixed), fixed) << testing::PrintToString(bytes);
  }
}

TEST(utf8_test, next_code_point_walks_valid_text) {
  const std::string text = "A\u00e9\u20ac\U0001F600";
  std::u32string cps;
  for (std::size_t i = 0; i < text.size();) cps.push_back(next_code_point(text, i));
  EXPECT_EQ(cps, U"A\u00e9\u20ac\U0001F600");
}

}  // namespace
}  // namespace quirelle
