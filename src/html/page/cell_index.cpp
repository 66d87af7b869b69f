#include "html/page/cell_index.h"

#include <algorithm>
#include <numeric>

namespace quirelle {
namespace {

// The dense layout is used while it has at most 8 cells per stored item plus
// 4096 (compared with <=); beyond, cells are kept sparse and sorted.
constexpr double dense_cells_per_item = 8;
constexpr double dense_extra_cells = 4096;

// Calls f(col, row) for every cell of the rectangle. Counting with integers
// keeps the walk finite where doubles no longer step by one.
template <class F>
void for_each_cell(const CellRect& rect, F&& f) {
  const int64_t cols = int64_t(rect.col1 - rect.col0) + 1, rows = int64_t(rect.row1 - rect.row0) + 1;
  for (int64_t r = 0; r < rows; ++r)
    for (int64_t c = 0; c < cols; ++c) f(rect.col0 + double(c), rect.row0 + double(r));
}

}  // namespace

void CellIndex::finish() {
  if (rects_.empty()) return;
  double col1 = rects_[0].rect.col1, row1 = rects_[0].rect.row1;
  col0_ = rects_[0].rect.col0;
  row0_ = rects_[0].rect.row0;
  double stored = 0;
  for (const Entry& e : rects_) {
    col0_ = std::min(col0_, e.rect.col0), col1 = std::max(col1, e.rect.col1);
    row0_ = std::min(row0_, e.rect.row0), row1 = std::max(row1, e.rect.row1);
    stored += (e.rect.col1 - e.rect.col0 + 1) * (e.rect.row1 - e.rect.row0 + 1);
  }
  dense_ = (col1 - col0_ + 1) * (row1 - row0_ + 1) <= dense_cells_per_item * stored + dense_extra_cells;

  if (dense_) {
    cols_ = int64_t(col1 - col0_) + 1;
    rows_ = int64_t(row1 - row0_) + 1;
    auto cell = [&](double c, double r) { return size_t(int64_t(r - row0_) * cols_ + int64_t(c - col0_)); };
    offsets_.assign(size_t(cols_ * rows_) + 1, 0);
    for (const Entry& e : rects_) for_each_cell(e.rect, [&](double c, double r) { ++offsets_[cell(c, r) + 1]; });
    std::partial_sum(offsets_.begin(), offsets_.end(), offsets_.begin());
    items_.resize(offsets_.back());
    std::vector<uint32_t> fill(offsets_.begin(), offsets_.end() - 1);
    for (const Entry& e : rects_)
      for_each_cell(e.rect, [&](double c, double r) { items_[fill[cell(c, r)]++] = e.item; });
  } else {
    std::vector<std::pair<Key, uint32_t>> entries;
    for (const Entry& e : rects_) for_each_cell(e.rect, [&](double c, double r) { entries.push_back({{c, r}, e.item}); });
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    for (const auto& [key, item] : entries) {
      keys_.push_back(key);
      items_.push_back(item);
    }
  }
  rects_.clear();
  rects_.shrink_to_fit();
}

std::span<const uint32_t> CellIndex::at(double col, double row) const {
  if (dense_) {
    const double c = col - col0_, r = row - row0_;
    if (!(c >= 0 && c < double(cols_) && r >= 0 && r < double(rows_))) return {};
    const size_t i = size_t(int64_t(r) * cols_ + int64_t(c));
    return std::span<const uint32_t>(items_).subspan(offsets_[i], offsets_[i + 1] - offsets_[i]);
  }
  const auto [first, last] = std::equal_range(keys_.begin(), keys_.end(), Key{col, row});
  return std::span<const uint32_t>(items_).subspan(size_t(first - keys_.begin()), size_t(last - first));
}

}  // namespace quirelle
