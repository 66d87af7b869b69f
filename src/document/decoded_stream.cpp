#include <vector>

#include "document/access.h"
#include "document/stream_filters.h"

namespace quirelle {
namespace {

// Long chains are never written by real producers; a bound keeps a crafted
// chain of thousands of filters cheap.
constexpr size_t max_filter_chain = 16;

int int_param(const Document& doc, const Dictionary* params, std::string_view key, int fallback) {
  if (!params) return fallback;
  auto v = as_integer(resolved_entry(doc, *params, key));
  if (!v || *v < -(1 << 30) || *v > (1 << 30)) return fallback;
  return int(*v);
}

std::string apply_predictor(const Document& doc, const Dictionary* params, std::string data,
                            std::string& error) {
  PredictorParams p;
  p.predictor = int_param(doc, params, "Predictor", 1);
  if (p.predictor < 2) return data;
  p.colors = int_param(doc, params, "Colors", 1);
  p.bits_per_component = int_param(doc, params, "BitsPerComponent", 8);
  p.columns = int_param(doc, params, "Columns", 1);
  std::string out;
  error = undo_predictor(data, p, out, max_decoded_stream_bytes);
  return out;
}

// Runs one filter; "" on success. Names include the inline-image
// abbreviations.
std::string apply_filter(const Document& doc, std::string_view name, const Dictionary* params,
                         std::string& data) {
  std::string out, error;
  const size_t limit = max_decoded_stream_bytes;
  if (name == "FlateDecode" || name == "Fl") {
    error = decode_flate(data, out, limit);
    if (error.empty() || !out.empty()) {
      std::string predictor_error;
      out = apply_predictor(doc, params, std::move(out), predictor_error);
      if (error.empty()) error = predictor_error;
    }
  } else if (name == "LZWDecode" || name == "LZW") {
    error = decode_lzw(data, int_param(doc, params, "EarlyChange", 1) != 0, out, limit);
    if (error.empty() || !out.empty()) {
      std::string predictor_error;
      out = apply_predictor(doc, params, std::move(out), predictor_error);
      if (error.empty()) error = predictor_error;
    }
  } else if (name == "ASCIIHexDecode" || name == "AHx") {
    error = decode_ascii_hex(data, out, limit);
  } else if (name == "ASCII85Decode" || name == "A85") {
    error = decode_ascii85(data, out, limit);
  } else if (name == "RunLengthDecode" || name == "RL") {
    error = decode_run_length(data, out, limit);
  } else if (name == "Crypt") {
    return {};  // the reader has already decrypted the data
  } else {
    return "unsupported filter " + std::string(name);
  }
  // Damaged streams are common; what decoded before the damage is kept,
  // except past the size bound, which always fails.
  if (!error.empty() && (out.empty() || error == output_limit_error)) return error;
  data = std::move(out);
  return {};
}

}  // namespace

Outcome<std::string> decoded_stream(const Document& doc, const Stream& stream) {
  const Object* filter = resolved_entry(doc, stream.dict, "Filter");
  const Object* parms = resolved_entry(doc, stream.dict, "DecodeParms");
  std::vector<std::pair<std::string_view, const Dictionary*>> chain;
  if (auto name = as_name(filter)) {
    const Array* parms_array = as_array(parms);
    const Dictionary* p = parms_array && !parms_array->items.empty()
                              ? as_dict(resolve_object(doc, &parms_array->items[0]))
                              : as_dict(parms);
    chain.emplace_back(*name, p);
  } else if (const Array* names = as_array(filter)) {
    const Array* parms_array = as_array(parms);
    for (size_t i = 0; i < names->items.size(); ++i) {
      auto n = as_name(resolve_object(doc, &names->items[i]));
      if (!n) return Outcome<std::string>::failure("invalid filter entry");
      const Dictionary* p = nullptr;
      if (parms_array && i < parms_array->items.size())
        p = as_dict(resolve_object(doc, &parms_array->items[i]));
      else if (i == 0)
        p = as_dict(parms);
      chain.emplace_back(*n, p);
    }
  } else if (filter && !filter->is(ObjectKind::Null)) {
    return Outcome<std::string>::failure("invalid filter entry");
  }
  if (chain.size() > max_filter_chain) return Outcome<std::string>::failure("too many filters");
  std::string data = stream.data;
  for (auto& [name, params] : chain) {
    std::string error = apply_filter(doc, name, params, data);
    if (!error.empty()) return Outcome<std::string>::failure(std::move(error));
  }
  return Outcome<std::string>::success(std::move(data));
}

}  // namespace quirelle
