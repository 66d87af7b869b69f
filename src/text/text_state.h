#pragma once

// The interpreter state and the operators shared by the page walker and the
// form walker: the CTM with its q/Q stack, and the text state.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "document/access.h"
#include "document/saved_states.h"
#include "text/font_record.h"

namespace quirelle {

enum class ContentOperator : uint8_t {
  other,             // anything the text walkers ignore
  save,              // q
  restore,           // Q
  concat,            // cm
  begin_text,        // BT
  set_font,          // Tf
  move_text,         // Td
  move_text_leading, // TD
  set_text_matrix,   // Tm
  set_leading,       // TL
  set_char_spacing,  // Tc
  set_word_spacing,  // Tw
  set_rise,          // Ts
  next_line,         // T*
  show,              // Tj
  show_adjusted,     // TJ
  next_line_show,    // ' and "
  draw_xobject,      // Do
};

ContentOperator classify_operator(std::string_view op);

struct GraphicsState {
  Matrix ctm = identity_matrix;
  // q saves the CTM only: nothing else the walkers track belongs to the
  // graphics state.
  SavedStates<Matrix> saved;
};

// q, Q and cm; false for any other operator.
bool apply_graphics_operator(GraphicsState& state, ContentOperator op,
                             std::span<const Object> operands);

struct TextState {
  const FontRecord* font = nullptr;  // none until Tf names a known font
  float size = 0;
  float char_spacing = 0;  // Tc, text-space units
  float word_spacing = 0;  // Tw, text-space units
  float leading = 0;       // TL, text-space units
  float rise = 0;          // Ts, text-space units
  Matrix tm = identity_matrix;
  Matrix tlm = identity_matrix;
};

// The text-state and text-positioning operators (BT, Tf, Td, TD, Tm, TL, Tc,
// Tw, Ts, T*); false for any other operator. Too few operands leave the
// state unchanged.
bool apply_text_operator(TextState& state, ContentOperator op, std::span<const Object> operands,
                         const PageFontMap& fonts);

// What a showing operator shows: the String of Tj, the items of a TJ array,
// the last operand of a quote operator (after it has moved to the next line).
// Empty when the operator shows nothing.
std::span<const Object> shown_elements(TextState& state, ContentOperator op,
                                       std::span<const Object> operands);

// The text position after a show moved it by `advance` (Tm only, not Tlm).
void advance_text(TextState& state, float advance);

}  // namespace quirelle
