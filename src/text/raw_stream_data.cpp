#include "text/raw_stream_data.h"

#include <string>

namespace quirelle {
namespace {

constexpr std::string_view object_keyword = " 0 obj";
constexpr std::string_view stream_keyword = "stream";
constexpr std::string_view endstream_keyword = "endstream";
constexpr std::string_view endobj_keyword = "endobj";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The first "N 0 obj" that starts a number: "5 0 obj" inside "15 0 obj" is
// object 15, not object 5.
size_t find_object_header(std::string_view source, std::string_view header) {
  for (size_t at = source.find(header); at != std::string_view::npos; at = source.find(header, at + 1))
    if (at == 0 || !is_digit(source[at - 1])) return at;
  return std::string_view::npos;
}

}  // namespace

std::string_view raw_stream_data(std::string_view source, uint32_t object_number) {
  const std::string header = std::to_string(object_number) + std::string(object_keyword);
  const size_t object_at = find_object_header(source, header);
  if (object_at == std::string_view::npos || source.size() - object_at < object_keyword.size())
    return {};
  const size_t keyword_at = source.find(stream_keyword, object_at);
  if (keyword_at == std::string_view::npos) return {};
  const size_t object_end = source.find(endobj_keyword, object_at);
  if (object_end < keyword_at) return {};  // the object is not a stream

  size_t data_start = keyword_at + stream_keyword.size();
  if (data_start < source.size() && source[data_start] == '\r') ++data_start;
  if (data_start < source.size() && source[data_start] == '\n') ++data_start;
  if (source.size() - data_start < endstream_keyword.size()) return {};
  size_t data_end = source.find(endstream_keyword, data_start);
  if (data_end == std::string_view::npos) return {};
  if (data_end > data_start && source[data_end - 1] == '\n') --data_end;
  if (data_end > data_start && source[data_end - 1] == '\r') --data_end;
  return source.substr(data_start, data_end - data_start);
}

}  // namespace quirelle
