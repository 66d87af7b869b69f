#include "text/glyph_names.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "text/utf8.h"

namespace quirelle {
namespace {

struct GlyphName {
  std::string_view name;
  char32_t cp;               // used when `letters` is empty
  std::string_view letters;  // ligatures spelled as plain ASCII letters
};

struct LigatureName {
  std::string_view name;
  std::string_view letters;
};

struct SingleName {
  std::string_view name;
  char32_t cp;
};

// Ligature glyphs are spelled out so that search and copy see ordinary letters.
constexpr LigatureName ligature_names[] = {
    {"ff", "ff"},   {"fi", "fi"}, {"fl", "fl"}, {"ffi", "ffi"},   {"ffl", "ffl"},
    {"ft", "ft"},   {"fj", "fj"}, {"st", "st"}, {"longst", "st"},
};

// Deliberately small: the names that common Latin text fonts use. Note that
// "sfthyphen" is a plain hyphen-minus (a soft hyphen would vanish from the
// extracted text) and that only lower-case "euro" is known.
constexpr SingleName single_names[] = {
    {"at", 0x0040}, {"ae", 0x00E6}, {"AE", 0x00C6}, {"oe", 0x0153},
    {"OE", 0x0152}, {"one", 0x0031}, {"two", 0x0032}, {"six", 0x0036},
    {"bar", 0x007C}, {"yen", 0x00A5}, {"eth", 0x00F0}, {"Eth", 0x00D0},
    {"plus", 0x002B}, {"zero", 0x0030}, {"four", 0x0034}, {"five", 0x0035},
    {"nine", 0x0039}, {"less", 0x003C}, {"euro", 0x20AC}, {"cent", 0x00A2},
    {"ring", 0x02DA}, {"space", 0x0020}, {"comma", 0x002C}, {"slash", 0x002F},
    {"three", 0x0033}, {"seven", 0x0037}, {"eight", 0x0038}, {"colon", 0x003A},
    {"equal", 0x003D}, {"grave", 0x0060}, {"minus", 0x2212}, {"acute", 0x00B4},
    {"tilde", 0x02DC}, {"breve", 0x02D8}, {"caron", 0x02C7}, {"aring", 0x00E5},
    {"Aring", 0x00C5}, {"uring", 0x016F}, {"Uring", 0x016E}, {"thorn", 0x00FE},
    {"Thorn", 0x00DE}, {"exclam", 0x0021}, {"dollar", 0x0024}, {"hyphen", 0x002D},
    {"period", 0x002E}, {"bullet", 0x2022}, {"endash", 0x2013}, {"emdash", 0x2014},
    {"dagger", 0x2020}, {"florin", 0x0192}, {"degree", 0x00B0}, {"divide", 0x00F7},
    {"macron", 0x00AF}, {"ogonek", 0x02DB}, {"aacute", 0x00E1}, {"Aacute", 0x00C1},
    {"agrave", 0x00E0}, {"Agrave", 0x00C0}, {"atilde", 0x00E3}, {"Atilde", 0x00C3},
    {"abreve", 0x0103}, {"Abreve", 0x0102}, {"cacute", 0x0107}, {"Cacute", 0x0106},
    {"ccaron", 0x010D}, {"Ccaron", 0x010C}, {"dcaron", 0x010F}, {"Dcaron", 0x010E},
    {"dcroat", 0x0111}, {"Dcroat", 0x0110}, {"eacute", 0x00E9}, {"Eacute", 0x00C9},
    {"egrave", 0x00E8}, {"Egrave", 0x00C8}, {"ecaron", 0x011B}, {"Ecaron", 0x011A},
    {"gbreve", 0x011F}, {"Gbreve", 0x011E}, {"iacute", 0x00ED}, {"Iacute", 0x00CD},
    {"igrave", 0x00EC}, {"Igrave", 0x00CC}, {"lslash", 0x0142}, {"Lslash", 0x0141},
    {"lacute", 0x013A}, {"lcaron", 0x013E}, {"nacute", 0x0144}, {"Nacute", 0x0143},
    {"ntilde", 0x00F1}, {"Ntilde", 0x00D1}, {"ncaron", 0x0148}, {"Ncaron", 0x0147},
    {"oacute", 0x00F3}, {"Oacute", 0x00D3}, {"ograve", 0x00F2}, {"Ograve", 0x00D2},
    {"otilde", 0x00F5}, {"Otilde", 0x00D5}, {"oslash", 0x00F8}, {"Oslash", 0x00D8},
    {"racute", 0x0155}, {"rcaron", 0x0159}, {"Rcaron", 0x0158}, {"sacute", 0x015B},
    {"Sacute", 0x015A}, {"scaron", 0x0161}, {"Scaron", 0x0160}, {"tcaron", 0x0165},
    {"Tcaron", 0x0164}, {"uacute", 0x00FA}, {"Uacute", 0x00DA}, {"ugrave", 0x00F9},
    {"Ugrave", 0x00D9}, {"yacute", 0x00FD}, {"Yacute", 0x00DD}, {"zacute", 0x017A},
    {"Zacute", 0x0179}, {"zcaron", 0x017E}, {"Zcaron", 0x017D}, {"percent", 0x0025},
    {"greater", 0x003E}, {"section", 0x00A7}, {"cedilla", 0x00B8}, {"aogonek", 0x0105},
    {"Aogonek", 0x0104}, {"eogonek", 0x0119}, {"Eogonek", 0x0118}, {"uogonek", 0x0173},
    {"dotlessi", 0x0131}, {"dotlessj", 0x0237}, {"quotedbl", 0x0022}, {"asterisk", 0x002A},
    {"question", 0x003F}, {"ellipsis", 0x2026}, {"fraction", 0x2044}, {"multiply", 0x00D7},
    {"sterling", 0x00A3}, {"dieresis", 0x00A8}, {"ccedilla", 0x00E7}, {"Ccedilla", 0x00C7},
    {"scedilla", 0x015F}, {"Scedilla", 0x015E}, {"ampersand", 0x0026}, {"parenleft", 0x0028},
    {"sfthyphen", 0x002D}, {"semicolon", 0x003B}, {"backslash", 0x005C}, {"braceleft", 0x007B},
    {"quoteleft", 0x2018}, {"daggerdbl", 0x2021}, {"trademark", 0x2122}, {"copyright", 0x00A9},
    {"plusminus", 0x00B1}, {"paragraph", 0x00B6}, {"dotaccent", 0x02D9}, {"adieresis", 0x00E4},
    {"Adieresis", 0x00C4}, {"edieresis", 0x00EB}, {"Edieresis", 0x00CB}, {"idieresis", 0x00EF},
    {"Idieresis", 0x00CF}, {"odieresis", 0x00F6}, {"Odieresis", 0x00D6}, {"udieresis", 0x00FC},
    {"Udieresis", 0x00DC}, {"ydieresis", 0x00FF}, {"Ydieresis", 0x0178}, {"numbersign", 0x0023},
    {"parenright", 0x0029}, {"underscore", 0x005F}, {"braceright", 0x007D}, {"asciitilde", 0x007E},
    {"quoteright", 0x2019}, {"registered", 0x00AE}, {"circumflex", 0x02C6}, {"zdotaccent", 0x017C},
    {"Zdotaccent", 0x017B}, {"germandbls", 0x00DF}, {"exclamdown", 0x00A1}, {"quotesingle", 0x0027},
    {"bracketleft", 0x005B}, {"asciicircum", 0x005E}, {"perthousand", 0x2030}, {"acircumflex", 0x00E2},
    {"Acircumflex", 0x00C2}, {"ecircumflex", 0x00EA}, {"Ecircumflex", 0x00CA}, {"icircumflex", 0x00EE},
    {"Icircumflex", 0x00CE}, {"ocircumflex", 0x00F4}, {"Ocircumflex", 0x00D4}, {"ucircumflex", 0x00FB},
    {"Ucircumflex", 0x00DB}, {"ordfeminine", 0x00AA}, {"bracketright", 0x005D}, {"quotedblleft", 0x201C},
    {"quotedblbase", 0x201E}, {"hungarumlaut", 0x02DD}, {"scommaaccent", 0x0219}, {"Scommaaccent", 0x0218},
    {"tcommaaccent", 0x021B}, {"Tcommaaccent", 0x021A}, {"questiondown", 0x00BF}, {"ordmasculine", 0x00BA},
    {"quotedblright", 0x201D}, {"guilsinglleft", 0x2039}, {"guillemotleft", 0x00AB}, {"ohungarumlaut", 0x0151},
    {"Ohungarumlaut", 0x0150}, {"uhungarumlaut", 0x0171}, {"quotesinglbase", 0x201A}, {"periodcentered", 0x00B7},
    {"guilsinglright", 0x203A}, {"guillemotright", 0x00BB},};

constexpr std::size_t glyph_count = std::size(ligature_names) + std::size(single_names);

// Sorted at compile time so lookups are a binary search over constant data:
// no start-up work, no initialisation order to worry about, nothing mutable.
constexpr auto glyph_table = [] {
  std::array<GlyphName, glyph_count> table{};
  std::size_t n = 0;
  for (const auto& l : ligature_names) table[n++] = {l.name, 0, l.letters};
  for (const auto& s : single_names) table[n++] = {s.name, s.cp, {}};
  std::sort(table.begin(), table.end(),
            [](const GlyphName& a, const GlyphName& b) { return a.name < b.name; });
  return table;
}();

static_assert(glyph_count == 223);
static_assert(std::adjacent_find(glyph_table.begin(), glyph_table.end(),
                                 [](const GlyphName& a, const GlyphName& b) {
                                   return a.name == b.name;
                                 }) == glyph_table.end(),
              "glyph names must be unique");

constexpr int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of `digits` read as hexadecimal; nothing if any character is
// not a hex digit. Callers pass at most six digits, so no overflow.
std::optional<uint32_t> parse_hex(std::string_view digits) {
  uint32_t value = 0;
  for (char c : digits) {
    const int d = hex_digit_value(c);
    if (d < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(d);
  }
  return value;
}

std::string single_character(char32_t cp) {
  std::string out;
  append_utf8(out, cp);
  return out;
}

constexpr bool is_ascii_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::optional<std::string> glyph_text(std::string_view name) {
  if (name.empty()) return std::nullopt;

  // "uni" followed by four hex digits; producers append suffixes such as
  // ".sc" or ".alt" for variants, which carry no text of their own.
  if (name.size() >= 7 && name.starts_with("uni")) {
    const auto value = parse_hex(name.substr(3, 4));
    if (value && is_scalar_value(*value)) return single_character(*value);
  }

  // "u" followed by four to six hex digits and nothing else.
  if (name.size() >= 5 && name.size() <= 7 && name.front() == 'u') {
    const auto value = parse_hex(name.substr(1));
    if (value && is_scalar_value(*value)) return single_character(*value);
  }

  if (name.size() == 1 && is_ascii_letter(name.front())) return std::string(name);

  const auto it = std::lower_bound(
      glyph_table.begin(), glyph_table.end(), name,
      [](const GlyphName& entry, std::string_view key) { return entry.name < key; });
  if (it == glyph_table.end() || it->name != name) return std::nullopt;
  if (!it->letters.empty()) return std::string(it->letters);
  return single_character(it->cp);
}

}  // namespace quirelle
