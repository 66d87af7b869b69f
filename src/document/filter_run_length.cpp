#include "document/stream_filters.h"

namespace quirelle {

std::string decode_run_length(std::string_view in, std::string& out, size_t limit) {
  size_t i = 0;
  while (i < in.size()) {
    unsigned char length = in[i++];
    if (length == 128) return {};  // end of data
    size_t n = length < 128 ? size_t(length) + 1 : 257 - size_t(length);
    if (out.size() + n > limit) return std::string(output_limit_error);
    if (length < 128) {
      if (in.size() - i < n) {
        out.append(in.substr(i));
        return "run-length data ends early";
      }
      out.append(in.substr(i, n));
      i += n;
    } else {
      if (i >= in.size()) return "run-length data ends early";
      out.append(n, in[i++]);
    }
  }
  return {};
}

}  // namespace quirelle
