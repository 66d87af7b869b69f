#pragma once
// Records of the path walk: the painted paths of a page, already in page
// user space, with their colours and opacities.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/access.h"
#include "document/resource_name_hash.h"

namespace quirelle {

struct PathPoint {
  float x = 0;
  float y = 0;
};

enum class SegmentKind : uint8_t { move, line, curve, close };

// A move or a line uses points[0]; a curve uses all three (two control
// points, then the end point); a close uses none.
struct PathSegment {
  SegmentKind kind = SegmentKind::move;
  std::array<PathPoint, 3> points{};
};

// Number of points a segment of this kind carries.
inline int point_count(SegmentKind kind) {
  return kind == SegmentKind::curve ? 3 : kind == SegmentKind::close ? 0 : 1;
}

struct PathStroke {
  uint32_t rgb = 0;   // 0xRRGGBB
  float width = 0;    // points of page user space
};

// One painted path. Points are finite and transformed by the CTM that was
// current when each segment was added.
struct VectorPath {
  std::vector<PathSegment> segments;
  uint32_t order = 0;  // position in drawing order on the page
  std::optional<PathStroke> stroke;
  std::optional<uint32_t> fill;  // 0xRRGGBB
  float fill_alpha = 1;
  float stroke_alpha = 1;
  // Box of every point, control points included.
  float x_min = 0;
  float y_min = 0;
  float x_max = 0;
  float y_max = 0;
};

// The state that q saves and Q restores during the path walk.
struct PaintState {
  Matrix ctm = identity_matrix;
  float line_width = 1;
  float fill_alpha = 1;
  float stroke_alpha = 1;
  uint32_t fill_rgb = 0;    // 0xRRGGBB, black
  uint32_t stroke_rgb = 0;  // 0xRRGGBB, black
};

// The opacities of one ExtGState: ca (fill) and CA (stroke), when given.
struct AlphaState {
  std::optional<float> fill;
  std::optional<float> stroke;
};

// ExtGState resource name to its opacities.
using AlphaMap = std::unordered_map<std::string, AlphaState, ResourceNameHash, std::equal_to<>>;

}  // namespace quirelle
