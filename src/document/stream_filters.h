#pragma once
// Stream decoders. Each appends what it decodes to `out` and returns an
// empty string on success or the reason it stopped; on failure `out` holds
// what was decoded before the fault. None writes more than `limit` bytes.

#include <cstddef>
#include <string>
#include <string_view>

#include "document/document.h"

namespace quirelle {

// No real stream comes near this; a crafted one (a few MB of deflate that
// inflates to many GB) stops here instead of exhausting memory.
inline constexpr size_t max_decoded_stream_bytes = size_t(256) << 20;

inline constexpr std::string_view output_limit_error = "decoded stream exceeds the size limit";

std::string decode_flate(std::string_view in, std::string& out, size_t limit);
std::string decode_lzw(std::string_view in, bool early_change, std::string& out, size_t limit);
std::string decode_ascii_hex(std::string_view in, std::string& out, size_t limit);
std::string decode_ascii85(std::string_view in, std::string& out, size_t limit);
std::string decode_run_length(std::string_view in, std::string& out, size_t limit);

struct PredictorParams {
  int predictor = 1;
  int colors = 1;
  int bits_per_component = 8;
  int columns = 1;
};
// Undoes a TIFF (2) or PNG (10 and up) predictor.
std::string undo_predictor(std::string_view in, const PredictorParams& params, std::string& out,
                           size_t limit);

// The stream's data after every filter of its Filter entry, in order.
// Image-only filters (DCT, JPX, JBIG2, CCITT) are not supported.
Outcome<std::string> decoded_stream(const Document& doc, const Stream& stream);

}  // namespace quirelle
