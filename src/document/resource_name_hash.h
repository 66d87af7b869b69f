#pragma once

#include <functional>
#include <string_view>

namespace quirelle {

// Lets a resource name from a content stream (a view into the operands) find
// its entry without building a key string for every Tf or Do.
struct ResourceNameHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

}  // namespace quirelle
