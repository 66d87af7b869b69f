#include "img/collect_images.h"

#include <algorithm>

#include "document/form_visits.h"
#include "document/saved_states.h"
#include "img/decode_image.h"
#include "img/encode_image.h"

namespace quirelle {
namespace {

struct ImageWalk {
  const Document& doc;
  std::vector<ImagePlacement>& out;
  DecodeCache& cache;
  bool inline_mode;
  FormVisits forms;
  size_t image_bytes = 0;
};

// The bounding box of the unit square under `ctm`: {x0, y0, x1, y1}.
std::array<float, 4> unit_square_box(const Matrix& m) {
  const float xs[4] = {m[4], m[0] + m[4], m[2] + m[4], m[0] + m[2] + m[4]};
  const float ys[4] = {m[5], m[1] + m[5], m[3] + m[5], m[1] + m[3] + m[5]};
  return {*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4), *std::max_element(xs, xs + 4),
          *std::max_element(ys, ys + 4)};
}

void place_image(ImageWalk& walk, ObjectId id, const Matrix& ctm) {
  const auto [x0, y0, x1, y1] = unit_square_box(ctm);
  // Written so that NaN extents are rejected too.
  if (!(x1 - x0 >= min_image_extent_pt) || !(y1 - y0 >= min_image_extent_pt)) return;
  if (walk.out.size() >= max_page_images) return;
  if (!walk.inline_mode) {
    if (image_is_renderable(walk.doc, id)) walk.out.push_back({std::string(), y1, y0});
    return;
  }
  auto uri = encode_image(walk.cache, walk.doc, id);
  if (!uri || uri->size() > max_page_image_bytes - walk.image_bytes) return;
  walk.image_bytes += uri->size();
  walk.out.push_back({std::move(*uri), y1, y0});
}

void walk_operations(ImageWalk& walk, const Operations& ops, const XObjectMap& xobjects, Matrix ctm,
                     int depth);

void draw_form(ImageWalk& walk, ObjectId id, const Stream& stream, const XObjectMap& xobjects,
               const Matrix& ctm, int depth) {
  const DecodedForm* form = enter_form(walk.doc, walk.forms, id, stream, depth);
  if (!form) return;
  walk_operations(walk, form->ops, xobjects_inside(*form, xobjects), concat_matrix(form->matrix, ctm), depth + 1);
  leave_form(walk.forms);
}

void draw_xobject(ImageWalk& walk, std::span<const Object> operands, const XObjectMap& xobjects,
                  const Matrix& ctm, int depth) {
  const auto drawn = drawn_xobject(walk.doc, operands, xobjects);
  if (!drawn) return;
  auto subtype = as_name(resolved_entry(walk.doc, drawn->stream->dict, "Subtype"));
  if (subtype == "Image")
    place_image(walk, drawn->id, ctm);
  else if (subtype == "Form")
    draw_form(walk, drawn->id, *drawn->stream, xobjects, ctm, depth);
}

void walk_operations(ImageWalk& walk, const Operations& ops, const XObjectMap& xobjects, Matrix ctm,
                     int depth) {
  if (depth > max_form_depth) return;
  SavedStates<Matrix> saved;
  for (const Operation& op : ops.ops) {
    const std::string_view name = op.op;
    if (name == "q") {
      saved.push(ctm);
    } else if (name == "Q") {
      saved.pop(ctm);
    } else if (name == "cm") {
      const auto operands = ops.operands_of(op);
      if (operands.size() < 6) continue;
      Matrix m;
      for (size_t i = 0; i < 6; ++i) m[i] = number_of(&operands[i]);
      ctm = concat_matrix(m, ctm);
    } else if (name == "Do") {
      draw_xobject(walk, ops.operands_of(op), xobjects, ctm, depth);
    }
  }
}

}  // namespace

void collect_images(const Document& doc, const Operations& ops, const XObjectMap& xobjects,
                    const Matrix& ctm, std::vector<ImagePlacement>& out, DecodeCache& cache, int depth,
                    bool inline_mode) {
  ImageWalk walk{doc, out, cache, inline_mode, {}, 0};
  for (const ImagePlacement& p : out) walk.image_bytes += p.data.size();
  walk_operations(walk, ops, xobjects, ctm, depth);
}

}  // namespace quirelle
