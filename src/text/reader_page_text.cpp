#include "text/reader_page_text.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/access.h"
#include "document/saved_states.h"
#include "document/content_operations.h"
#include "document/page_access.h"
#include "document/stream_filters.h"
#include "text/base_encodings.h"
#include "text/glyph_names.h"
#include "text/normalise.h"
#include "text/tounicode.h"
#include "text/utf8.h"

namespace quirelle {
namespace {

// Layout thresholds, in multiples of the font size (ems).
constexpr float new_line_offset_em = 0.5f;  // baseline offset across the line that starts a new line
constexpr float space_gap_em = 0.15f;       // gap along the line that becomes a space (a space is ~0.25)
constexpr float backward_jump_em = 1.0f;    // a jump back along the line this far also separates
// TJ adjustments are in thousandths of an em; a kerning pair is far smaller,
// while justified text (InDesign) writes its spaces as -210 to -216.
constexpr float tj_space_thousandths = -200.0f;
// The same text shown again within this distance of where it was just shown
// is simulated bold (drawn several times, slightly offset), read once.
constexpr float overprint_distance_em = 0.1f;
// Text that turns by more than about 25 degrees is on another line.
constexpr float same_direction_cosine = 0.9f;
// Font sizes below this (points) are degenerate; they must not make every
// show a new line.
constexpr float min_font_size_pt = 1.0f;
// Advance of a glyph whose font gives no width (standard fonts without
// Widths), in ems: an average Latin glyph.
constexpr float estimated_glyph_width_em = 0.5f;
constexpr float default_cid_width_em = 1.0f;  // DW when a CIDFont has none
// Characters before the Hangul Jamo block are taken as half-width when a
// CJK encoding gives no CID to look a width up by.
constexpr char32_t first_full_width_character = 0x1100;
constexpr float half_width_em = 0.5f;
// Vertical writing advances one em down (W2 is not read: a fallback).
constexpr float vertical_advance_em = 1.0f;
constexpr float glyph_units_per_em = 1000.0f;

// Bounds that keep crafted content from costing more than linear work.
constexpr int max_form_depth = 8;             // Form XObjects inside Form XObjects
// Work per page: one unit per operation and per shown byte, and
// form_call_work per Form XObject drawn (its state and resources are copied).
// Real pages stay far below; a crafted tree of forms stops here.
constexpr uint64_t max_work = uint64_t(1) << 24;
constexpr uint64_t form_call_work = 16;
constexpr size_t max_cid_widths = 65536;      // W entries per font (a two-byte code space)

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

struct ReaderFont {
  bool composite = false;
  // One-byte fonts: the normalised text and the advance (ems) of each code.
  std::array<std::string, 256> code_text;
  std::array<float, 256> widths{};
  // Composite fonts: the ToUnicode map, then either the converter of a
  // predefined CJK CMap or two-byte Identity codes with widths from W.
  CodeTextMap to_unicode;
  Converter converter;
  bool jis_row_cell = false;  // the plain JIS CMaps: 7-bit bytes of EUC-JP
  bool vertical = false;
  std::unordered_map<uint32_t, float> cid_widths;
  float default_width = default_cid_width_em;
};

std::string normalised(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) append_normalised(out, next_code_point(utf8, i));
  return out;
}

std::string normalised(char32_t cp) {
  std::string out;
  append_normalised(out, cp);
  return out;
}

std::string_view without_subset_prefix(std::string_view name) {
  if (name.size() > 7 && name[6] == '+' &&
      std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; }))
    return name.substr(7);
  return name;
}

// Symbol, Symbol,Bold, SymbolMT (the TrueType clone): all use the Symbol
// font's own encoding when the font dictionary names none.
bool is_symbol_font(std::string_view base_font) {
  std::string_view name = without_subset_prefix(base_font);
  name = name.substr(0, name.find_first_of(",-"));
  return name == "Symbol" || name == "SymbolMT";
}

CodeTextMap load_to_unicode(const Document& doc, const Dictionary& font) {
  const Stream* stream = as_stream(resolved_entry(doc, font, "ToUnicode"));
  if (!stream) return {};
  auto bytes = decoded_stream(doc, *stream);
  if (!bytes.ok()) return {};
  return parse_tounicode(*bytes.value);
}

// The text of a Differences glyph name: the general glyph-name table, then
// the names of the base encodings, each also for the name without a variant
// suffix ("a.sc", "one.oldstyle").
std::string differences_text(std::string_view name) {
  for (std::string_view candidate : {name, name.substr(0, name.find('.'))}) {
    if (candidate.empty()) continue;
    if (auto text = glyph_text(candidate)) return normalised(*text);
    if (auto cp = base_glyph_code_point(candidate)) return normalised(*cp);
  }
  return {};
}

void load_simple_font(const Document& doc, const Dictionary& dict, ReaderFont& font) {
  const Object* encoding = resolved_entry(doc, dict, "Encoding");
  std::optional<BaseEncoding> base;
  const Array* differences = nullptr;
  if (auto name = as_name(encoding)) {
    base = base_encoding_named(*name);
  } else if (const Dictionary* encoding_dict = as_dict(encoding)) {
    if (auto name = as_name(resolved_entry(doc, *encoding_dict, "BaseEncoding")))
      base = base_encoding_named(*name);
    differences = array_entry(doc, *encoding_dict, "Differences");
  }
  if (!base) {
    auto base_font = as_name(resolved_entry(doc, dict, "BaseFont"));
    base = base_font && is_symbol_font(*base_font) ? BaseEncoding::symbol : BaseEncoding::standard;
  }
  const EncodingTable& table = base_encoding_table(*base);
  for (size_t code = 0; code < 256; ++code)
    if (table[code] != 0) font.code_text[code] = normalised(table[code]);

  if (differences) {
    int64_t code = -1;
    for (const Object& item : differences->items) {
      const Object* entry = resolve_object(doc, &item);
      if (auto number = as_integer(entry)) {
        code = *number;
      } else if (auto name = as_name(entry)) {
        // An unknown name keeps the base text: a guess beats a hole here.
        if (code >= 0 && code < 256) {
          std::string text = differences_text(*name);
          if (!text.empty()) font.code_text[size_t(code)] = std::move(text);
        }
        if (code >= 0) ++code;
      }
    }
  }

  for (const auto& [code, text] : load_to_unicode(doc, dict)) {
    if (code >= 256) continue;
    std::string mapped = normalised(text);
    if (!mapped.empty()) font.code_text[code] = std::move(mapped);  // empty entries are damage
  }

  // Widths are in glyph units: thousandths of an em, or the FontMatrix scale
  // for Type 3 fonts.
  float em_per_unit = 1.0f / glyph_units_per_em;
  if (as_name(resolved_entry(doc, dict, "Subtype")) == "Type3") {
    if (const Array* matrix = array_entry(doc, dict, "FontMatrix")) {
      const float scale = std::fabs(matrix_of(matrix)[0]);
      if (scale > 0 && std::isfinite(scale)) em_per_unit = scale;
    }
  }
  const Array* widths = array_entry(doc, dict, "Widths");
  float missing = estimated_glyph_width_em;
  if (const Dictionary* descriptor = dict_entry(doc, dict, "FontDescriptor")) {
    const float width = number_of(resolved_entry(doc, *descriptor, "MissingWidth"));
    if (width > 0) missing = width * em_per_unit;
  }
  font.widths.fill(missing);
  if (widths) {
    const int64_t first = as_integer(resolved_entry(doc, dict, "FirstChar")).value_or(0);
    for (size_t i = 0; i < widths->items.size(); ++i) {
      const int64_t code = first + int64_t(i);
      if (code < 0 || code > 255) continue;
      font.widths[size_t(code)] = number_of(resolve_object(doc, &widths->items[i])) * em_per_unit;
    }
  }
}

void load_cid_widths(const Document& doc, const Dictionary& cid_font, ReaderFont& font) {
  if (const Object* dw = resolved_entry(doc, cid_font, "DW"); is_number(dw))
    font.default_width = number_of(dw) / glyph_units_per_em;
  const Array* w = array_entry(doc, cid_font, "W");
  if (!w) return;
  const auto& items = w->items;
  size_t i = 0;
  // Forms: c [w1 w2 ...] and c_first c_last w.
  while (i + 1 < items.size() && font.cid_widths.size() < max_cid_widths) {
    const auto first = as_integer(resolve_object(doc, &items[i]));
    const Object* next = resolve_object(doc, &items[i + 1]);
    if (!first || *first < 0) {
      ++i;
      continue;
    }
    if (const Array* list = as_array(next)) {
      for (size_t k = 0; k < list->items.size() && font.cid_widths.size() < max_cid_widths; ++k)
        font.cid_widths[uint32_t(*first + int64_t(k))] =
            number_of(resolve_object(doc, &list->items[k])) / glyph_units_per_em;
      i += 2;
    } else if (i + 2 < items.size()) {
      const int64_t last = std::min<int64_t>(as_integer(next).value_or(-1), UINT32_MAX);
      const float width = number_of(resolve_object(doc, &items[i + 2])) / glyph_units_per_em;
      for (int64_t c = *first; c <= last && font.cid_widths.size() < max_cid_widths; ++c)
        font.cid_widths[uint32_t(c)] = width;
      i += 3;
    } else {
      break;
    }
  }
}

// The name of a composite font's CMap: the Encoding name, or for an
// embedded CMap its CMapName (or the CMap it builds on).
std::string_view cmap_name(const Document& doc, const Dictionary& font) {
  const Object* encoding = resolved_entry(doc, font, "Encoding");
  if (auto name = as_name(encoding)) return *name;
  if (const Stream* stream = as_stream(encoding)) {
    if (auto name = as_name(resolved_entry(doc, stream->dict, "CMapName"))) return *name;
    if (auto name = as_name(resolved_entry(doc, stream->dict, "UseCMap"))) return *name;
  }
  return {};
}

struct CjkEncoding {
  const char* converter = nullptr;  // an ICU converter name
  bool jis_row_cell = false;
};

// The character encoding behind a predefined CJK CMap (ISO 32000, table of
// predefined CMaps), which ICU can decode without the CMap files. Identity
// and unknown CMaps give none.
CjkEncoding cjk_encoding(std::string_view cmap) {
  std::string_view base = cmap;
  if (base.ends_with("-H") || base.ends_with("-V")) base.remove_suffix(2);
  auto has = [&](std::string_view part) { return base.find(part) != std::string_view::npos; };
  if (base.starts_with("Uni")) {
    if (has("UTF8")) return {"UTF-8"};
    if (has("UTF32")) return {"UTF-32BE"};
    if (has("UCS2") || has("UTF16")) return {"UTF-16BE"};
    return {};
  }
  if (has("RKSJ")) return {"windows-31j"};
  if (base == "EUC" || base == "78-EUC") return {"EUC-JP"};
  if (cmap == "H" || cmap == "V" || base == "78" || base == "Add" || base == "Ext" || base == "NWP")
    return {"EUC-JP", true};
  if (base.starts_with("GBK2K")) return {"GB18030"};
  if (base.starts_with("GB")) return {"GBK"};
  if (base.starts_with("HK")) return {"Big5-HKSCS"};
  if (has("B5")) return {"Big5"};
  if (base.starts_with("CNS-EUC")) return {"EUC-TW"};
  if (base.starts_with("KSC") && !has("Johab")) return {"windows-949"};
  return {};
}

ReaderFont load_font(const Document& doc, const Dictionary& dict) {
  ReaderFont font;
  if (as_name(resolved_entry(doc, dict, "Subtype")) != "Type0") {
    load_simple_font(doc, dict, font);
    return font;
  }
  font.composite = true;
  font.to_unicode = load_to_unicode(doc, dict);
  const std::string_view cmap = cmap_name(doc, dict);
  font.vertical = cmap == "V" || cmap.ends_with("-V");
  if (const CjkEncoding encoding = cjk_encoding(cmap); encoding.converter) {
    UErrorCode status = U_ZERO_ERROR;
    font.converter.reset(ucnv_open(encoding.converter, &status));
    if (U_FAILURE(status)) font.converter.reset();
    font.jis_row_cell = encoding.jis_row_cell;
  }
  if (const Array* descendants = array_entry(doc, dict, "DescendantFonts"); descendants && !descendants->items.empty())
    if (const Dictionary* cid_font = as_dict(resolve_object(doc, &descendants->items[0])))
      load_cid_widths(doc, *cid_font, font);
  return font;
}

// Text shown with no usable font reads as StandardEncoding.
ReaderFont standard_font() {
  ReaderFont font;
  const EncodingTable& table = base_encoding_table(BaseEncoding::standard);
  for (size_t code = 0; code < 256; ++code)
    if (table[code] != 0) font.code_text[code] = normalised(table[code]);
  font.widths.fill(estimated_glyph_width_em);
  return font;
}

struct TextState {
  const ReaderFont* font = nullptr;
  float font_size = 0;
  float char_spacing = 0;
  float word_spacing = 0;
  float horizontal_scale = 1;
  float leading = 0;
};

struct GraphicsState {
  Matrix ctm = identity_matrix;
  TextState text;
};

// Resources dictionaries to search, nearest first: a form's own, then
// those of whatever drew it, then the page's and its ancestors'.
using Scope = std::vector<const Dictionary*>;

// How a shown piece of text joins the text before it.
enum class Join { by_position, space, none };

struct PageReader {
  explicit PageReader(const Document& d) : doc(d) {}
  const Document& doc;
  ReaderFont fallback_font = standard_font();
  std::unordered_map<const Dictionary*, ReaderFont> fonts;
  std::unordered_map<const Stream*, Operations> forms;
  std::string out;
  uint64_t work = 0;
  // The last piece that gave text: where it started and ended in page
  // space, its writing direction (a unit vector), font size and text.
  bool has_last = false;
  float last_start_x = 0, last_start_y = 0;
  float last_x = 0, last_y = 0, last_dx = 1, last_dy = 0, last_size = 0;
  std::string last_text;
};

const Object* resource(const PageReader& reader, const Scope& scope, std::string_view category,
                       std::string_view name) {
  for (const Dictionary* resources : scope) {
    const Dictionary* group = dict_entry(reader.doc, *resources, category);
    if (!group) continue;
    if (const Object* found = resolved_entry(reader.doc, *group, name)) return found;
  }
  return nullptr;
}

const ReaderFont* font_named(PageReader& reader, const Scope& scope, std::string_view name) {
  const Dictionary* dict = as_dict(resource(reader, scope, "Font", name));
  if (!dict) return nullptr;
  auto it = reader.fonts.find(dict);
  if (it == reader.fonts.end()) it = reader.fonts.emplace(dict, load_font(reader.doc, *dict)).first;
  return &it->second;
}

void append_space(std::string& out) {
  if (!out.empty() && out.back() != ' ' && out.back() != '\n') out += ' ';
}

void append_new_line(std::string& out) {
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (!out.empty() && out.back() != '\n') out += '\n';
}

// Moves the text matrix along the writing direction by `distance` (text
// space units, before horizontal scaling).
void move_text(Matrix& tm, bool vertical, float distance, float horizontal_scale) {
  if (vertical) {
    tm[4] -= distance * tm[2];
    tm[5] -= distance * tm[3];
  } else {
    tm[4] += distance * horizontal_scale * tm[0];
    tm[5] += distance * horizontal_scale * tm[1];
  }
}

bool append_mapped(std::string& text, const CodeTextMap& to_unicode, uint32_t code) {
  auto mapped = to_unicode.find(code);
  if (mapped == to_unicode.end() || mapped->second.empty()) return false;
  text += normalised(mapped->second);
  return true;
}

// Codes of a predefined CJK CMap: ICU splits them (one to four bytes) and
// decodes them; ToUnicode still wins for the codes it maps.
template <class Advance>
void decode_with_converter(const ReaderFont& font, std::string_view bytes, std::string& text, Advance advance) {
  UConverter* converter = font.converter.get();
  std::string shifted;
  if (font.jis_row_cell) {
    shifted.assign(bytes);
    for (char& byte : shifted) byte = char(uint8_t(byte) | 0x80);
    bytes = shifted;
  }
  ucnv_resetToUnicode(converter);
  const char* source = bytes.data();
  const char* const limit = bytes.data() + bytes.size();
  while (source < limit) {
    const char* const code_start = source;
    UErrorCode status = U_ZERO_ERROR;
    const UChar32 cp = ucnv_getNextUChar(converter, &source, limit, &status);
    if (source <= code_start) source = code_start + 1;  // always advance
    uint32_t code = 0;
    for (const char* p = code_start; p < source && p < code_start + 4; ++p) code = (code << 8) | uint8_t(*p);
    if (font.jis_row_cell) code &= 0x7F7F7F7F;
    const bool decoded = U_SUCCESS(status) && cp >= 0 && cp != 0xFFFD && cp != 0x1A;
    if (!append_mapped(text, font.to_unicode, code) && decoded) append_normalised(text, char32_t(cp));
    if (U_FAILURE(status)) ucnv_resetToUnicode(converter);
    const bool half = decoded ? char32_t(cp) < first_full_width_character : source - code_start == 1;
    advance(half ? half_width_em : font.default_width, source - code_start == 1 && *code_start == ' ');
  }
}

// Decodes and appends one string of a show operator, moving the text matrix
// past it. Returns whether it gave any text.
bool show_piece(PageReader& reader, const TextState& state, const Matrix& ctm, Matrix& tm,
                std::string_view bytes, Join join) {
  reader.work += bytes.size();
  const ReaderFont& font = state.font ? *state.font : reader.fallback_font;
  const Matrix start = concat_matrix(tm, ctm);
  const auto advance = [&](float width_em, bool word_space) {
    const float extent = font.vertical ? vertical_advance_em : width_em;
    move_text(tm, font.vertical,
              extent * state.font_size + state.char_spacing + (word_space ? state.word_spacing : 0),
              state.horizontal_scale);
  };

  std::string text;
  if (font.converter) {
    decode_with_converter(font, bytes, text, advance);
  } else if (font.composite) {
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const uint32_t code = (uint32_t(uint8_t(bytes[i])) << 8) | uint8_t(bytes[i + 1]);
      if (!append_mapped(text, font.to_unicode, code) && is_scalar_value(code))
        append_normalised(text, code);  // Identity: the code is the character
      auto width = font.cid_widths.find(code);
      advance(width != font.cid_widths.end() ? width->second : font.default_width, false);
    }
  } else {
    for (char byte : bytes) {
      const uint8_t code = uint8_t(byte);
      text += font.code_text[code];
      advance(font.widths[code], code == ' ');
    }
  }
  if (text.empty()) return false;

  const Matrix end = concat_matrix(tm, ctm);
  // The writing direction in page space: text space x, or down for
  // vertical writing.
  float dx = font.vertical ? -start[2] : start[0], dy = font.vertical ? -start[3] : start[1];
  const float length = std::hypot(dx, dy);
  if (length > 0 && std::isfinite(length)) {
    dx /= length;
    dy /= length;
  } else {
    dx = 1;
    dy = 0;
  }
  const float size = std::max(std::fabs(state.font_size) * std::hypot(start[font.vertical ? 0 : 2], start[font.vertical ? 1 : 3]),
                              min_font_size_pt);

  if (reader.has_last && text == reader.last_text &&
      std::hypot(start[4] - reader.last_start_x, start[5] - reader.last_start_y) <
          overprint_distance_em * std::max(size, reader.last_size))
    return true;

  std::string& out = reader.out;
  if (reader.has_last && join == Join::space) {
    append_space(out);
  } else if (reader.has_last && join == Join::by_position) {
    const float em = std::max(size, reader.last_size);
    const float ox = start[4] - reader.last_x, oy = start[5] - reader.last_y;
    const float across = reader.last_dx * oy - reader.last_dy * ox;
    const float along = reader.last_dx * ox + reader.last_dy * oy;
    const bool turned = dx * reader.last_dx + dy * reader.last_dy < same_direction_cosine;
    if (turned || std::fabs(across) > new_line_offset_em * em)
      append_new_line(out);
    else if (along > space_gap_em * em || along < -backward_jump_em * em)
      append_space(out);
  }
  // One space at most between words, none at the start of a line.
  std::string_view piece = text;
  if (out.empty() || out.back() == ' ' || out.back() == '\n')
    piece.remove_prefix(std::min(piece.find_first_not_of(' '), piece.size()));
  out += piece;

  reader.has_last = true;
  reader.last_start_x = start[4];
  reader.last_start_y = start[5];
  reader.last_text = std::move(text);
  reader.last_x = end[4];
  reader.last_y = end[5];
  reader.last_dx = dx;
  reader.last_dy = dy;
  reader.last_size = size;
  return true;
}

// The i-th of the last n operands (operators read their operands from the
// end, so stray extra operands in front do no harm), or null.
const Object* operand(std::span<const Object> operands, size_t i, size_t n) {
  return operands.size() >= n ? &operands[operands.size() - n + i] : nullptr;
}

void move_line(Matrix& tm, Matrix& tlm, float tx, float ty) {
  tlm[4] += tx * tlm[0] + ty * tlm[2];
  tlm[5] += tx * tlm[1] + ty * tlm[3];
  tm = tlm;
}

const Operations& form_operations(PageReader& reader, const Stream& form) {
  auto it = reader.forms.find(&form);
  if (it != reader.forms.end()) return it->second;
  Operations ops;
  auto bytes = decoded_stream(reader.doc, form);
  if (bytes.ok()) ops = decode_operations(*bytes.value);
  return reader.forms.emplace(&form, std::move(ops)).first->second;
}

void run_operations(PageReader& reader, const Operations& ops, const Scope& scope, GraphicsState gs,
                    int form_depth) {
  SavedStates<GraphicsState> saved;
  Matrix tm = identity_matrix, tlm = identity_matrix;

  for (const Operation& op : ops.ops) {
    if (++reader.work > max_work) return;
    const auto operands = ops.operands_of(op);
    auto number = [&](size_t i, size_t n) { return number_of(operand(operands, i, n)); };
    auto show = [&](const Object* string_operand) {
      if (auto bytes = as_string(string_operand))
        show_piece(reader, gs.text, gs.ctm, tm, *bytes, Join::by_position);
    };
    const std::string_view name = op.op;

    if (name == "Tj") {
      show(operand(operands, 0, 1));
    } else if (name == "TJ") {
      const Array* items = as_array(operand(operands, 0, 1));
      if (!items) continue;
      Join join = Join::by_position;
      for (const Object& item : items->items) {
        if (auto bytes = as_string(&item)) {
          if (show_piece(reader, gs.text, gs.ctm, tm, *bytes, join)) join = Join::none;
        } else if (is_number(&item)) {
          const float adjustment = number_of(&item);
          const bool vertical = gs.text.font && gs.text.font->vertical;
          move_text(tm, vertical, -adjustment / glyph_units_per_em * gs.text.font_size, gs.text.horizontal_scale);
          if (adjustment < tj_space_thousandths && join == Join::none) join = Join::space;
        }
      }
    } else if (name == "'") {
      move_line(tm, tlm, 0, -gs.text.leading);
      show(operand(operands, 0, 1));
    } else if (name == "\"") {
      gs.text.word_spacing = number(0, 3);
      gs.text.char_spacing = number(1, 3);
      move_line(tm, tlm, 0, -gs.text.leading);
      show(operand(operands, 2, 3));
    } else if (name == "Td") {
      move_line(tm, tlm, number(0, 2), number(1, 2));
    } else if (name == "TD") {
      gs.text.leading = -number(1, 2);
      move_line(tm, tlm, number(0, 2), number(1, 2));
    } else if (name == "T*") {
      move_line(tm, tlm, 0, -gs.text.leading);
    } else if (name == "Tm") {
      if (operands.size() >= 6) {
        for (size_t i = 0; i < 6; ++i) tm[i] = number(i, 6);
        tlm = tm;
      }
    } else if (name == "BT") {
      tm = tlm = identity_matrix;
    } else if (name == "Tf") {
      if (auto font = as_name(operand(operands, 0, 2))) gs.text.font = font_named(reader, scope, *font);
      gs.text.font_size = number(1, 2);
    } else if (name == "Tc") {
      gs.text.char_spacing = number(0, 1);
    } else if (name == "Tw") {
      gs.text.word_spacing = number(0, 1);
    } else if (name == "Tz") {
      gs.text.horizontal_scale = number(0, 1) / 100.0f;
    } else if (name == "TL") {
      gs.text.leading = number(0, 1);
    } else if (name == "cm") {
      if (operands.size() >= 6) {
        Matrix m;
        for (size_t i = 0; i < 6; ++i) m[i] = number(i, 6);
        gs.ctm = concat_matrix(m, gs.ctm);
      }
    } else if (name == "q") {
      saved.push(gs);
    } else if (name == "Q") {
      saved.pop(gs);
    } else if (name == "Do") {
      if (form_depth >= max_form_depth) continue;
      reader.work += form_call_work;
      auto xobject_name = as_name(operand(operands, 0, 1));
      if (!xobject_name) continue;
      const Stream* form = as_stream(resource(reader, scope, "XObject", *xobject_name));
      if (!form || as_name(resolved_entry(reader.doc, form->dict, "Subtype")) != "Form") continue;
      Scope inner = scope;
      if (const Dictionary* own = dict_entry(reader.doc, form->dict, "Resources"))
        inner.insert(inner.begin(), own);
      GraphicsState inner_state = gs;
      if (const Array* matrix = array_entry(reader.doc, form->dict, "Matrix"))
        inner_state.ctm = concat_matrix(matrix_of(matrix), gs.ctm);
      run_operations(reader, form_operations(reader, *form), inner, inner_state, form_depth + 1);
    }
  }
}

}  // namespace

Outcome<std::string> reader_page_text(const Document& doc, uint32_t page_number) {
  const ObjectId* page = page_id(doc, page_number);
  if (!page) return Outcome<std::string>::failure("no page " + std::to_string(page_number));
  auto content = page_content_bytes(doc, *page);
  if (!content.ok()) return Outcome<std::string>::failure(content.error);

  Scope scope;
  const PageResources resources = page_resource_dicts(doc, *page);
  if (resources.own) scope.push_back(resources.own);
  for (ObjectId ancestor : resources.ancestors_with_resources)
    if (const Dictionary* node = dict_by_id(doc, ancestor))
      if (const Dictionary* inherited = dict_entry(doc, *node, "Resources")) scope.push_back(inherited);

  PageReader reader(doc);
  const Operations ops = decode_operations(*content.value);
  run_operations(reader, ops, scope, GraphicsState{}, 0);

  std::string& out = reader.out;
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\t' || out.back() == '\r'))
    out.pop_back();
  return Outcome<std::string>::success(std::move(out));
}

}  // namespace quirelle
