#include "text/form_text_spans.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "document/stream_filters.h"
#include "text/font_loader.h"
#include "text/show_text.h"
#include "text/text_state.h"

namespace quirelle {
namespace {

// Work bounds for one walk, against forms that draw each other many times
// over (a nesting of 8 with 100 Do per level is 10^16 visits, each of which
// may emit spans): operations interpreted inside forms, counted per visit,
// and decoded form data held at once. At a bound the remaining forms are
// skipped and what was found is kept.
constexpr size_t max_form_operations = size_t(1) << 21;
constexpr size_t max_form_bytes = max_decoded_stream_bytes;

// A form's content and resources, decoded once per walk however often it is
// drawn.
struct LoadedForm {
  Matrix matrix = identity_matrix;
  Operations ops;
  PageFontMap fonts;
  XObjectMap xobjects;
};

struct FormWalk {
  const Document& doc;
  std::string_view source;
  std::vector<Span>& out;
  std::unordered_map<uint64_t, std::unique_ptr<const LoadedForm>> forms;  // null: not a form
  std::vector<uint64_t> open_forms;  // forms being walked, outermost first
  size_t operations_left = max_form_operations;
  size_t bytes_left = max_form_bytes;
  ShownText shown;  // one buffer for every show of the walk
};

std::unique_ptr<const LoadedForm> load_form(FormWalk& walk, ObjectId id) {
  const Stream* stream = as_stream(object_by_id(walk.doc, id));
  if (!stream) return nullptr;
  auto subtype = as_name(stream->dict.find("Subtype"));
  if (!subtype || *subtype != "Form") return nullptr;
  const Dictionary* resources = dict_entry(walk.doc, stream->dict, "Resources");
  if (!resources) return nullptr;
  auto form = std::make_unique<LoadedForm>();
  const Array* matrix = array_entry(walk.doc, stream->dict, "Matrix");
  if (matrix && matrix->items.size() >= 6) form->matrix = matrix_of(matrix);
  auto data = decoded_stream(walk.doc, *stream);
  if (data.ok()) {
    if (data.value->size() > walk.bytes_left) return nullptr;
    walk.bytes_left -= data.value->size();
    form->ops = decode_operations(*data.value);
  }
  form->fonts = load_resource_fonts(walk.doc, *resources, walk.source);
  form->xobjects = xobject_map(walk.doc, *resources);
  return form;
}

const LoadedForm* find_form(FormWalk& walk, ObjectId id) {
  auto [it, inserted] = walk.forms.try_emplace(object_key(id));
  if (inserted) it->second = load_form(walk, id);
  return it->second.get();
}

void add_span(const TextState& text, const Matrix& ctm, TextPiece& piece, std::vector<Span>& out) {
  const Matrix& tm = text.tm;
  // No rise here: the form walker leaves Ts alone.
  const float ox = piece.x * tm[0] + tm[4];
  const float oy = piece.x * tm[1] + tm[5];
  const float ux = tm[0] * ctm[0] + tm[1] * ctm[2];
  const float uy = tm[0] * ctm[1] + tm[1] * ctm[3];
  float angle = std::atan2(uy, ux);
  const float vx = tm[2] * ctm[0] + tm[3] * ctm[2];
  const float vy = tm[2] * ctm[1] + tm[3] * ctm[3];
  float scale;
  if (std::fabs(angle) > max_upright_angle) {
    scale = std::hypot(vx, vy);
  } else {
    angle = 0;
    scale = vy;
  }
  const float size = std::fabs(text.size * scale);
  if (piece.text.empty() || !(size >= min_span_size)) return;  // NaN sizes are dropped too
  const FontRecord* font = text.font;
  out.push_back(Span{std::move(piece.text), ox * ctm[0] + oy * ctm[2] + ctm[4],
                     ox * ctm[1] + oy * ctm[3] + ctm[5], size, std::fabs(piece.width * ux), angle,
                     font && font->bold, font && font->italic, font && font->mono});
}

void walk_operations(FormWalk& walk, const Operations& ops, const PageFontMap& fonts,
                     const XObjectMap& xobjects, Matrix& ctm, int depth);

void draw_form(FormWalk& walk, std::span<const Object> operands, const XObjectMap& xobjects,
               const Matrix& ctm, int depth) {
  if (depth + 1 > max_form_depth || operands.empty()) return;
  auto name = as_name(&operands[0]);
  if (!name) return;
  auto entry = xobjects.find(*name);
  if (entry == xobjects.end()) return;
  const uint64_t key = object_key(entry->second);
  // A form that draws itself, directly or through others, is entered once.
  if (std::find(walk.open_forms.begin(), walk.open_forms.end(), key) != walk.open_forms.end()) return;
  const LoadedForm* form = find_form(walk, entry->second);
  if (!form || form->ops.ops.size() > walk.operations_left) return;
  walk.operations_left -= form->ops.ops.size();
  Matrix form_ctm = concat_matrix(form->matrix, ctm);
  walk.open_forms.push_back(key);
  walk_operations(walk, form->ops, form->fonts, form->xobjects, form_ctm, depth + 1);
  walk.open_forms.pop_back();
}

void walk_operations(FormWalk& walk, const Operations& ops, const PageFontMap& fonts,
                     const XObjectMap& xobjects, Matrix& ctm, int depth) {
  if (depth > max_form_depth) return;
  GraphicsState graphics{ctm, {}};
  TextState text;  // every form starts with a fresh text state
  for (const Operation& op : ops.ops) {
    const ContentOperator kind = classify_operator(op.op);
    if (kind == ContentOperator::other || kind == ContentOperator::set_rise) continue;
    const auto operands = ops.operands_of(op);
    if (kind == ContentOperator::draw_xobject) {
      draw_form(walk, operands, xobjects, graphics.ctm, depth);
      continue;
    }
    if (apply_graphics_operator(graphics, kind, operands)) continue;
    // The page's own text (depth 0) belongs to the page walker; its text
    // state cannot reach into a form, so it need not be followed at all.
    if (depth == 0) continue;
    if (apply_text_operator(text, kind, operands, fonts)) continue;
    const auto elements = shown_elements(text, kind, operands);
    if (elements.empty()) continue;
    show_text(text.font, elements, text.size, text.char_spacing, text.word_spacing, walk.shown);
    for (TextPiece& piece : walk.shown.pieces) add_span(text, graphics.ctm, piece, walk.out);
    advance_text(text, walk.shown.advance);
  }
  ctm = graphics.ctm;
}

}  // namespace

XObjectMap xobject_map(const Document& doc, const Dictionary& resources) {
  XObjectMap map;
  const Dictionary* xobjects = dict_entry(doc, resources, "XObject");
  if (!xobjects) return map;
  for (const auto& [name, value] : xobjects->entries)
    if (value.is(ObjectKind::Reference)) map.emplace(name, std::get<ObjectId>(value.value));
  return map;
}

void form_text_spans(const Document& doc, const Operations& ops, const PageFontMap& fonts,
                     const XObjectMap& xobjects, Matrix& ctm, std::string_view source, int depth,
                     std::vector<Span>& out) {
  FormWalk walk{doc, source, out, {}, {}, max_form_operations, max_form_bytes, {}};
  walk_operations(walk, ops, fonts, xobjects, ctm, depth);
}

}  // namespace quirelle
