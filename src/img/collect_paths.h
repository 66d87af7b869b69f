#pragma once
// The vector paths a page paints: a walk of its content that follows the
// graphics state (CTM, line width, colours, ExtGState opacities) into Form
// XObjects and records every filled or stroked path.

#include <cstdint>
#include <vector>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/form_visits.h"
#include "img/vector_path.h"

namespace quirelle {

// Fills and strokes fainter than this opacity (compared with <) are not
// painted: they are watermarks and hover effects, not drawing.
inline constexpr float min_paint_alpha = 0.04f;

// Thinnest stroke kept, in points of page user space (compared with <):
// a width of 0 means the thinnest line the device can draw.
inline constexpr float min_stroke_width_pt = 0.3f;

// Path segments kept per walk, painted or still being built (compared with
// >=): a page may draw millions of tiny dots. At the bound further segments
// are dropped and the paths found so far are kept.
inline constexpr size_t max_page_path_segments = 200'000;

// A colour component clamped to [0, 1] and scaled to [0, 255], rounded half
// away from zero; NaN counts as 0.
uint8_t colour_byte(float component);
// 0xRRGGBB of a grey level and of an RGB colour.
uint32_t grey_to_rgb(float grey);
uint32_t rgb_to_rgb(float r, float g, float b);
// R = (1 - c)(1 - k), G = (1 - m)(1 - k), B = (1 - y)(1 - k).
uint32_t cmyk_to_rgb(float c, float m, float y, float k);

// The ca and CA of each ExtGState of `resources` (entries may be indirect);
// values that are not numbers are absent, unresolvable states skipped.
AlphaMap read_alpha_states(const Document& doc, const Dictionary& resources);

// Appends to `out` the paths painted by `ops`, whose XObject resources are
// `xobjects`, starting from `state`. Form XObjects are walked down to
// max_form_depth (compared with >; the page is depth 0) and resolve
// ExtGState names through `alphas`, the page's map. `order` is left 0.
void collect_paths(const Document& doc, const Operations& ops, const XObjectMap& xobjects,
                   const AlphaMap& alphas, const PaintState& state, std::vector<VectorPath>& out,
                   int depth);

}  // namespace quirelle
