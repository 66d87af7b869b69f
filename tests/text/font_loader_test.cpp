#include "text/font_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/font_widths.h"
#include "text/raw_stream_data.h"
#include "text/type1_encoding.h"
#include "test_document.h"

namespace quirelle {
namespace {

using namespace test;

const std::string cmap_a_to_x = "beginbfchar <41> <0058> endbfchar";

FontRecord load(const Document& doc, const Object& font, std::string_view source = {}) {
  return load_font(doc, dict_of(font), source);
}

TEST(font_loader_test, widths_of_simple_and_cid_fonts) {
  Document doc;
  put(doc, 30, array({make_integer(1), array({make_integer(400)})}));
  put(doc, 31, dict({{"W", ref(30)}}));
  put(doc, 32, array({ref(31)}));
  struct Case {
    const char* what;
    Object font;
    WidthMap widths;
    float default_width;
  };
  auto type0 = [](Entries cid_font) {
    return dict({{"Subtype", name("Type0")}, {"DescendantFonts", array({dict(std::move(cid_font))})}});
  };
  auto simple = [](Object first_char, std::vector<Object> widths) {
    return dict({{"Subtype", name("Type1")}, {"FirstChar", std::move(first_char)}, {"Widths", array(std::move(widths))}});
  };
  const std::vector<Case> cases = {
      {"W list and range, DW",
       type0({{"DW", make_integer(600)},
              {"W", array({make_integer(1), array({make_integer(500), make_integer(700)}), make_integer(10),
                           make_integer(12), make_integer(250)})}}),
       {{1, 500}, {2, 700}, {10, 250}, {11, 250}, {12, 250}}, 600},
      {"Widths with a Real and a Name", simple(make_integer(32), {make_integer(250), make_real(333.7f), name("x"), make_integer(500)}),
       {{32, 250}, {33, 333}, {35, 500}}, 500},
      {"Real FirstChar is truncated", simple(make_real(65.9f), {make_integer(100)}), {{65, 100}}, 500},
      {"Type 3 widths through a FontMatrix of 1/2048",
       dict({{"Subtype", name("Type3")}, {"FirstChar", make_integer(1)}, {"Widths", array({make_integer(1024)})},
             {"FontMatrix", array({make_real(1.0f / 2048), make_integer(0), make_integer(0), make_real(1.0f / 2048),
                                   make_integer(0), make_integer(0)})}}),
       {{1, 500}}, 500},
      {"no FirstChar, no widths", simple(name("x"), {make_integer(100)}), {}, 500},
      {"no DW", type0({}), {}, 1000},
      {"Real DW truncated", type0({{"DW", make_real(600.9f)}}), {}, 600},
      {"DW of another kind", type0({{"DW", name("x")}}), {}, 1000},
      {"no descendant", dict({{"Subtype", name("Type0")}, {"DW", make_integer(5)}}), {}, 1000},
      {"descendants by reference", dict({{"Subtype", name("Type0")}, {"DescendantFonts", ref(32)}}), {{1, 400}}, 1000},
      {"range without width", type0({{"W", array({make_integer(5), make_integer(6)})}}), {{5, 1000}, {6, 1000}}, 1000},
      {"range below its start", type0({{"W", array({make_integer(10), make_integer(5), make_integer(300)})}}), {}, 1000},
      {"range end not a number", type0({{"W", array({make_integer(7), name("x"), make_integer(300)})}}), {{7, 300}}, 1000},
      {"leading junk skipped", type0({{"W", array({name("x"), make_integer(1), array({make_integer(100)})})}}), {{1, 100}}, 1000},
      {"list keeps places", type0({{"W", array({make_integer(1), array({make_integer(100), name("x"), make_real(300.5f)})})}}),
       {{1, 100}, {3, 300}}, 1000},
      {"lone last code", type0({{"W", array({make_integer(1), array({make_integer(100)}), make_integer(5)})}}), {{1, 100}}, 1000},
      {"codes outside two bytes", type0({{"W", array({make_integer(-1), make_integer(1), make_integer(9),
                                                     make_integer(70000), array({make_integer(1)})})}}),
       {{0, 9}, {1, 9}}, 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FontRecord font = load(doc, c.font);
    EXPECT_EQ(font.widths, c.widths);
    EXPECT_EQ(font.default_width, c.default_width);
  }
}

TEST(font_loader_test, width_ranges_are_bounded) {
  // One range over every 32-bit code, then a thousand full two-byte ranges:
  // the expansion stops at the two-byte code space and the total budget.
  WidthMap widths;
  read_cid_widths(Array{{make_integer(0), make_integer(4294967295), make_integer(7)}}, widths);
  EXPECT_EQ(widths.size(), 65536u);
  EXPECT_EQ(widths.at(65535), 7);

  std::vector<Object> many;
  for (int i = 0; i < 1000; ++i) {
    many.push_back(make_integer(0));
    many.push_back(make_integer(65535));
    many.push_back(make_integer(i));
  }
  WidthMap repeated;
  read_cid_widths(Array{many}, repeated);
  EXPECT_EQ(repeated.size(), 65536u);
  EXPECT_EQ(repeated.at(0), 3);  // the fourth range was the last one expanded
}

TEST(font_loader_test, differences_encoding) {
  Document doc;
  put(doc, 40, array({make_integer(65), name("B")}));
  put(doc, 41, dict({{"Differences", ref(40)}}));
  struct Case {
    const char* what;
    Object encoding;
    CodeTextMap expected;
  };
  auto differences = [](std::vector<Object> items) { return dict({{"Differences", array(std::move(items))}}); };
  const std::vector<Case> cases = {
      {"unknown names advance", differences({make_integer(24), name("fi"), name("unknownglyph"), name("fl")}),
       {{24, "fi"}, {26, "fl"}}},
      {"a standard encoding name gives nothing", name("WinAnsiEncoding"), {}},
      {"starts at code 0", differences({name("A")}), {{0, "A"}}},
      {"Real codes are truncated", differences({make_real(65.7f), name("A")}), {{65, "A"}}},
      {"negative codes clamp to 0", differences({make_integer(-3), name("A")}), {{0, "A"}}},
      {"other kinds do not advance", differences({make_integer(65), make_string("x"), name("A")}), {{65, "A"}}},
      {"later entries replace", differences({make_integer(65), name("A"), make_integer(65), name("B")}), {{65, "B"}}},
      {"the last code does not wrap", differences({make_integer(4294967295), name("A"), name("B")}), {{4294967295u, "A"}}},
      {"by reference", ref(41), {{65, "B"}}},
      {"Differences not an array", dict({{"Differences", name("x")}}), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(load(doc, dict({{"Subtype", name("Type1")}, {"Encoding", c.encoding}})).encoding, c.expected);
  }
  EXPECT_TRUE(load(doc, dict({{"Subtype", name("Type0")}, {"Encoding", differences({name("A")})}})).encoding.empty());
}

TEST(font_loader_test, tounicode_sources) {
  struct Case {
    const char* what;
    Object entry;
    std::string source;
    std::optional<CodeTextMap> expected;
  };
  Document doc;
  put(doc, 50, stream({}, cmap_a_to_x));
  put(doc, 51, stream({}, ""));
  put(doc, 52, stream({{"Filter", name("NoSuchDecode")}}, cmap_a_to_x));  // a filter that fails
  put(doc, 53, stream({}, "junk without blocks"));
  put(doc, 54, ref(50));
  put(doc, 55, dict({}));
  const std::string file_with_60 = "60 0 obj\n<</Length 33>>stream\r\n" + cmap_a_to_x + "\r\nendstream\nendobj\n";
  const CodeTextMap a_to_x = {{0x41, "X"}};
  const std::vector<Case> cases = {
      {"stream by reference", ref(50), "", a_to_x},
      {"reference to a reference", ref(54), "", a_to_x},
      {"filter fails, raw data used", ref(52), "", a_to_x},
      {"no blocks gives an empty map", ref(53), "", CodeTextMap{}},
      {"direct stream ignored", stream({}, cmap_a_to_x), "", std::nullopt},
      {"name ignored", name("Identity-H"), "", std::nullopt},
      {"missing object, found in the file", ref(60), file_with_60, a_to_x},
      {"missing object, not in the file", ref(61), file_with_60, std::nullopt},
      {"empty stream, found in the file", ref(51), "51 0 obj\nstream\n" + cmap_a_to_x + "\nendstream", a_to_x},
      {"not a stream, found in the file", ref(55), "55 0 obj\nstream\n" + cmap_a_to_x + "\nendstream", a_to_x},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(load(doc, dict({{"ToUnicode", c.entry}}), c.source).tounicode, c.expected);
  }
}

TEST(font_loader_test, raw_stream_data_scans_the_file) {
  struct Case {
    const char* what;
    std::string source;
    uint32_t number;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"CR LF around the data", "7 0 obj\n<<>>stream\r\nabc\r\nendstream", 7, "abc"},
      {"LF only", "7 0 obj stream\nabc\nendstream", 7, "abc"},
      {"no end of line", "7 0 obj streamabcendstream", 7, "abc"},
      {"only one marker dropped", "7 0 obj stream\n\nabc\n\nendstream", 7, "\nabc\n"},
      {"empty data", "7 0 obj stream\n\nendstream", 7, ""},
      {"no endstream", "7 0 obj stream\nabc", 7, ""},
      {"no stream keyword", "7 0 obj << >>", 7, ""},
      {"no object", "8 0 obj stream\nabc\nendstream", 7, ""},
      {"first occurrence wins", "7 0 obj stream\nabc\nendstream 7 0 obj stream\ndef\nendstream", 7, "abc"},
      {"not the tail of a longer number", "17 0 obj stream\nabc\nendstream 7 0 obj stream\ndef\nendstream", 7, "def"},
      {"not another object's stream", "7 0 obj <<>> endobj 8 0 obj stream\nabc\nendstream", 7, ""},
      {"at the very end", "7 0 obj", 7, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(raw_stream_data(c.source, c.number), c.expected);
  }
}

TEST(font_loader_test, type1_builtin_encoding_entries) {
  struct Case {
    const char* what;
    std::string program;
    CodeTextMap expected;
  };
  const std::vector<Case> cases = {
      {"two runs", "/Encoding 256 array\ndup 65 /A put\ndup 66 /B put\nreadonly def", {{65, "A"}, {66, "B"}}},
      {"glyph table and digits", "dup 55 /seven put dup 56 /8 put dup 57 /foo put", {{55, "7"}, {56, "8"}}},
      {"plus sign", "dup +65 /A put", {{65, "A"}}},
      {"bad codes", "dup -65 /A put dup 4294967296 /B put dup 6x /C put dup + /D put", {}},
      {"largest code", "dup 4294967295 /A put", {{4294967295u, "A"}}},
      {"name needs a solidus", "dup 65 A put", {}},
      {"later runs replace", "dup 65 /A put dup 65 /B put", {{65, "B"}}},
      {"Unicode whitespace splits", "dup\u00a065\u2028/A\tput", {{65, "A"}}},
      {"encrypted part not read", "dup 65 /A put currentfile eexec dup 66 /B put", {{65, "A"}}},
      {"invalid UTF-8 is a token of its own", "dup 65 /A put \xff dup 66 /B put", {{65, "A"}, {66, "B"}}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(type1_builtin_encoding(c.program), c.expected);
  }
}

TEST(font_loader_test, builtin_encoding_comes_from_font_file) {
  Document doc;
  const std::string program = "%!PS-AdobeFont-1.0\ndup 65 /A put\ndup 66 /B put\ncurrentfile eexec \x81\x82";
  put(doc, 70, stream({{"Length1", make_integer(40)}}, program));
  put(doc, 71, dict({{"FontFile", ref(70)}}));
  put(doc, 72, dict({{"FontFile2", ref(70)}}));
  put(doc, 73, dict({{"FontFile", stream({}, program)}}));
  const CodeTextMap ab = {{65, "A"}, {66, "B"}};
  auto font = [](Entries entries) {
    entries.emplace_back("Subtype", name("Type1"));
    return dict(std::move(entries));
  };
  EXPECT_EQ(load(doc, font({{"FontDescriptor", ref(71)}})).encoding, ab);
  EXPECT_EQ(load(doc, font({{"FontDescriptor", ref(71)},
                            {"Encoding", dict({{"Differences", array({make_integer(65), name("Z")})}})}}))
                .encoding,
            (CodeTextMap{{65, "Z"}}));
  EXPECT_EQ(load(doc, font({{"FontDescriptor", ref(71)}, {"Encoding", name("StandardEncoding")}})).encoding, ab);
  EXPECT_TRUE(load(doc, font({{"FontDescriptor", ref(72)}})).encoding.empty());
  EXPECT_TRUE(load(doc, font({{"FontDescriptor", ref(73)}})).encoding.empty());  // not a reference
  EXPECT_TRUE(load(doc, dict({{"Subtype", name("Type0")}, {"FontDescriptor", ref(71)}})).encoding.empty());
}

TEST(font_loader_test, style_flags) {
  Document doc;
  put(doc, 80, stream({}, cmap_a_to_x));
  put(doc, 81, dict({{"Flags", make_integer(64)}}));
  struct Case {
    const char* what;
    Object font;
    bool bold, italic, mono, tex_text;
  };
  auto named = [](std::string base, Entries more = {}) {
    more.emplace_back("BaseFont", name(std::move(base)));
    return dict(std::move(more));
  };
  auto flagged = [](std::string base, Object flags) {
    return dict({{"BaseFont", name(std::move(base))}, {"FontDescriptor", dict({{"Flags", std::move(flags)}})}});
  };
  const std::vector<Case> cases = {
      {"subset TeX roman", named("ABCDEF+CMR10"), false, false, false, true},
      {"TeX roman with ToUnicode", named("ABCDEF+CMR10", {{"ToUnicode", ref(80)}}), false, false, false, false},
      {"TeX math", named("CMMI10"), false, false, false, false},
      {"TeX bold extended", named("CMBX12"), true, false, false, true},
      {"TeX in a Type0 font", named("CMR10", {{"Subtype", name("Type0")}}), false, false, false, false},
      {"medium is bold", named("Helvetica-Medium"), true, false, false, false},
      {"subset bold", named("XYZABC+Helvetica-Bold"), true, false, false, false},
      {"bold italic", named("Times-BoldItalic"), true, true, false, false},
      {"oblique courier", named("Courier-Oblique"), false, true, true, false},
      {"ForceBold", flagged("Foo", make_integer(262144)), true, false, false, false},
      {"Italic flag", flagged("Foo", make_integer(64)), false, true, false, false},
      {"FixedPitch flag", flagged("Foo", make_integer(1)), false, false, true, false},
      {"Real flags truncated", flagged("Foo", make_real(65.9f)), false, true, true, false},
      {"low 32 bits of Flags", flagged("Foo", make_integer((int64_t(1) << 32) | 64)), false, true, false, false},
      {"huge Real flags saturate", flagged("Foo", make_real(1e30f)), true, true, true, false},
      {"Unicode lower-casing (Kelvin sign)", named("BLAC\u212a"), true, false, false, false},
      {"invalid UTF-8 in the name", named("\xff" "Bold"), true, false, false, false},
      {"descendant's descriptor",
       dict({{"Subtype", name("Type0")}, {"DescendantFonts", array({dict({{"FontDescriptor", ref(81)}})})}}),
       false, true, false, false},
      {"unresolvable descriptor falls back",
       dict({{"FontDescriptor", ref(99)}, {"DescendantFonts", array({dict({{"FontDescriptor", ref(81)}})})}}),
       false, true, false, false},
      {"a descriptor of the wrong kind is none",
       dict({{"FontDescriptor", make_integer(1)}, {"DescendantFonts", array({dict({{"FontDescriptor", ref(81)}})})}}),
       false, false, false, false},
      {"no name", dict({}), false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FontRecord font = load(doc, c.font);
    EXPECT_EQ(font.bold, c.bold);
    EXPECT_EQ(font.italic, c.italic);
    EXPECT_EQ(font.mono, c.mono);
    EXPECT_EQ(font.tex_text, c.tex_text);
  }
}

TEST(font_loader_test, defaults_for_an_empty_dictionary) {
  FontRecord font = load(Document{}, dict({}));
  EXPECT_FALSE(font.tounicode);
  EXPECT_TRUE(font.encoding.empty());
  EXPECT_TRUE(font.widths.empty());
  EXPECT_EQ(font.default_width, 500);
  EXPECT_FALSE(font.two_byte);
  EXPECT_TRUE(load(Document{}, dict({{"Subtype", name("Type0")}})).two_byte);
}

TEST(font_loader_test, page_and_resource_fonts) {
  Document doc = one_page_document("", plain_font("Courier"));
  // A second page inherits F2 from its parent and overrides F1.
  put(doc, 90, dict({{"Resources", dict({{"Font", dict({{"F1", ref(font_object)}, {"F2", ref(font_object)}})}})}}));
  put(doc, 91, dict({{"Parent", ref(90)}, {"Resources", dict({{"Font", dict({{"F1", plain_font("Helvetica-Bold")}})}})}}));
  put(doc, 92, dict({{"Type", name("Page")}}));
  PageFontMap page1 = load_page_fonts(doc, test_page, "");
  ASSERT_EQ(page1.size(), 1u);
  EXPECT_TRUE(page1.at("F1")->mono);
  PageFontMap page2 = load_page_fonts(doc, ObjectId{91, 0}, "");
  ASSERT_EQ(page2.size(), 2u);
  EXPECT_TRUE(page2.at("F1")->bold);
  EXPECT_TRUE(page2.at("F2")->mono);
  EXPECT_TRUE(load_page_fonts(doc, ObjectId{92, 0}, "").empty());
  EXPECT_TRUE(load_page_fonts(doc, ObjectId{99, 0}, "").empty());

  put(doc, 93, dict({{"F1", ref(font_object)}, {"F2", make_integer(3)}, {"F3", ref(98)}}));
  PageFontMap form = load_resource_fonts(doc, dict_of(dict({{"Font", ref(93)}})), "");
  ASSERT_EQ(form.size(), 1u);
  EXPECT_TRUE(form.at("F1")->mono);
  EXPECT_TRUE(load_resource_fonts(doc, dict_of(dict({{"Font", name("x")}})), "").empty());

  // With a cache, a font dictionary reached again is the same record.
  FontCache cache;
  PageFontMap first = load_page_fonts(doc, ObjectId{91, 0}, "", &cache);
  PageFontMap again = load_page_fonts(doc, test_page, "", &cache);
  EXPECT_EQ(first.at("F2").get(), again.at("F1").get());
  EXPECT_NE(first.at("F1").get(), again.at("F1").get());
}

}  // namespace
}  // namespace quirelle
