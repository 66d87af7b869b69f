#pragma once

// The filter every decoded character passes through before it joins a span.

#include <string>

namespace quirelle {

// Appends `cp` to `out` after normalising it: Latin ligatures U+FB00 to
// U+FB06 become their ASCII letters, no-break and thin spaces become a plain
// space, zero-width marks (BOM, ZWNJ, ZWJ) and C0 controls other than TAB,
// LF and CR are dropped. Everything else is appended unchanged.
void append_normalised(std::string& out, char32_t cp);

}  // namespace quirelle
