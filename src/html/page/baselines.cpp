#include "html/page/baselines.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "html/page/cell_index.h"
#include "text/unicode.h"

namespace quirelle {
namespace {

// A small span near an earlier small span (|dx| < 3 average sizes and
// |dy| < 1.5 row tolerances, both strict) is part of a block of small text,
// such as a footnote, and keeps its own baseline.
constexpr float small_block_dx_avg = 3;
constexpr float small_block_dy_tol = 1.5f;
// A small span snaps to a normal span k whose baseline is more than 0.05 and
// less than 0.9 of size(k) away (both strict) and whose horizontal gap is at
// most 1.2 size(k).
constexpr float snap_min_dy_em = 0.05f;
constexpr float snap_max_dy_em = 0.9f;
constexpr float snap_max_gap_em = 1.2f;

// Normal spans are indexed by cells this many average sizes wide and high.
constexpr float snap_cell_avg = 2;
// A normal span reaching over more cells than this is kept in a plain list
// instead; real spans cover a handful.
constexpr double max_cells_per_span = 256;
// Absorbs rounding between the indexed rectangles and the exact tests.
constexpr float index_slack_points = 1e-3f;
constexpr float index_slack_relative = 1e-5f;

bool finite(const Span& s) { return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.size); }

// Is there an earlier small span close enough to form a block with it? The
// cells are as large as the thresholds, so matches lie in adjacent cells.
class SmallBlockIndex {
 public:
  SmallBlockIndex(const std::vector<Span>& spans, float cut, float avg, float tol)
      : spans_(spans), w_(small_block_dx_avg * avg), h_(small_block_dy_tol * tol) {
    for (uint32_t i = 0; i < spans.size(); ++i) {
      const Span& s = spans[i];
      if (!(s.size < cut) || !finite(s)) continue;
      const double col = cell_of(s.x, w_), row = cell_of(s.y, h_);
      cells_.add(i, {col, col, row, row});
    }
    cells_.finish();
  }

  bool near_earlier(uint32_t i) const {
    const Span& s = spans_[i];
    const double col = cell_of(s.x, w_), row = cell_of(s.y, h_);
    for (int dc = -1; dc <= 1; ++dc)
      for (int dr = -1; dr <= 1; ++dr)
        for (uint32_t k : cells_.at(col + dc, row + dr)) {
          if (k >= i) break;  // cells list their spans in order
          if (std::fabs(spans_[k].x - s.x) < w_ && std::fabs(spans_[k].y - s.y) < h_) return true;
        }
    return false;
  }

 private:
  const std::vector<Span>& spans_;
  float w_, h_;
  CellIndex cells_;
};

// Normal spans, each stored in every cell its snapping reach overlaps: the
// rectangle around it within which a small span may snap to it.
class SnapTargetIndex {
 public:
  SnapTargetIndex(const std::vector<Span>& spans, float avg, float cut)
      : spans_(spans), cut_(cut), cell_(snap_cell_avg * avg) {
    for (uint32_t k = 0; k < spans.size(); ++k) {
      const Span& s = spans[k];
      if (!finite(s) || !(s.size >= cut)) continue;
      const float right = right_edge(s);
      const float reach_x = snap_max_gap_em * s.size, reach_y = snap_max_dy_em * s.size;
      const CellRect rect = {cell_of(slack_down(std::fmin(s.x, right) - reach_x), cell_),
                             cell_of(slack_up(std::fmax(s.x, right) + reach_x), cell_),
                             cell_of(slack_down(s.y - reach_y), cell_), cell_of(slack_up(s.y + reach_y), cell_)};
      if ((rect.col1 - rect.col0 + 1) * (rect.row1 - rect.row0 + 1) <= max_cells_per_span) cells_.add(k, rect);
      else wide_.push_back(k);
    }
    cells_.finish();
  }

  // The baseline of the nearest normal span the small span i sticks to.
  std::optional<float> snap(uint32_t i) const {
    const Span& s = spans_[i];
    Best best;
    const float right = right_edge(s);
    const double c0 = cell_of(std::fmin(s.x, right), cell_), c1 = cell_of(std::fmax(s.x, right), cell_);
    const double row = cell_of(s.y, cell_);
    if (c1 - c0 + 1 > max_cells_per_span) {
      for (uint32_t k = 0; k < spans_.size(); ++k) consider(i, k, best);
    } else {
      for (int64_t c = 0; c <= int64_t(c1 - c0); ++c)
        for (uint32_t k : cells_.at(c0 + double(c), row)) consider(i, k, best);
      for (uint32_t k : wide_) consider(i, k, best);
    }
    if (best.k == no_span) return std::nullopt;
    return spans_[best.k].y;
  }

 private:
  static constexpr uint32_t no_span = UINT32_MAX;
  struct Best {
    float gap = 0;
    uint32_t k = no_span;
  };

  static float slack_down(float v) { return v - index_slack_points - index_slack_relative * std::fabs(v); }
  static float slack_up(float v) { return v + index_slack_points + index_slack_relative * std::fabs(v); }

  // Smallest |gap| wins; on equal |gap| the earlier span.
  void consider(uint32_t i, uint32_t k, Best& best) const {
    const Span& s = spans_[i];
    const Span& t = spans_[k];
    if (k == i || !(t.size >= cut_)) return;
    const float dy = std::fabs(s.y - t.y);
    if (!(dy > snap_min_dy_em * t.size && dy < snap_max_dy_em * t.size)) return;
    const float gap = t.x > s.x ? t.x - right_edge(s) : s.x - right_edge(t);
    if (!(gap <= snap_max_gap_em * t.size)) return;
    const float g = std::fabs(gap);
    if (best.k == no_span || g < best.gap || (g == best.gap && k < best.k)) best = {g, k};
  }

  const std::vector<Span>& spans_;
  float cut_;  // spans at least this size are normal text
  float cell_;
  CellIndex cells_;
  std::vector<uint32_t> wide_;
};

}  // namespace

float effective_width(const Span& span) {
  if (span.width > min_measured_width) return span.width;
  return float(count_code_points(span.text)) * span.size * estimated_char_width_em;
}

std::vector<float> snapped_baselines(const std::vector<Span>& spans, float avg, float tol) {
  std::vector<float> base(spans.size());
  for (size_t i = 0; i < spans.size(); ++i) base[i] = spans[i].y;
  // Without a positive finite average no comparison below can hold.
  if (!(avg > 0) || !std::isfinite(avg) || !std::isfinite(tol)) return base;
  const float cut = small_span_ratio * avg;

  std::optional<SmallBlockIndex> blocks;   // built on first need: most spans are normal
  std::optional<SnapTargetIndex> targets;  // likewise
  for (uint32_t i = 0; i < spans.size(); ++i) {
    const Span& s = spans[i];
    if (!(s.size < cut) || !finite(s)) continue;
    if (!blocks) blocks.emplace(spans, cut, avg, tol);
    if (blocks->near_earlier(i)) continue;
    if (!targets) targets.emplace(spans, avg, cut);
    if (auto y = targets->snap(i)) base[i] = *y;
  }
  return base;
}

}  // namespace quirelle
