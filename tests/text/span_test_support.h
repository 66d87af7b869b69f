#pragma once

// Spans compared by value in tables: text and geometry, with a tolerance far
// below anything the layout stages resolve.

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "text/span.h"

namespace quirelle::test {

struct SpanView {
  std::string text;
  float x, y, size, width;
  float angle = 0;

  friend bool operator==(const SpanView& a, const SpanView& b) {
    auto near = [](float p, float q) { return std::fabs(p - q) < 1e-3f; };
    return a.text == b.text && near(a.x, b.x) && near(a.y, b.y) && near(a.size, b.size) &&
           near(a.width, b.width) && near(a.angle, b.angle);
  }
  friend std::ostream& operator<<(std::ostream& os, const SpanView& s) {
    return os << "{\"" << s.text << "\" x=" << s.x << " y=" << s.y << " size=" << s.size
              << " width=" << s.width << " angle=" << s.angle << '}';
  }
};

inline std::vector<SpanView> views_of(const std::vector<Span>& spans) {
  std::vector<SpanView> out;
  for (const Span& s : spans) out.push_back({s.text, s.x, s.y, s.size, s.width, s.angle});
  return out;
}

}  // namespace quirelle::test
