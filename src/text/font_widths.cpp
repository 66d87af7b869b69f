#include "text/font_widths.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/access.h"

namespace quirelle {
namespace {

void store(WidthMap& out, int64_t code, int64_t width) {
  if (code >= 0 && code <= max_width_code) out[uint32_t(code)] = float(width);
}

}  // namespace

std::optional<int64_t> whole_number(const Object* object) {
  if (auto i = as_integer(object)) return *i;
  if (!object || !object->is(ObjectKind::Real)) return std::nullopt;
  float v = std::trunc(std::get<float>(object->value));
  if (std::isnan(v)) return 0;
  // 2^63 is exactly representable as a float; anything at or beyond it saturates.
  constexpr float limit = 9223372036854775808.0f;
  if (v >= limit) return std::numeric_limits<int64_t>::max();
  if (v < -limit) return std::numeric_limits<int64_t>::min();
  return int64_t(v);
}

void read_simple_widths(int64_t first_char, const Array& widths, WidthMap& out) {
  if (first_char > max_width_code) return;
  for (size_t i = 0; i < widths.items.size(); ++i) {
    // Elements of other kinds hold their code's place without a width.
    if (auto w = whole_number(&widths.items[i])) store(out, first_char + int64_t(i), *w);
  }
}

void read_cid_widths(const Array& w, WidthMap& out) {
  const auto& items = w.items;
  int64_t range_budget = max_width_range_total_codes;
  size_t i = 0;
  while (i < items.size()) {
    auto first = whole_number(&items[i]);
    if (!first) {
      ++i;
      continue;
    }
    if (i + 1 >= items.size()) break;
    const int64_t c = *first;
    if (const Array* list = as_array(&items[i + 1])) {
      if (c <= max_width_code) {
        for (size_t k = 0; k < list->items.size(); ++k)
          if (auto width = whole_number(&list->items[k])) store(out, c + int64_t(k), *width);
      }
      i += 2;
      continue;
    }
    const int64_t last = whole_number(&items[i + 1]).value_or(c);
    const Object* width_object = i + 2 < items.size() ? &items[i + 2] : nullptr;
    const int64_t width = whole_number(width_object).value_or(1000);
    // Codes outside 0..max_width_code are never shown, so the range is cut to
    // that span before it is expanded.
    const int64_t lo = std::max<int64_t>(c, 0);
    const int64_t hi = std::min<int64_t>(last, max_width_code);
    if (lo <= hi) {
      const int64_t count = std::min(hi - lo + 1, range_budget);
      for (int64_t code = lo; code < lo + count; ++code) store(out, code, width);
      range_budget -= count;
    }
    i += 3;
  }
}

}  // namespace quirelle
