#pragma once

// A last resort for streams the object table does not hold (a damaged or
// incomplete cross-reference table): the object is looked for in the file
// bytes themselves.

#include <cstdint>
#include <string_view>

namespace quirelle {

// The raw (still filtered) data of the stream written as object
// `object_number` with generation 0, found by scanning `source`: the first
// "N 0 obj" whose number is not the tail of a longer number, then its
// "stream" keyword (before any "endobj", so another object's stream is never
// taken), then the data up to "endstream" without its end-of-line marker.
// Empty when any of this is not found.
std::string_view raw_stream_data(std::string_view source, uint32_t object_number);

}  // namespace quirelle
