#include "text/tounicode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace quirelle {
namespace {

struct Case {
  const char* what;
  std::string cmap;
  CodeTextMap expected;
};

void expect_all(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(parse_tounicode(c.cmap), c.expected);
  }
}

TEST(tounicode_test, reads_a_complete_cmap) {
  const std::string cmap =
      "/CIDInit /ProcSet findresource begin\n"
      "12 dict begin\n"
      "begincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n"
      "/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n"
      "2 beginbfchar\n<0003> <0020>\n<0024> <00410042>\nendbfchar\n"
      "1 beginbfrange\n<0010> <0012> <0061>\nendbfrange\n"
      "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  EXPECT_EQ(parse_tounicode(cmap), (CodeTextMap{{3, " "}, {0x24, "AB"},
                                                 {0x10, "a"}, {0x11, "b"}, {0x12, "c"}}));
}

TEST(tounicode_test, bfchar_pairs_code_and_text) {
  expect_all({
      {"space", "beginbfchar <0003> <0020> endbfchar", {{3, " "}}},
      {"digits split by junk", "beginbfchar <01> <0066 0069> endbfchar", {{1, "fi"}}},
      {"lower case", "beginbfchar <00ff> <00e9> endbfchar", {{0xFF, "\u00e9"}}},
      {"odd digits end in 0", "beginbfchar <1> <0041> endbfchar", {{0x10, "A"}}},
      {"odd byte is a unit", "beginbfchar <01> <004142> endbfchar", {{1, "AB"}}},
      {"five-byte code", "beginbfchar <0102030405> <0041> endbfchar", {{0x02030405, "A"}}},
      {"empty code and text", "beginbfchar <> <0041> <05> <> endbfchar", {{0, "A"}, {5, ""}}},
      {"surrogate pair", "beginbfchar <01> <D83DDE00> endbfchar", {{1, "\U0001F600"}}},
      {"unpaired surrogates",
       "beginbfchar <01> <D800> <02> <DC000041> <03> <D8000041> <04> <0041DBFF> endbfchar",
       {{1, "\ufffd"}, {2, "\ufffdA"}, {3, "\ufffdA"}, {4, "A\ufffd"}}},
      {"controls kept for the filter", "beginbfchar <01> <0000> endbfchar",
       {{1, std::string(1, '\0')}}},
      {"later entry wins", "beginbfchar <01> <0041> <01> <0042> endbfchar", {{1, "B"}}},
      {"glued tokens", "beginbfchar<01><0041>endbfchar", {{1, "A"}}},
  });
}

TEST(tounicode_test, bfrange_with_one_destination_counts_up) {
  expect_all({
      {"letters", "beginbfrange <0010> <0012> <0041> endbfrange",
       {{16, "A"}, {17, "B"}, {18, "C"}}},
      {"single code", "beginbfrange <05> <05> <0041> endbfrange", {{5, "A"}}},
      {"hi below lo", "beginbfrange <0012> <0010> <0041> endbfrange", {}},
      {"first character only", "beginbfrange <01> <02> <00660069> endbfrange",
       {{1, "f"}, {2, "g"}}},
      {"empty destination", "beginbfrange <01> <02> <> endbfrange", {}},
      {"surrogate values skipped", "beginbfrange <00> <02> <D7FF> endbfrange",
       {{0, "\ud7ff"}}},
      {"stops past U+10FFFF", "beginbfrange <00> <02> <DBFFDFFF> endbfrange",
       {{0, "\U0010FFFF"}}},
      {"supplementary start", "beginbfrange <00> <01> <D83DDE00> endbfrange",
       {{0, "\U0001F600"}, {1, "\U0001F601"}}},
  });
}

TEST(tounicode_test, bfrange_with_array_gives_one_text_per_code) {
  expect_all({
      {"texts", "beginbfrange <0020> <0021> [<0066006C> <D83DDE00>] endbfrange",
       {{32, "fl"}, {33, "\U0001F600"}}},
      {"non-hex tokens skipped", "beginbfrange <01> <03> [<0041> foo <0042>] endbfrange",
       {{1, "A"}, {2, "B"}}},
      // The array alone decides how many codes are stored.
      {"longer than range", "beginbfrange <05> <05> [<0041> <0042>] endbfrange",
       {{5, "A"}, {6, "B"}}},
      {"no wrap past 32 bits", "beginbfrange <FFFFFFFF> <FFFFFFFF> [<0041> <0042>] endbfrange",
       {{0xFFFFFFFF, "A"}}},
      {"glued tokens", "beginbfrange<01><02>[<0041><0042>]endbfrange", {{1, "A"}, {2, "B"}}},
  });
}

TEST(tounicode_test, tolerates_malformed_input) {
  expect_all({
      {"empty", "", {}},
      {"whitespace only", " \t\r\n\f", {}},
      {"no blocks", "begincmap <0000> <FFFF> <0041> endcmap", {}},
      {"codespacerange ignored", "begincodespacerange <00> <FF> endcodespacerange", {}},
      {"hex outside blocks", "<01> <0041> endbfchar beginbfchar endbfchar <02> <0042>", {}},
      {"unterminated block", "beginbfchar <01> <0041>", {{1, "A"}}},
      {"unterminated hex", "beginbfchar <01> <0041", {{1, "A"}}},
      {"lone hex skipped", "beginbfchar <01> foo <02> <0042> <03> endbfchar", {{2, "B"}}},
      {"dictionary junk inside", "beginbfchar << /A 1 >> <01> <0041> endbfchar", {{1, "A"}}},
      {"range shapes resync",
       "beginbfrange <01> foo <02> <03> <0041> <07> <08> bar <09> <09> <0045> endbfrange",
       {{2, "A"}, {3, "B"}, {9, "E"}}},
      {"range missing destination", "beginbfrange <01> <02>", {}},
      {"other end word ignored", "beginbfrange <01> <01> <0041> endbfchar <03> <03> <0043>",
       {{1, "A"}, {3, "C"}}},
      {"unterminated array runs to the end",
       "beginbfrange <01> <02> [<0041> endbfrange beginbfchar <05> <0042> endbfchar",
       {{1, "A"}, {2, "\x05"}, {3, "B"}}},
      {"stray brackets", "] [ beginbfchar ] <01> <0041> [ endbfchar", {{1, "A"}}},
      {"bytes above 0x7F in hex", "beginbfchar <00\xFF" "41> <00\xC3\xA9" "42> endbfchar",
       {{0x41, "B"}}},
      {"keyword with invalid byte", "beginbfchar\xC0 <01> <0041> endbfchar", {}},
      {"invalid bytes between tokens", "\xE2 beginbfchar \xFF <01> <0041> endbfchar",
       {{1, "A"}}},
      {"NUL is not whitespace", std::string("beginbfchar\0 <01> <0041>", 25), {}},
  });
}

TEST(tounicode_test, survives_truncation_and_random_input) {
  const std::string full =
      "1 beginbfchar <0003> <0020> endbfchar "
      "2 beginbfrange <0010> <0012> <0041> <0020> <0021> [<0066006C> <D83DDE00>] endbfrange";
  for (std::size_t n = 0; n <= full.size(); ++n) {
    // A cut can shorten a hex string and so change a code; only the entry
    // count is predictable.
    EXPECT_LE(parse_tounicode(full.substr(0, n)).size(), 6u) << n;
  }

  const char* pieces[] = {"beginbfchar", "endbfchar", "beginbfrange", "endbfrange", "<", ">",
                          "[", "]", "<0041>", "<D83D>", "<FFFF>", "<<", " ", "\n", "\xC3"};
  constexpr int piece_count = 24;
  std::mt19937 rng(7);
  for (int round = 0; round < 500; ++round) {
    std::string cmap;
    for (int k = 0; k < piece_count; ++k) cmap += pieces[rng() % std::size(pieces)];
    // Range expansion is capped; every other entry needs a token of its own.
    EXPECT_LE(parse_tounicode(cmap).size(), max_bfrange_total_codes + piece_count) << cmap;
  }
}

TEST(tounicode_test, bounds_a_single_huge_range) {
  const CodeTextMap map = parse_tounicode("beginbfrange <00000000> <FFFFFFFF> <0041> endbfrange");
  // 65536 codes from U+0041, minus the 2048 that would land on surrogates.
  EXPECT_EQ(map.size(), max_bfrange_codes - 2048);
  EXPECT_EQ(map.at(0), "A");
  EXPECT_EQ(map.at(max_bfrange_codes - 1), "\U00010040");
  EXPECT_EQ(map.count(max_bfrange_codes), 0u);
}

TEST(tounicode_test, bounds_range_expansion_per_stream) {
  // Disjoint full-size ranges, one more than the stream allows, then a
  // bfchar entry, which is not limited.
  std::string cmap = "beginbfrange\n";
  const uint64_t ranges = max_bfrange_total_codes / max_bfrange_codes + 1;
  for (uint64_t r = 0; r < ranges; ++r) {
    char line[64];
    std::snprintf(line, sizeof line, "<%08llX> <%08llX> <0020>\n",
                  static_cast<unsigned long long>(r * 0x10000),
                  static_cast<unsigned long long>(r * 0x10000 + 0xFFFF));
    cmap += line;
  }
  cmap += "endbfrange beginbfchar <FFFFFFFF> <0041> endbfchar";

  const CodeTextMap map = parse_tounicode(cmap);
  EXPECT_EQ(map.count(max_bfrange_total_codes - 1), 1u);
  EXPECT_EQ(map.count(max_bfrange_total_codes), 0u);
  EXPECT_EQ(map.at(0xFFFFFFFF), "A");
  EXPECT_LE(map.size(), max_bfrange_total_codes + 1);
}

TEST(tounicode_test, many_hostile_ranges_stay_bounded) {
  std::string cmap = "beginbfrange";
  for (int i = 0; i < 100000; ++i) cmap += "<0><FFFFFFFF><1>";
  EXPECT_EQ(parse_tounicode(cmap).size(), max_bfrange_codes - 2048);
}

}  // namespace
}  // namespace quirelle
