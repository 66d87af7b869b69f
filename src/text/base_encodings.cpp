#include "text/base_encodings.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace quirelle {
namespace {

struct NamedCode {
  unsigned char code;
  std::string_view name;
  char32_t cp;
};

// StandardEncoding outside printable ASCII, and the two ASCII positions
// where it differs (curly quotes instead of apostrophe and grave).
constexpr NamedCode standard_codes[] = {
    {0x27, "quoteright", 0x2019},     {0x60, "quoteleft", 0x2018},
    {0xA1, "exclamdown", 0x00A1},     {0xA2, "cent", 0x00A2},
    {0xA3, "sterling", 0x00A3},       {0xA4, "fraction", 0x2044},
    {0xA5, "yen", 0x00A5},            {0xA6, "florin", 0x0192},
    {0xA7, "section", 0x00A7},        {0xA8, "currency", 0x00A4},
    {0xA9, "quotesingle", 0x0027},    {0xAA, "quotedblleft", 0x201C},
    {0xAB, "guillemotleft", 0x00AB},  {0xAC, "guilsinglleft", 0x2039},
    {0xAD, "guilsinglright", 0x203A}, {0xAE, "fi", 0xFB01},
    {0xAF, "fl", 0xFB02},             {0xB1, "endash", 0x2013},
    {0xB2, "dagger", 0x2020},         {0xB3, "daggerdbl", 0x2021},
    {0xB4, "periodcentered", 0x00B7}, {0xB6, "paragraph", 0x00B6},
    {0xB7, "bullet", 0x2022},         {0xB8, "quotesinglbase", 0x201A},
    {0xB9, "quotedblbase", 0x201E},   {0xBA, "quotedblright", 0x201D},
    {0xBB, "guillemotright", 0x00BB}, {0xBC, "ellipsis", 0x2026},
    {0xBD, "perthousand", 0x2030},    {0xBF, "questiondown", 0x00BF},
    {0xC1, "grave", 0x0060},          {0xC2, "acute", 0x00B4},
    {0xC3, "circumflex", 0x02C6},     {0xC4, "tilde", 0x02DC},
    {0xC5, "macron", 0x00AF},         {0xC6, "breve", 0x02D8},
    {0xC7, "dotaccent", 0x02D9},      {0xC8, "dieresis", 0x00A8},
    {0xCA, "ring", 0x02DA},           {0xCB, "cedilla", 0x00B8},
    {0xCD, "hungarumlaut", 0x02DD},   {0xCE, "ogonek", 0x02DB},
    {0xCF, "caron", 0x02C7},          {0xD0, "emdash", 0x2014},
    {0xE1, "AE", 0x00C6},             {0xE3, "ordfeminine", 0x00AA},
    {0xE8, "Lslash", 0x0141},         {0xE9, "Oslash", 0x00D8},
    {0xEA, "OE", 0x0152},             {0xEB, "ordmasculine", 0x00BA},
    {0xF1, "ae", 0x00E6},             {0xF5, "dotlessi", 0x0131},
    {0xF8, "lslash", 0x0142},         {0xF9, "oslash", 0x00F8},
    {0xFA, "oe", 0x0153},             {0xFB, "germandbls", 0x00DF},
};

// The Symbol font's built-in encoding, complete. Where Adobe's own mapping
// points into the private use area or at a compatibility character, the
// ordinary character is used instead (Omega U+03A9, mu U+03BC, the serif and
// sans registered/copyright/trademark signs); the bare extension pieces
// (radicalex, arrowvertex, arrowhorizex) have no text and are left out.
constexpr NamedCode symbol_codes[] = {
    {0x20, "space", 0x0020},           {0x21, "exclam", 0x0021},
    {0x22, "universal", 0x2200},       {0x23, "numbersign", 0x0023},
    {0x24, "existential", 0x2203},     {0x25, "percent", 0x0025},
    {0x26, "ampersand", 0x0026},       {0x27, "suchthat", 0x220B},
    {0x28, "parenleft", 0x0028},       {0x29, "parenright", 0x0029},
    {0x2A, "asteriskmath", 0x2217},    {0x2B, "plus", 0x002B},
    {0x2C, "comma", 0x002C},           {0x2D, "minus", 0x2212},
    {0x2E, "period", 0x002E},          {0x2F, "slash", 0x002F},
    {0x30, "zero", 0x0030},            {0x31, "one", 0x0031},
    {0x32, "two", 0x0032},             {0x33, "three", 0x0033},
    {0x34, "four", 0x0034},            {0x35, "five", 0x0035},
    {0x36, "six", 0x0036},             {0x37, "seven", 0x0037},
    {0x38, "eight", 0x0038},           {0x39, "nine", 0x0039},
    {0x3A, "colon", 0x003A},           {0x3B, "semicolon", 0x003B},
    {0x3C, "less", 0x003C},            {0x3D, "equal", 0x003D},
    {0x3E, "greater", 0x003E},         {0x3F, "question", 0x003F},
    {0x40, "congruent", 0x2245},       {0x41, "Alpha", 0x0391},
    {0x42, "Beta", 0x0392},            {0x43, "Chi", 0x03A7},
    {0x44, "Delta", 0x0394},           {0x45, "Epsilon", 0x0395},
    {0x46, "Phi", 0x03A6},             {0x47, "Gamma", 0x0393},
    {0x48, "Eta", 0x0397},             {0x49, "Iota", 0x0399},
    {0x4A, "theta1", 0x03D1},          {0x4B, "Kappa", 0x039A},
    {0x4C, "Lambda", 0x039B},          {0x4D, "Mu", 0x039C},
    {0x4E, "Nu", 0x039D},              {0x4F, "Omicron", 0x039F},
    {0x50, "Pi", 0x03A0},              {0x51, "Theta", 0x0398},
    {0x52, "Rho", 0x03A1},             {0x53, "Sigma", 0x03A3},
    {0x54, "Tau", 0x03A4},             {0x55, "Upsilon", 0x03A5},
    {0x56, "sigma1", 0x03C2},          {0x57, "Omega", 0x03A9},
    {0x58, "Xi", 0x039E},              {0x59, "Psi", 0x03A8},
    {0x5A, "Zeta", 0x0396},            {0x5B, "bracketleft", 0x005B},
    {0x5C, "therefore", 0x2234},       {0x5D, "bracketright", 0x005D},
    {0x5E, "perpendicular", 0x22A5},   {0x5F, "underscore", 0x005F},
    {0x61, "alpha", 0x03B1},           {0x62, "beta", 0x03B2},
    {0x63, "chi", 0x03C7},             {0x64, "delta", 0x03B4},
    {0x65, "epsilon", 0x03B5},         {0x66, "phi", 0x03C6},
    {0x67, "gamma", 0x03B3},           {0x68, "eta", 0x03B7},
    {0x69, "iota", 0x03B9},            {0x6A, "phi1", 0x03D5},
    {0x6B, "kappa", 0x03BA},           {0x6C, "lambda", 0x03BB},
    {0x6D, "mu", 0x03BC},              {0x6E, "nu", 0x03BD},
    {0x6F, "omicron", 0x03BF},         {0x70, "pi", 0x03C0},
    {0x71, "theta", 0x03B8},           {0x72, "rho", 0x03C1},
    {0x73, "sigma", 0x03C3},           {0x74, "tau", 0x03C4},
    {0x75, "upsilon", 0x03C5},         {0x76, "omega1", 0x03D6},
    {0x77, "omega", 0x03C9},           {0x78, "xi", 0x03BE},
    {0x79, "psi", 0x03C8},             {0x7A, "zeta", 0x03B6},
    {0x7B, "braceleft", 0x007B},       {0x7C, "bar", 0x007C},
    {0x7D, "braceright", 0x007D},      {0x7E, "similar", 0x223C},
    {0xA0, "Euro", 0x20AC},            {0xA1, "Upsilon1", 0x03D2},
    {0xA2, "minute", 0x2032},          {0xA3, "lessequal", 0x2264},
    {0xA4, "fraction", 0x2044},        {0xA5, "infinity", 0x221E},
    {0xA6, "florin", 0x0192},          {0xA7, "club", 0x2663},
    {0xA8, "diamond", 0x2666},         {0xA9, "heart", 0x2665},
    {0xAA, "spade", 0x2660},           {0xAB, "arrowboth", 0x2194},
    {0xAC, "arrowleft", 0x2190},       {0xAD, "arrowup", 0x2191},
    {0xAE, "arrowright", 0x2192},      {0xAF, "arrowdown", 0x2193},
    {0xB0, "degree", 0x00B0},          {0xB1, "plusminus", 0x00B1},
    {0xB2, "second", 0x2033},          {0xB3, "greaterequal", 0x2265},
    {0xB4, "multiply", 0x00D7},        {0xB5, "proportional", 0x221D},
    {0xB6, "partialdiff", 0x2202},     {0xB7, "bullet", 0x2022},
    {0xB8, "divide", 0x00F7},          {0xB9, "notequal", 0x2260},
    {0xBA, "equivalence", 0x2261},     {0xBB, "approxequal", 0x2248},
    {0xBC, "ellipsis", 0x2026},        {0xBF, "carriagereturn", 0x21B5},
    {0xC0, "aleph", 0x2135},           {0xC1, "Ifraktur", 0x2111},
    {0xC2, "Rfraktur", 0x211C},        {0xC3, "weierstrass", 0x2118},
    {0xC4, "circlemultiply", 0x2297},  {0xC5, "circleplus", 0x2295},
    {0xC6, "emptyset", 0x2205},        {0xC7, "intersection", 0x2229},
    {0xC8, "union", 0x222A},           {0xC9, "propersuperset", 0x2283},
    {0xCA, "reflexsuperset", 0x2287},  {0xCB, "notsubset", 0x2284},
    {0xCC, "propersubset", 0x2282},    {0xCD, "reflexsubset", 0x2286},
    {0xCE, "element", 0x2208},         {0xCF, "notelement", 0x2209},
    {0xD0, "angle", 0x2220},           {0xD1, "gradient", 0x2207},
    {0xD2, "registerserif", 0x00AE},   {0xD3, "copyrightserif", 0x00A9},
    {0xD4, "trademarkserif", 0x2122},  {0xD5, "product", 0x220F},
    {0xD6, "radical", 0x221A},         {0xD7, "dotmath", 0x22C5},
    {0xD8, "logicalnot", 0x00AC},      {0xD9, "logicaland", 0x2227},
    {0xDA, "logicalor", 0x2228},       {0xDB, "arrowdblboth", 0x21D4},
    {0xDC, "arrowdblleft", 0x21D0},    {0xDD, "arrowdblup", 0x21D1},
    {0xDE, "arrowdblright", 0x21D2},   {0xDF, "arrowdbldown", 0x21D3},
    {0xE0, "lozenge", 0x25CA},         {0xE1, "angleleft", 0x2329},
    {0xE2, "registersans", 0x00AE},    {0xE3, "copyrightsans", 0x00A9},
    {0xE4, "trademarksans", 0x2122},   {0xE5, "summation", 0x2211},
    {0xE6, "parenlefttp", 0x239B},     {0xE7, "parenleftex", 0x239C},
    {0xE8, "parenleftbt", 0x239D},     {0xE9, "bracketlefttp", 0x23A1},
    {0xEA, "bracketleftex", 0x23A2},   {0xEB, "bracketleftbt", 0x23A3},
    {0xEC, "bracelefttp", 0x23A7},     {0xED, "braceleftmid", 0x23A8},
    {0xEE, "braceleftbt", 0x23A9},     {0xEF, "braceex", 0x23AA},
    {0xF1, "angleright", 0x232A},      {0xF2, "integral", 0x222B},
    {0xF3, "integraltp", 0x2320},      {0xF4, "integralex", 0x23AE},
    {0xF5, "integralbt", 0x2321},      {0xF6, "parenrighttp", 0x239E},
    {0xF7, "parenrightex", 0x239F},    {0xF8, "parenrightbt", 0x23A0},
    {0xF9, "bracketrighttp", 0x23A4},  {0xFA, "bracketrightex", 0x23A5},
    {0xFB, "bracketrightbt", 0x23A6},  {0xFC, "bracerighttp", 0x23AB},
    {0xFD, "bracerightmid", 0x23AC},   {0xFE, "bracerightbt", 0x23AD},
};

// PDFDocEncoding where it is not Latin-1: the accents below 0x20 and the
// typographic block 0x80 to 0xA0.
constexpr NamedCode pdf_doc_codes[] = {
    {0x18, "breve", 0x02D8},
    {0x19, "caron", 0x02C7},           {0x1A, "circumflex", 0x02C6},
    {0x1B, "dotaccent", 0x02D9},       {0x1C, "hungarumlaut", 0x02DD},
    {0x1D, "ogonek", 0x02DB},          {0x1E, "ring", 0x02DA},
    {0x1F, "tilde", 0x02DC},           {0x80, "bullet", 0x2022},
    {0x81, "dagger", 0x2020},          {0x82, "daggerdbl", 0x2021},
    {0x83, "ellipsis", 0x2026},        {0x84, "emdash", 0x2014},
    {0x85, "endash", 0x2013},          {0x86, "florin", 0x0192},
    {0x87, "fraction", 0x2044},        {0x88, "guilsinglleft", 0x2039},
    {0x89, "guilsinglright", 0x203A},  {0x8A, "minus", 0x2212},
    {0x8B, "perthousand", 0x2030},     {0x8C, "quotedblbase", 0x201E},
    {0x8D, "quotedblleft", 0x201C},    {0x8E, "quotedblright", 0x201D},
    {0x8F, "quoteleft", 0x2018},       {0x90, "quoteright", 0x2019},
    {0x91, "quotesinglbase", 0x201A},  {0x92, "trademark", 0x2122},
    {0x93, "fi", 0xFB01},              {0x94, "fl", 0xFB02},
    {0x95, "Lslash", 0x0141},          {0x96, "OE", 0x0152},
    {0x97, "Scaron", 0x0160},          {0x98, "Ydieresis", 0x0178},
    {0x99, "Zcaron", 0x017D},          {0x9A, "dotlessi", 0x0131},
    {0x9B, "lslash", 0x0142},          {0x9C, "oe", 0x0153},
    {0x9D, "scaron", 0x0161},          {0x9E, "zcaron", 0x017E},
    {0xA0, "Euro", 0x20AC},
};

constexpr bool is_control(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

EncodingTable printable_ascii() {
  EncodingTable table{};
  for (char32_t c = 0x20; c < 0x7F; ++c) table[c] = c;
  return table;
}

template <size_t N>
void apply(EncodingTable& table, const NamedCode (&codes)[N]) {
  for (const auto& entry : codes) table[entry.code] = entry.cp;
}

// WinAnsi and MacRoman come from ICU's Windows-1252 and Mac OS Roman
// converters. Codes that ICU turns into C0/C1 controls are the ones these
// encodings leave undefined, so they stay 0. Without the converter only
// ASCII is known, which still reads most text.
EncodingTable icu_table(const char* converter_name) {
  EncodingTable table = printable_ascii();
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(converter_name, &status);
  if (!converter || U_FAILURE(status)) {
    if (converter) ucnv_close(converter);
    return table;
  }
  for (int code = 0x80; code < 0x100; ++code) {
    const char byte = char(code);
    UChar unit[2] = {};
    status = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t length = ucnv_toUChars(converter, unit, 2, &byte, 1, &status);
    if (U_SUCCESS(status) && length == 1 && !is_control(unit[0])) table[code] = unit[0];
  }
  ucnv_close(converter);
  return table;
}

EncodingTable make_standard() {
  EncodingTable table = printable_ascii();
  apply(table, standard_codes);
  return table;
}

EncodingTable make_win_ansi() {
  EncodingTable table = icu_table("windows-1252");
  // The PDF standard names this glyph "hyphen"; the soft hyphen that
  // Windows-1252 puts here would vanish from extracted text.
  table[0xAD] = 0x002D;
  return table;
}

EncodingTable make_mac_roman() {
  EncodingTable table = icu_table("macintosh");
  // The PDF standard's MacRomanEncoding predates the euro at this code, and
  // the Apple logo lives in the private use area.
  table[0xDB] = 0x00A4;
  table[0xF0] = 0;
  return table;
}

EncodingTable make_pdf_doc() {
  EncodingTable table{};
  for (char32_t c = 0x20; c < 0x7F; ++c) table[c] = c;
  for (char32_t c = 0xA1; c <= 0xFF; ++c) table[c] = c;
  table[0xAD] = 0;  // undefined in PDFDocEncoding
  for (char32_t c : {0x09, 0x0A, 0x0D}) table[c] = c;  // TAB, LF and CR are themselves
  apply(table, pdf_doc_codes);
  return table;
}

EncodingTable make_symbol() {
  EncodingTable table{};
  apply(table, symbol_codes);
  return table;
}

using NameTable = std::vector<std::pair<std::string_view, char32_t>>;

NameTable make_name_table() {
  NameTable names;
  for (const auto& e : standard_codes) names.emplace_back(e.name, e.cp);
  for (const auto& e : symbol_codes) names.emplace_back(e.name, e.cp);
  // Sorted by name, the first entry of a name kept (the tables agree on the
  // names they share).
  std::stable_sort(names.begin(), names.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  names.erase(std::unique(names.begin(), names.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              names.end());
  return names;
}

}  // namespace

const EncodingTable& base_encoding_table(BaseEncoding encoding) {
  static const EncodingTable standard = make_standard();
  static const EncodingTable win_ansi = make_win_ansi();
  static const EncodingTable mac_roman = make_mac_roman();
  static const EncodingTable pdf_doc = make_pdf_doc();
  static const EncodingTable symbol = make_symbol();
  switch (encoding) {
    case BaseEncoding::win_ansi: return win_ansi;
    case BaseEncoding::mac_roman: return mac_roman;
    case BaseEncoding::pdf_doc: return pdf_doc;
    case BaseEncoding::symbol: return symbol;
    case BaseEncoding::standard: break;
  }
  return standard;
}

std::optional<BaseEncoding> base_encoding_named(std::string_view name) {
  if (name == "StandardEncoding") return BaseEncoding::standard;
  if (name == "WinAnsiEncoding") return BaseEncoding::win_ansi;
  if (name == "MacRomanEncoding") return BaseEncoding::mac_roman;
  if (name == "PDFDocEncoding") return BaseEncoding::pdf_doc;
  return std::nullopt;
}

std::optional<char32_t> base_glyph_code_point(std::string_view name) {
  static const NameTable names = make_name_table();
  const auto it = std::lower_bound(names.begin(), names.end(), name,
                                   [](const auto& entry, std::string_view key) { return entry.first < key; });
  if (it == names.end() || it->first != name) return std::nullopt;
  return it->second;
}

}  // namespace quirelle
