#pragma once

// The built-in encoding of an embedded Type 1 font program, read from the
// cleartext part of the program ("dup <code> /<glyph> put" entries).

#include <string_view>

#include "text/tounicode.h"

namespace quirelle {

// `program` is the FontFile stream data. Only the text before "eexec" is
// read: the encrypted part is never decrypted. Glyph names become text
// through the glyph-name table; unknown single ASCII letters and digits
// stand for themselves. Later entries for a code replace earlier ones.
CodeTextMap type1_builtin_encoding(std::string_view program);

}  // namespace quirelle
