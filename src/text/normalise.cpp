#include "text/normalise.h"

#include "text/utf8.h"

namespace quirelle {

void append_normalised(std::string& out, char32_t cp) {
  switch (cp) {
    // Ligatures become letters so words can be searched and compared.
    case 0xFB00: out += "ff"; return;
    case 0xFB01: out += "fi"; return;
    case 0xFB02: out += "fl"; return;
    case 0xFB03: out += "ffi"; return;
    case 0xFB04: out += "ffl"; return;
    case 0xFB05:  // long s + t
    case 0xFB06: out += "st"; return;

    // Invisible joiners and byte-order marks only split words apart.
    case 0xFEFF:
    case 0x200C:
    case 0x200D: return;

    // No-break, thin, zero-width and narrow no-break spaces all separate
    // words; one plain space keeps later word splitting simple.
    case 0x00A0:
    case 0x2009:
    case 0x200B:
    case 0x202F: out += ' '; return;

    case '\t':
    case '\n':
    case '\r': out += static_cast<char>(cp); return;

    default: break;
  }
  // Other C0 controls (often the result of unmapped low codes) would only
  // corrupt the text and the HTML.
  if (cp < 0x20) return;
  append_utf8(out, cp);
}

}  // namespace quirelle
