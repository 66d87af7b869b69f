#pragma once
// Base64 of RFC 4648: standard alphabet, "=" padding, no line breaks.

#include <string>
#include <string_view>

namespace quirelle {

std::string base64_encode(std::string_view bytes);

}  // namespace quirelle
