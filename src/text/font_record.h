#pragma once

// A font as the text interpreter needs it: how codes become text, how far
// each glyph advances, and the style flags that travel on every span.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "document/object.h"
#include "document/resource_name_hash.h"
#include "text/tounicode.h"

namespace quirelle {

struct FontRecord {
  // From the ToUnicode CMap. Absent when the font has none that could be
  // read; present (possibly empty) once a stream was parsed.
  std::optional<CodeTextMap> tounicode;
  // From the Differences of the Encoding, or else from the built-in encoding
  // of an embedded Type 1 program.
  CodeTextMap encoding;
  // Glyph widths in thousandths of the text-space unit.
  std::unordered_map<uint32_t, float> widths;
  float default_width = 500;  // thousandths of the text-space unit
  bool two_byte = false;      // Type0: every code is two bytes, big-endian
  bool tex_text = false;      // TeX text font without ToUnicode (OT1 layout)
  bool bold = false;
  bool italic = false;
  bool mono = false;
};

// Font resource name (the bytes of the Name) to font, compared byte for byte.
// Records are immutable once loaded, so pages that name the same font
// dictionary may share one.
using PageFontMap =
    std::unordered_map<std::string, std::shared_ptr<const FontRecord>, ResourceNameHash, std::equal_to<>>;

// Fonts already loaded during one call, by font dictionary: a document of
// thousands of pages loads each font once instead of once per page.
using FontCache = std::unordered_map<const Dictionary*, std::shared_ptr<const FontRecord>>;

}  // namespace quirelle
