#include "text/text_state.h"

namespace quirelle {
namespace {

// translate(tx, ty) x m
Matrix translated(const Matrix& m, float tx, float ty) {
  return {m[0], m[1], m[2], m[3], tx * m[0] + ty * m[2] + m[4], tx * m[1] + ty * m[3] + m[5]};
}

Matrix matrix_from(std::span<const Object> operands) {
  Matrix m;
  for (size_t i = 0; i < 6; ++i) m[i] = number_of(&operands[i]);
  return m;
}

void move_line(TextState& state, float tx, float ty) {
  state.tlm = translated(state.tlm, tx, ty);
  state.tm = state.tlm;
}

}  // namespace

ContentOperator classify_operator(std::string_view op) {
  using enum ContentOperator;
  switch (op.size()) {
    case 1:
      switch (op[0]) {
        case 'q': return save;
        case 'Q': return restore;
        case '\'':
        case '"': return next_line_show;
        default: return other;
      }
    case 2:
      if (op == "cm") return concat;
      if (op == "Do") return draw_xobject;
      if (op[0] == 'B') return op[1] == 'T' ? begin_text : other;
      if (op[0] != 'T') return other;
      switch (op[1]) {
        case 'f': return set_font;
        case 'd': return move_text;
        case 'D': return move_text_leading;
        case 'm': return set_text_matrix;
        case 'L': return set_leading;
        case 'c': return set_char_spacing;
        case 'w': return set_word_spacing;
        case 's': return set_rise;
        case '*': return next_line;
        case 'j': return show;
        case 'J': return show_adjusted;
        default: return other;
      }
    default: return other;
  }
}

bool apply_graphics_operator(GraphicsState& state, ContentOperator op,
                             std::span<const Object> operands) {
  switch (op) {
    case ContentOperator::save:
      state.saved.push(state.ctm);
      return true;
    case ContentOperator::restore:
      state.saved.pop(state.ctm);
      return true;
    case ContentOperator::concat:
      if (operands.size() >= 6) state.ctm = concat_matrix(matrix_from(operands), state.ctm);
      return true;
    default: return false;
  }
}

bool apply_text_operator(TextState& state, ContentOperator op, std::span<const Object> operands,
                         const PageFontMap& fonts) {
  using enum ContentOperator;
  const size_t count = operands.size();
  switch (op) {
    case begin_text:
      state.tm = state.tlm = identity_matrix;
      return true;
    case set_font:
      // Either operand is applied on its own, so a damaged Tf still sets what
      // it can.
      if (count >= 1) {
        if (auto name = as_name(&operands[0])) {
          auto it = fonts.find(*name);
          state.font = it == fonts.end() ? nullptr : it->second.get();
        }
      }
      if (count >= 2) state.size = number_of(&operands[1]);
      return true;
    case move_text:
      if (count >= 2) move_line(state, number_of(&operands[0]), number_of(&operands[1]));
      return true;
    case move_text_leading:
      if (count >= 2) {
        state.leading = -number_of(&operands[1]);
        move_line(state, number_of(&operands[0]), number_of(&operands[1]));
      }
      return true;
    case set_text_matrix:
      if (count >= 6) state.tm = state.tlm = matrix_from(operands);
      return true;
    case set_leading:
      if (count >= 1) state.leading = number_of(&operands[0]);
      return true;
    case set_char_spacing:
      if (count >= 1) state.char_spacing = number_of(&operands[0]);
      return true;
    case set_word_spacing:
      if (count >= 1) state.word_spacing = number_of(&operands[0]);
      return true;
    case set_rise:
      if (count >= 1) state.rise = number_of(&operands[0]);
      return true;
    case next_line:
      move_line(state, 0, -state.leading);
      return true;
    default: return false;
  }
}

std::span<const Object> shown_elements(TextState& state, ContentOperator op,
                                       std::span<const Object> operands) {
  switch (op) {
    case ContentOperator::show:
      if (!operands.empty() && operands[0].is(ObjectKind::String)) return operands.first(1);
      return {};
    case ContentOperator::show_adjusted:
      if (const Array* array = operands.empty() ? nullptr : as_array(&operands[0])) return array->items;
      return {};
    case ContentOperator::next_line_show:
      // The spacing operands of the double-quote operator are not applied.
      move_line(state, 0, -state.leading);
      if (!operands.empty() && operands.back().is(ObjectKind::String)) return operands.last(1);
      return {};
    default: return {};
  }
}

void advance_text(TextState& state, float advance) { state.tm = translated(state.tm, advance, 0); }

}  // namespace quirelle
