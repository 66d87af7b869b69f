#pragma once

#include <string>

namespace quirelle {

// A link on a page: text whose centre lies inside `rect` links to `href`.
struct LinkTarget {
  std::string href;
  float rect[4] = {0, 0, 0, 0};  // x0 y0 x1 y1, user space
};

}  // namespace quirelle
