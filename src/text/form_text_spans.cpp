#include "text/form_text_spans.h"

#include <cmath>
#include <unordered_map>

#include "text/font_loader.h"
#include "text/show_text.h"
#include "text/text_state.h"

namespace quirelle {
namespace {

struct FormWalk {
  const Document& doc;
  std::string_view source;
  std::vector<Span>& out;
  FormVisits forms;
  std::unordered_map<uint64_t, PageFontMap> fonts;  // of each form entered, by object key
  ShownText shown;  // one buffer for every show of the walk
};

const PageFontMap& form_fonts(FormWalk& walk, ObjectId id, const DecodedForm& form) {
  auto [it, inserted] = walk.fonts.try_emplace(object_key(id));
  if (inserted && form.resources) it->second = load_resource_fonts(walk.doc, *form.resources, walk.source);
  return it->second;
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
  const auto drawn = drawn_xobject(walk.doc, operands, xobjects);
  if (!drawn || as_name(drawn->stream->dict.find("Subtype")) != "Form") return;
  // A form without resources has no fonts, so no text of its own or below.
  if (!dict_entry(walk.doc, drawn->stream->dict, "Resources")) return;
  const DecodedForm* form = enter_form(walk.doc, walk.forms, drawn->id, *drawn->stream, depth);
  if (!form) return;
  Matrix form_ctm = concat_matrix(form->matrix, ctm);
  walk_operations(walk, form->ops, form_fonts(walk, drawn->id, *form), form->xobjects, form_ctm, depth + 1);
  leave_form(walk.forms);
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

void form_text_spans(const Document& doc, const Operations& ops, const PageFontMap& fonts,
                     const XObjectMap& xobjects, Matrix& ctm, std::string_view source, int depth,
                     std::vector<Span>& out) {
  FormWalk walk{doc, source, out, {}, {}, {}};
  walk_operations(walk, ops, fonts, xobjects, ctm, depth);
}

}  // namespace quirelle
