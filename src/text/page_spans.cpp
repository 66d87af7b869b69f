#include "text/page_spans.h"

#include <cmath>
#include <functional>
#include <unordered_set>

#include "document/content_operations.h"
#include "document/page_access.h"
#include "text/font_loader.h"
#include "text/show_text.h"
#include "text/text_state.h"

namespace quirelle {
namespace {

void add_span(const TextState& text, const Matrix& ctm, TextPiece& piece, std::vector<Span>& out) {
  const Matrix& tm = text.tm;
  // The piece's origin in user space before the CTM, lifted by the rise.
  const float ox = piece.x * tm[0] + text.rise * tm[2] + tm[4];
  const float oy = piece.x * tm[1] + text.rise * tm[3] + tm[5];
  const float ux = tm[0] * ctm[0] + tm[1] * ctm[2];
  const float uy = tm[0] * ctm[1] + tm[1] * ctm[3];
  float angle = std::atan2(uy, ux);
  const bool upright = !(std::fabs(angle) > max_upright_angle);
  // Positions, sizes and widths are all in user space, through the CTM, like
  // every other geometry of the page (images, paths, link rectangles).
  // Producers that flip or scale the page with one cm (browsers, office
  // suites) would otherwise have their lines read bottom up or stacked.
  float scale, width_scale;
  if (upright) {
    angle = 0;
    scale = tm[2] * ctm[1] + tm[3] * ctm[3];
    width_scale = ux;
  } else {
    scale = std::hypot(tm[2] * ctm[0] + tm[3] * ctm[2], tm[2] * ctm[1] + tm[3] * ctm[3]);
    width_scale = std::hypot(ux, uy);
  }
  const float x = ox * ctm[0] + oy * ctm[2] + ctm[4];
  const float y = ox * ctm[1] + oy * ctm[3] + ctm[5];
  const float size = std::fabs(text.size * scale);
  // Written so that a NaN size is dropped too.
  if (piece.text.empty() || !(size >= min_span_size)) return;
  const FontRecord* font = text.font;
  out.push_back(Span{std::move(piece.text), x, y, size, std::fabs(piece.width * width_scale), angle,
                     font && font->bold, font && font->italic, font && font->mono});
}

std::vector<Span> operation_spans(const Operations& ops, const PageFontMap& fonts) {
  std::vector<Span> spans;
  GraphicsState graphics;
  TextState text;
  ShownText shown;  // one buffer for every show on the page
  for (const Operation& op : ops.ops) {
    const ContentOperator kind = classify_operator(op.op);
    if (kind == ContentOperator::other || kind == ContentOperator::draw_xobject) continue;
    const auto operands = ops.operands_of(op);
    if (apply_graphics_operator(graphics, kind, operands)) continue;
    if (apply_text_operator(text, kind, operands, fonts)) continue;
    const auto elements = shown_elements(text, kind, operands);
    if (elements.empty()) continue;
    show_text(text.font, elements, text.size, text.char_spacing, text.word_spacing, shown);
    for (TextPiece& piece : shown.pieces) add_span(text, graphics.ctm, piece, spans);
    advance_text(text, shown.advance);
  }
  return spans;
}

struct SpanKey {
  float x;
  float y;
  std::string_view text;
  friend bool operator==(const SpanKey&, const SpanKey&) = default;
};

struct SpanKeyHash {
  size_t operator()(const SpanKey& key) const {
    size_t h = std::hash<std::string_view>{}(key.text);
    h ^= std::hash<float>{}(key.x) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= std::hash<float>{}(key.y) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
  }
};

}  // namespace

void remove_duplicate_spans(std::vector<Span>& spans) {
  // Marked first and compacted after: the keys point into the span texts,
  // which must not move while the set is in use.
  std::vector<char> keep(spans.size());
  {
    std::unordered_set<SpanKey, SpanKeyHash> seen;
    seen.reserve(spans.size());
    for (size_t i = 0; i < spans.size(); ++i) {
      // std::round rounds halves away from zero; adding 0 turns -0 into +0.
      SpanKey key{std::round(spans[i].x) + 0.0f, std::round(spans[i].y) + 0.0f, spans[i].text};
      keep[i] = seen.insert(key).second;
    }
  }
  size_t kept = 0;
  for (size_t i = 0; i < spans.size(); ++i) {
    if (!keep[i]) continue;
    if (kept != i) spans[kept] = std::move(spans[i]);
    ++kept;
  }
  spans.resize(kept);
}

std::vector<Span> page_spans(const Document& doc, ObjectId page, std::string_view source, FontCache* fonts_seen) {
  auto content = page_content_bytes(doc, page);
  if (!content.ok()) return {};
  const Operations ops = decode_operations(*content.value);
  const PageFontMap fonts = load_page_fonts(doc, page, source, fonts_seen);
  std::vector<Span> spans = operation_spans(ops, fonts);
  remove_duplicate_spans(spans);
  return spans;
}

}  // namespace quirelle
