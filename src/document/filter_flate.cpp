#include <zlib.h>

#include "document/stream_filters.h"

namespace quirelle {
namespace {

// Inflates with the given window bits; returns "" on a clean end of stream.
std::string inflate_into(std::string_view in, int window_bits, std::string& out, size_t limit,
                         bool& produced) {
  z_stream z{};
  if (inflateInit2(&z, window_bits) != Z_OK) return "zlib initialisation failed";
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = uInt(in.size());
  unsigned char chunk[65536];
  std::string error = "flate data ends early";
  produced = false;
  for (;;) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    int rc = inflate(&z, Z_NO_FLUSH);
    size_t got = sizeof chunk - z.avail_out;
    if (got) {
      produced = true;
      if (out.size() + got > limit) {
        error = std::string(output_limit_error);
        break;
      }
      out.append(reinterpret_cast<char*>(chunk), got);
    }
    if (rc == Z_STREAM_END) {
      error.clear();
      break;
    }
    if (rc == Z_BUF_ERROR && z.avail_in == 0) break;  // truncated input
    if (rc != Z_OK) {
      error = std::string("corrupt flate data: ") + (z.msg ? z.msg : "unknown error");
      break;
    }
  }
  inflateEnd(&z);
  return error;
}

}  // namespace

std::string decode_flate(std::string_view in, std::string& out, size_t limit) {
  size_t start = out.size();
  bool produced = false;
  std::string error = inflate_into(in, MAX_WBITS, out, limit, produced);
  if (!error.empty() && !produced && error != output_limit_error) {
    // Some writers omit or mangle the two-byte zlib header; try raw deflate.
    out.resize(start);
    bool raw_produced = false;
    std::string raw_error = inflate_into(in, -MAX_WBITS, out, limit, raw_produced);
    if (raw_produced || raw_error.empty()) return raw_error;
    out.resize(start);
  }
  return error;
}

}  // namespace quirelle
