#include "text/page_text.h"

#include <algorithm>
#include <cmath>

#include "text/page_spans.h"
#include "text/reader_page_text.h"
#include "text/reading_order.h"
#include "text/unicode.h"

namespace quirelle {
namespace {

// Below this a span's width is unreliable and is estimated from its length.
constexpr float min_reliable_width = 0.1f;
// Estimated advance of one character, in text sizes.
constexpr float estimated_char_width_em = 0.5f;
// A gap wider than this many text sizes between two spans on one line is a space.
constexpr float space_gap_em = 0.2f;
// The hybrid rule: pages whose own text has fewer characters use the fallback.
constexpr size_t min_own_characters = 2;

float median_size(const std::vector<Span>& spans) {
  std::vector<float> sizes;
  sizes.reserve(spans.size());
  for (const Span& s : spans) sizes.push_back(s.size);
  std::sort(sizes.begin(), sizes.end());
  return sizes[sizes.size() / 2];
}

float advance_of(const Span& s) {
  if (s.width > min_reliable_width) return s.width;
  return float(count_code_points(s.text)) * s.size * estimated_char_width_em;
}

}  // namespace

std::string page_text(const Document& doc, ObjectId page, std::string_view source, FontCache* fonts_seen) {
  std::vector<Span> spans = page_spans(doc, page, source, fonts_seen);
  std::erase_if(spans, [](const Span& s) {
    return s.text.empty() || !std::isfinite(s.x) || !std::isfinite(s.y) || !std::isfinite(s.size);
  });
  if (spans.empty()) return {};
  const float size = std::max(median_size(spans), 1.0f);
  const float line_tolerance = std::max(0.6f * size, 2.0f);
  std::vector<Box> boxes;
  boxes.reserve(spans.size());
  for (const Span& s : spans) boxes.push_back({s.x, s.x + advance_of(s), s.y, s.y + std::max(s.size, 1.0f)});
  std::string text;
  float previous_end = 0, previous_key = 0;
  bool first = true;
  for (uint32_t i : reading_order(boxes, size)) {
    const Span& s = spans[i];
    float key = std::round(s.y / line_tolerance);
    if (!first) {
      if (key != previous_key) {
        text += '\n';
      } else if (s.x - previous_end > space_gap_em * s.size && text.back() != ' ' && s.text.front() != ' ') {
        text += ' ';
      }
    }
    text += s.text;
    previous_end = s.x + advance_of(s);
    previous_key = key;
    first = false;
  }
  return text;
}

std::string hybrid_page_text(const Document& doc, uint32_t page_number, std::string_view source,
                             FontCache* fonts_seen) {
  const ObjectId* page = page_id(doc, page_number);
  if (!page) return {};
  std::string own = page_text(doc, *page, source, fonts_seen);
  if (count_code_points(trim_whitespace(own)) >= min_own_characters) return own;
  auto fallback = reader_page_text(doc, page_number);
  return fallback.ok() ? std::move(*fallback.value) : std::string();
}

std::string extract_text(const Document& doc, std::string_view source) {
  std::string out;
  FontCache fonts_seen;
  for (uint32_t n = 1; n <= page_list(doc).size(); ++n) {
    out += hybrid_page_text(doc, n, source, &fonts_seen);
    out += '\n';
  }
  return out;
}

std::string mine_text(const Document& doc, std::string_view source) {
  std::string out;
  FontCache fonts_seen;
  for (ObjectId page : page_list(doc)) {
    out += page_text(doc, page, source, &fonts_seen);
    out += '\n';
  }
  return out;
}

}  // namespace quirelle
