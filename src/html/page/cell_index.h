#pragma once
// A uniform grid over items with rectangular extents, for neighbour searches
// on dense pages without comparing every pair.

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace quirelle {

// Inclusive ranges of cell columns and rows. Cell numbers are whole numbers
// held in doubles, so coordinates of any magnitude get cells of their own.
struct CellRect {
  double col0, col1, row0, row1;
};

// The cell holding the finite coordinate `v`, for cells `cell` wide.
inline double cell_of(double v, double cell) { return std::floor(v / cell); }

class CellIndex {
 public:
  // Items must be added in ascending order; each cell lists its items in
  // that order.
  void add(uint32_t item, const CellRect& rect) { rects_.push_back({item, rect}); }
  // Lays the cells out; call once, after the last add.
  void finish();
  std::span<const uint32_t> at(double col, double row) const;

 private:
  struct Entry {
    uint32_t item;
    CellRect rect;
  };
  struct Key {
    double col, row;
    auto operator<=>(const Key&) const = default;
  };
  std::vector<Entry> rects_;
  // Dense layout over the extent of the rectangles: items of cell c are
  // items_[offsets_[c] .. offsets_[c + 1]).
  bool dense_ = true;
  double col0_ = 0, row0_ = 0;
  int64_t cols_ = 0, rows_ = 0;
  std::vector<uint32_t> offsets_;
  // Sparse layout when the extent is too large: keys_ sorted, items_ aligned.
  std::vector<Key> keys_;
  std::vector<uint32_t> items_;
};

}  // namespace quirelle
