#include "img/collect_images.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "document/saved_states.h"
#include "document/stream_filters.h"
#include "img/decode_image.h"
#include "img/encode_image.h"

namespace quirelle {
namespace {

// Work bounds for one walk, against forms that draw each other many times
// over (a nesting of 8 with 100 Do per level is 10^16 visits): operations
// interpreted inside forms, counted per visit, and form content decoded.
// At a bound the remaining forms are skipped and what was found is kept.
constexpr size_t max_form_operations = size_t(1) << 21;
constexpr size_t max_form_bytes = max_decoded_stream_bytes;

// A form's matrix, operations and own XObject names, decoded once per walk
// however often it is drawn.
struct LoadedForm {
  Matrix matrix = identity_matrix;
  Operations ops;
  XObjectMap xobjects;
};

struct ImageWalk {
  const Document& doc;
  std::vector<ImagePlacement>& out;
  DecodeCache& cache;
  bool inline_mode;
  std::unordered_map<uint64_t, std::unique_ptr<const LoadedForm>> forms;  // null: unusable
  std::vector<uint64_t> open_forms;  // forms being walked, outermost first
  size_t operations_left = max_form_operations;
  size_t bytes_left = max_form_bytes;
  size_t image_bytes = 0;
};

std::unique_ptr<const LoadedForm> load_form(ImageWalk& walk, const Stream& stream) {
  auto data = decoded_stream(walk.doc, stream);
  if (!data.ok() || data.value->size() > walk.bytes_left) return nullptr;
  walk.bytes_left -= data.value->size();
  auto form = std::make_unique<LoadedForm>();
  const Array* matrix = array_entry(walk.doc, stream.dict, "Matrix");
  if (matrix && matrix->items.size() >= 6) form->matrix = matrix_of(matrix);
  form->ops = decode_operations(*data.value);
  if (const Dictionary* resources = dict_entry(walk.doc, stream.dict, "Resources"))
    form->xobjects = xobject_map(walk.doc, *resources);
  return form;
}

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
  if (depth + 1 > max_form_depth) return;
  const uint64_t key = object_key(id);
  // A form that draws itself, directly or through others, is entered once.
  if (std::find(walk.open_forms.begin(), walk.open_forms.end(), key) != walk.open_forms.end()) return;
  auto [it, inserted] = walk.forms.try_emplace(key);
  if (inserted) it->second = load_form(walk, stream);
  const LoadedForm* form = it->second.get();
  if (!form || form->ops.ops.size() > walk.operations_left) return;
  walk.operations_left -= form->ops.ops.size();
  // The form's own names win over the names visible where it is drawn.
  XObjectMap inner = form->xobjects;
  for (const auto& [name, target] : xobjects) inner.emplace(name, target);
  walk.open_forms.push_back(key);
  walk_operations(walk, form->ops, inner, concat_matrix(form->matrix, ctm), depth + 1);
  walk.open_forms.pop_back();
}

void draw_xobject(ImageWalk& walk, std::span<const Object> operands, const XObjectMap& xobjects,
                  const Matrix& ctm, int depth) {
  if (operands.empty() || xobjects.empty()) return;
  auto name = as_name(&operands[0]);
  if (!name) return;
  auto entry = xobjects.find(*name);
  if (entry == xobjects.end()) return;
  const Stream* stream = as_stream(object_by_id(walk.doc, entry->second));
  if (!stream) return;
  auto subtype = as_name(resolved_entry(walk.doc, stream->dict, "Subtype"));
  if (subtype == "Image")
    place_image(walk, entry->second, ctm);
  else if (subtype == "Form")
    draw_form(walk, entry->second, *stream, xobjects, ctm, depth);
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
  ImageWalk walk{doc, out, cache, inline_mode, {}, {}, max_form_operations, max_form_bytes, 0};
  for (const ImagePlacement& p : out) walk.image_bytes += p.data.size();
  walk_operations(walk, ops, xobjects, ctm, depth);
}

}  // namespace quirelle
