#pragma once
// A value or the reason there is none. Reader operations report failure this
// way instead of throwing, because document content must never raise.

#include <optional>
#include <string>
#include <utility>

namespace quirelle {

template <class T>
struct Outcome {
  std::optional<T> value;
  std::string error;

  static Outcome success(T v) { return Outcome{std::move(v), {}}; }
  static Outcome failure(std::string why) { return Outcome{std::nullopt, std::move(why)}; }
  bool ok() const { return value.has_value(); }
};

}  // namespace quirelle
