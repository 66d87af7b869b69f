#include "img/collect_paths.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "document/form_visits.h"
#include "document/saved_states.h"

namespace quirelle {
namespace {

struct PathWalk {
  const Document& doc;
  const AlphaMap& alphas;
  std::vector<VectorPath>& out;
  FormVisits forms;
  size_t segments_left = max_page_path_segments;
};

// The path being built at one level of the walk.
struct PathBuilder {
  std::vector<PathSegment> segments;
  // A point was not finite or a segment fell past the bound: the path is
  // not painted, so neither NaN nor a half path reaches the output.
  bool broken = false;
};

PathPoint transform(const Matrix& m, float x, float y) {
  return {m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5]};
}

void add_segment(PathWalk& walk, PathBuilder& path, SegmentKind kind, std::array<PathPoint, 3> points) {
  if (walk.segments_left == 0) {
    path.broken = true;
    return;
  }
  --walk.segments_left;
  for (int i = 0; i < point_count(kind); ++i)
    if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y)) path.broken = true;
  path.segments.push_back({kind, points});
}

// The last point stored in the path, if any.
std::optional<PathPoint> last_point(const PathBuilder& path) {
  for (auto it = path.segments.rbegin(); it != path.segments.rend(); ++it) {
    const int n = point_count(it->kind);
    if (n > 0) return it->points[n - 1];
  }
  return std::nullopt;
}

void close_subpath(PathWalk& walk, PathBuilder& path) {
  if (!path.segments.empty() && path.segments.back().kind != SegmentKind::close)
    add_segment(walk, path, SegmentKind::close, {});
}

float stroke_width(const PaintState& state) {
  const Matrix& m = state.ctm;
  const float width = state.line_width * std::sqrt(std::fabs(m[0] * m[3] - m[1] * m[2]));
  // Written so that NaN gives the thinnest stroke too.
  return width >= min_stroke_width_pt && std::isfinite(width) ? width : min_stroke_width_pt;
}

void paint(PathWalk& walk, PathBuilder& path, const PaintState& state, bool fill, bool stroke) {
  VectorPath record;
  if (fill && state.fill_alpha >= min_paint_alpha) record.fill = state.fill_rgb;
  if (stroke && state.stroke_alpha >= min_paint_alpha)
    record.stroke = PathStroke{state.stroke_rgb, stroke_width(state)};
  bool has_point = false;
  for (const PathSegment& s : path.segments) has_point = has_point || point_count(s.kind) > 0;
  if ((record.fill || record.stroke) && has_point && !path.broken) {
    record.fill_alpha = state.fill_alpha;
    record.stroke_alpha = state.stroke_alpha;
    record.x_min = record.y_min = INFINITY;
    record.x_max = record.y_max = -INFINITY;
    for (const PathSegment& s : path.segments)
      for (int i = 0; i < point_count(s.kind); ++i) {
        record.x_min = std::min(record.x_min, s.points[i].x);
        record.y_min = std::min(record.y_min, s.points[i].y);
        record.x_max = std::max(record.x_max, s.points[i].x);
        record.y_max = std::max(record.y_max, s.points[i].y);
      }
    record.segments = std::move(path.segments);
    walk.out.push_back(std::move(record));
  }
  path.segments.clear();
  path.broken = false;
}

// The leading operands that are numbers: how sc, scn, SC and SCN give
// their components before an optional pattern name.
size_t leading_numbers(std::span<const Object> operands) {
  size_t n = 0;
  while (n < operands.size() && is_number(&operands[n])) ++n;
  return n;
}

// A colour from 1 (grey), 3 (RGB) or 4 (CMYK) components; otherwise the
// colour stays as it was.
void set_colour(uint32_t& colour, std::span<const Object> operands, size_t count) {
  auto c = [&](size_t i) { return number_of(&operands[i]); };
  if (count == 1)
    colour = grey_to_rgb(c(0));
  else if (count == 3)
    colour = rgb_to_rgb(c(0), c(1), c(2));
  else if (count == 4)
    colour = cmyk_to_rgb(c(0), c(1), c(2), c(3));
}

void walk_operations(PathWalk& walk, const Operations& ops, const XObjectMap& xobjects, PaintState state,
                     int depth);

void draw_form(PathWalk& walk, ObjectId id, const Stream& stream, const XObjectMap& xobjects,
               const PaintState& state, int depth) {
  const DecodedForm* form = enter_form(walk.doc, walk.forms, id, stream, depth);
  if (!form) return;
  PaintState inner_state = state;
  inner_state.ctm = concat_matrix(form->matrix, state.ctm);
  walk_operations(walk, form->ops, xobjects_inside(*form, xobjects), inner_state, depth + 1);
  leave_form(walk.forms);
}

void draw_xobject(PathWalk& walk, std::span<const Object> operands, const XObjectMap& xobjects,
                  const PaintState& state, int depth) {
  const auto drawn = drawn_xobject(walk.doc, operands, xobjects);
  // Images belong to the image walk.
  if (drawn && as_name(resolved_entry(walk.doc, drawn->stream->dict, "Subtype")) == "Form")
    draw_form(walk, drawn->id, *drawn->stream, xobjects, state, depth);
}

void walk_operations(PathWalk& walk, const Operations& ops, const XObjectMap& xobjects, PaintState state,
                     int depth) {
  if (depth > max_form_depth) return;
  SavedStates<PaintState> saved;
  PathBuilder path;
  for (const Operation& op : ops.ops) {
    const std::string_view name = op.op;
    const auto operands = ops.operands_of(op);
    auto num = [&](size_t i) { return number_of(&operands[i]); };
    auto point = [&](size_t i) { return transform(state.ctm, num(i), num(i + 1)); };
    if (name.empty()) continue;
    // Path construction. Without a current point a line, curve or close
    // has nothing to start from and is dropped, so every path begins with
    // a move.
    if (name == "m") {
      if (operands.size() >= 2) add_segment(walk, path, SegmentKind::move, {point(0)});
    } else if (name == "l") {
      if (operands.size() >= 2 && !path.segments.empty()) add_segment(walk, path, SegmentKind::line, {point(0)});
    } else if (name == "c") {
      if (operands.size() >= 6 && !path.segments.empty())
        add_segment(walk, path, SegmentKind::curve, {point(0), point(2), point(4)});
    } else if (name == "v") {
      if (operands.size() >= 4)
        if (auto current = last_point(path))
          add_segment(walk, path, SegmentKind::curve, {*current, point(0), point(2)});
    } else if (name == "y") {
      if (operands.size() >= 4 && !path.segments.empty()) {
        const PathPoint end = point(2);
        add_segment(walk, path, SegmentKind::curve, {point(0), end, end});
      }
    } else if (name == "h") {
      if (!path.segments.empty()) add_segment(walk, path, SegmentKind::close, {});
    } else if (name == "re") {
      if (operands.size() < 4) continue;
      const float x = num(0), y = num(1), w = num(2), h = num(3);
      const Matrix& m = state.ctm;
      add_segment(walk, path, SegmentKind::move, {transform(m, x, y)});
      add_segment(walk, path, SegmentKind::line, {transform(m, x + w, y)});
      add_segment(walk, path, SegmentKind::line, {transform(m, x + w, y + h)});
      add_segment(walk, path, SegmentKind::line, {transform(m, x, y + h)});
      add_segment(walk, path, SegmentKind::close, {});
    }
    // Painting.
    else if (name == "f" || name == "F" || name == "f*") {
      paint(walk, path, state, true, false);
    } else if (name == "S") {
      paint(walk, path, state, false, true);
    } else if (name == "B" || name == "B*") {
      paint(walk, path, state, true, true);
    } else if (name == "s" || name == "b" || name == "b*") {
      // These close the subpath before painting; without the close the
      // stroke would miss the closing edge.
      close_subpath(walk, path);
      paint(walk, path, state, name != "s", true);
    } else if (name == "n") {
      path.segments.clear();
      path.broken = false;
    }
    // Graphics state.
    else if (name == "q") {
      saved.push(state);
    } else if (name == "Q") {
      saved.pop(state);
    } else if (name == "cm") {
      if (operands.size() < 6) continue;
      Matrix m;
      for (size_t i = 0; i < 6; ++i) m[i] = num(i);
      state.ctm = concat_matrix(m, state.ctm);
    } else if (name == "w") {
      if (!operands.empty()) state.line_width = num(0);
    } else if (name == "gs") {
      if (operands.empty()) continue;
      auto key = as_name(&operands[0]);
      if (!key) continue;
      auto entry = walk.alphas.find(*key);
      if (entry == walk.alphas.end()) continue;
      if (entry->second.fill) state.fill_alpha = *entry->second.fill;
      if (entry->second.stroke) state.stroke_alpha = *entry->second.stroke;
    } else if (name == "g") {
      if (!operands.empty()) set_colour(state.fill_rgb, operands, 1);
    } else if (name == "G") {
      if (!operands.empty()) set_colour(state.stroke_rgb, operands, 1);
    } else if (name == "rg") {
      if (operands.size() >= 3) set_colour(state.fill_rgb, operands, 3);
    } else if (name == "RG") {
      if (operands.size() >= 3) set_colour(state.stroke_rgb, operands, 3);
    } else if (name == "k") {
      if (operands.size() >= 4) set_colour(state.fill_rgb, operands, 4);
    } else if (name == "K") {
      if (operands.size() >= 4) set_colour(state.stroke_rgb, operands, 4);
    } else if (name == "sc" || name == "scn") {
      set_colour(state.fill_rgb, operands, leading_numbers(operands));
    } else if (name == "SC" || name == "SCN") {
      set_colour(state.stroke_rgb, operands, leading_numbers(operands));
    } else if (name == "Do") {
      draw_xobject(walk, operands, xobjects, state, depth);
    }
  }
}

}  // namespace

uint8_t colour_byte(float component) {
  // Written so that NaN gives 0.
  const float c = component > 0 ? std::min(component, 1.0f) : 0.0f;
  return uint8_t(std::clamp(std::round(c * 255.0f), 0.0f, 255.0f));
}

uint32_t rgb_to_rgb(float r, float g, float b) {
  return (uint32_t(colour_byte(r)) << 16) | (uint32_t(colour_byte(g)) << 8) | colour_byte(b);
}

uint32_t grey_to_rgb(float grey) { return rgb_to_rgb(grey, grey, grey); }

uint32_t cmyk_to_rgb(float c, float m, float y, float k) {
  auto unit = [](float v) { return v > 0 ? std::min(v, 1.0f) : 0.0f; };
  const float white = 1 - unit(k);
  return rgb_to_rgb((1 - unit(c)) * white, (1 - unit(m)) * white, (1 - unit(y)) * white);
}

AlphaMap read_alpha_states(const Document& doc, const Dictionary& resources) {
  AlphaMap map;
  const Dictionary* states = dict_entry(doc, resources, "ExtGState");
  if (!states) return map;
  for (const auto& [name, value] : states->entries) {
    const Dictionary* state = as_dict(resolve_object(doc, &value));
    if (!state) continue;
    AlphaState alpha;
    const Object* fill = resolved_entry(doc, *state, "ca");
    if (is_number(fill)) alpha.fill = number_of(fill);
    const Object* stroke = resolved_entry(doc, *state, "CA");
    if (is_number(stroke)) alpha.stroke = number_of(stroke);
    map.emplace(name, alpha);
  }
  return map;
}

void collect_paths(const Document& doc, const Operations& ops, const XObjectMap& xobjects,
                   const AlphaMap& alphas, const PaintState& state, std::vector<VectorPath>& out,
                   int depth) {
  PathWalk walk{doc, alphas, out, {}, max_page_path_segments};
  size_t held = 0;
  for (const VectorPath& p : out) held += p.segments.size();
  walk.segments_left = held < max_page_path_segments ? max_page_path_segments - held : 0;
  walk_operations(walk, ops, xobjects, state, depth);
}

}  // namespace quirelle
