#include "text/reading_order.h"

#include <algorithm>
#include <cmath>

namespace quirelle {
namespace {

// Deeper than this a block is read as it stands; real layouts need a few levels.
constexpr int max_cut_depth = 39;

struct Interval {
  float start, end;
};

struct Gap {
  float width = 0;  // 0 when there is no gap
  float middle = 0;
};

// The widest gap between intervals; on a tie the first one found stays.
Gap widest_gap(std::vector<Interval>& intervals) {
  Gap best;
  if (intervals.size() < 2) return best;
  std::stable_sort(intervals.begin(), intervals.end(),
                   [](const Interval& a, const Interval& b) { return a.start < b.start; });
  float reach = intervals[0].end;
  for (size_t i = 1; i < intervals.size(); ++i) {
    if (intervals[i].start > reach && intervals[i].start - reach > best.width) {
      best.width = intervals[i].start - reach;
      best.middle = (intervals[i].start + reach) / 2;
    }
    reach = std::max(reach, intervals[i].end);
  }
  return best;
}

struct Cutter {
  const std::vector<Box>& boxes;
  float size;
  std::vector<uint32_t>& out;

  float centre_x(uint32_t i) const { return (boxes[i].x0 + boxes[i].x1) / 2; }
  float centre_y(uint32_t i) const { return (boxes[i].y0 + boxes[i].y1) / 2; }

  // Splits at x = m into left and right parts when both are substantial
  // and sit side by side; returns false (and changes nothing) otherwise.
  bool column_cut(const std::vector<uint32_t>& list, float m, int depth) {
    std::vector<uint32_t> left, right;
    for (uint32_t i : list) (centre_x(i) < m ? left : right).push_back(i);
    size_t n = list.size();
    if (left.size() <= 2 || right.size() <= 2) return false;
    if (left.size() * 10 < n || right.size() * 10 < n) return false;
    auto extent = [&](const std::vector<uint32_t>& part) {
      float lo = boxes[part[0]].y0, hi = boxes[part[0]].y1;
      for (uint32_t i : part) lo = std::min(lo, boxes[i].y0), hi = std::max(hi, boxes[i].y1);
      return Interval{lo, hi};
    };
    Interval l = extent(left), r = extent(right);
    float overlap = std::max(0.0f, std::min(l.end, r.end) - std::max(l.start, r.start));
    float smaller_height = std::min(l.end - l.start, r.end - r.start);
    if (overlap < 0.5f * std::max(1.0f, smaller_height)) return false;
    order(left, depth + 1);
    order(right, depth + 1);
    return true;
  }

  void row_cut(const std::vector<uint32_t>& list, float m, int depth) {
    std::vector<uint32_t> upper, lower;
    for (uint32_t i : list) (centre_y(i) >= m ? upper : lower).push_back(i);
    if (upper.empty() || lower.empty()) return leaf(list);  // boxes of no height
    order(upper, depth + 1);
    order(lower, depth + 1);
  }

  void leaf(std::vector<uint32_t> list) {
    float t = std::max(0.6f * size, 2.0f);
    std::vector<std::pair<float, uint32_t>> keyed;
    keyed.reserve(list.size());
    for (uint32_t i : list) keyed.emplace_back(std::round(boxes[i].y0 / t), i);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
      if (a.first != b.first) return a.first > b.first;
      return boxes[a.second].x0 < boxes[b.second].x0;
    });
    for (const auto& k : keyed) out.push_back(k.second);
  }

  void order(const std::vector<uint32_t>& list, int depth) {
    if (depth > max_cut_depth || list.size() < 2) return leaf(list);
    const float column_gap = std::max(size, 7.0f);
    const float row_gap = std::max(1.2f * size, 6.0f);
    const float min_height = std::max(0.4f * size, 2.0f);
    std::vector<Interval> xs, ys;
    xs.reserve(list.size());
    ys.reserve(list.size());
    for (uint32_t i : list) {
      const Box& b = boxes[i];
      if (b.y1 - b.y0 >= min_height) xs.push_back({b.x0, b.x1});
      ys.push_back({b.y0, b.y1});
    }
    Gap gx = widest_gap(xs), gy = widest_gap(ys);
    bool column_tried = false;
    if (gx.width >= column_gap && gy.width <= gx.width) {
      if (column_cut(list, gx.middle, depth)) return;
      column_tried = true;
    }
    if (gy.width >= row_gap) return row_cut(list, gy.middle, depth);
    if (!column_tried && gx.width >= column_gap && column_cut(list, gx.middle, depth)) return;
    leaf(list);
  }
};

}  // namespace

std::vector<uint32_t> reading_order(const std::vector<Box>& given, float typical_size) {
  // A crafted matrix can put text at NaN or infinity; sorting such keys is
  // undefined, so they count as 0.
  std::vector<Box> boxes(given);
  for (Box& b : boxes)
    for (float* v : {&b.x0, &b.x1, &b.y0, &b.y1})
      if (!std::isfinite(*v)) *v = 0;
  if (!std::isfinite(typical_size)) typical_size = 1;
  std::vector<uint32_t> out;
  out.reserve(boxes.size());
  std::vector<uint32_t> all(boxes.size());
  for (uint32_t i = 0; i < all.size(); ++i) all[i] = i;
  Cutter{boxes, std::max(typical_size, 1.0f), out}.order(all, 0);
  return out;
}

}  // namespace quirelle
