#include "text/glyph_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirelle {
namespace {

struct Case {
  std::string_view name;
  std::optional<std::string> expected;
};

void expect_all(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name));
    EXPECT_EQ(glyph_text(c.name), c.expected);
  }
}

TEST(glyph_names_test, uni_form_takes_four_hex_digits_and_ignores_suffix) {
  expect_all({
      {"uni00E9", "\u00e9"},
      {"uni00e9", "\u00e9"},
      {"uni00E9.sc", "\u00e9"},
      {"uni0041_0042", "A"},
      {"uni20AC", "\u20ac"},
      {"uniFFFF", "\uffff"},
      {"uni00E", std::nullopt},    // only three digits
      {"uni00G9", std::nullopt},
      {"uniD800", std::nullopt},   // surrogates fall through to nothing
      {"uniDFFF.alt", std::nullopt},
  });
}

TEST(glyph_names_test, u_form_takes_four_to_six_hex_digits_of_a_scalar_value) {
  expect_all({
      {"u00E9", "\u00e9"},
      {"u1F600", "\U0001F600"},
      {"u10FFFF", "\U0010FFFF"},
      {"u0041", "A"},
      {"u041", std::nullopt},       // too short
      {"u0000041", std::nullopt},   // too long
      {"u110000", std::nullopt},    // beyond Unicode
      {"uD83D", std::nullopt},      // surrogate
      {"u00E9.sc", std::nullopt},   // no suffix allowed
      {"uacute", "\u00fa"},         // not hex: the table decides
      {"ugrave", "\u00f9"},
  });
}

TEST(glyph_names_test, single_ascii_letter_is_itself) {
  expect_all({
      {"A", "A"},
      {"a", "a"},
      {"Z", "Z"},
      {"z", "z"},
      {"7", std::nullopt},
      {"_", std::nullopt},
      {"\xC3", std::nullopt},
      {"", std::nullopt},
  });
}

TEST(glyph_names_test, ligature_names_become_separate_letters) {
  expect_all({
      {"ff", "ff"},
      {"fi", "fi"},
      {"fl", "fl"},
      {"ffi", "ffi"},
      {"ffl", "ffl"},
      {"ft", "ft"},
      {"fj", "fj"},
      {"st", "st"},
      {"longst", "st"},
  });
}

TEST(glyph_names_test, table_lookup_is_exact_and_case_sensitive) {
  expect_all({
      // First and last names in byte order, and neighbours of each other.
      {"AE", "\u00c6"},
      {"Aacute", "\u00c1"},
      {"zero", "0"},
      {"zdotaccent", "\u017c"},
      {"ae", "\u00e6"},
      {"Ae", std::nullopt},
      {"euro", "\u20ac"},
      {"Euro", std::nullopt},
      {"sfthyphen", "-"},
      {"hyphen", "-"},
      {"minus", "\u2212"},
      {"dotlessj", "\u0237"},
      {"Ydieresis", "\u0178"},
      {"quotesingle", "'"},
      {"guillemotright", "\u00bb"},
      {"space", " "},
      {"f", "f"},
      {"fif", std::nullopt},
      {"eacute ", std::nullopt},
      {"unknownglyph", std::nullopt},
  });
}

}  // namespace
}  // namespace quirelle
