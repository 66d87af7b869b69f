#pragma once

// The standard single-byte base encodings of ISO 32000 (Annex D) and the
// built-in encoding of the Symbol font, as tables from code to Unicode code
// point. Only the page-text fallback uses them: the main text engine reads
// uncovered codes as code points on purpose.

#include <array>
#include <optional>
#include <string_view>

namespace quirelle {

enum class BaseEncoding { standard, win_ansi, mac_roman, pdf_doc, symbol };

// 256 entries, code to code point; 0 marks a code the encoding leaves
// undefined (control codes included). Ligature codes such as StandardEncoding
// 0xAE (fi) give the Unicode ligature, which the character filter spells out.
using EncodingTable = std::array<char32_t, 256>;

// Built once, then read-only: safe to use from any thread.
const EncodingTable& base_encoding_table(BaseEncoding encoding);

// The encoding an Encoding or BaseEncoding name stands for: StandardEncoding,
// WinAnsiEncoding, MacRomanEncoding or PDFDocEncoding. Other names (such as
// MacExpertEncoding) give nothing.
std::optional<BaseEncoding> base_encoding_named(std::string_view name);

// The code point of a glyph name of the StandardEncoding or Symbol tables
// ("alpha", "Delta", "notequal", "quoteright"...), for Differences entries
// that the general glyph-name table does not know. Unknown names give nothing.
std::optional<char32_t> base_glyph_code_point(std::string_view name);

}  // namespace quirelle
