// libFuzzer target over the whole C++ core: bytes in, load, then every page
// through the span walker, plain text, the diagnostics and the reports.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/document.h"
#include "document/page_access.h"
#include "html/document/links.h"
#include "img/collect_images.h"
#include "img/collect_paths.h"
#include "img/figures.h"
#include "img/image_report.h"
#include "img/svg_writer.h"
#include "text/debug_page.h"
#include "text/font_loader.h"
#include "text/font_report.h"
#include "text/form_text_spans.h"
#include "text/page_spans.h"
#include "text/page_text.h"

// Enough pages to reach the per-page code on every kind of page; a fuzzed
// page tree of thousands of pages would only slow the run down.
constexpr uint32_t max_fuzzed_pages = 16;

// The page renderer's walks: text inside forms, images decoded and encoded
// both ways, and vector paths grouped into figures and written as SVG.
static void walk_forms_and_images(const quirelle::Document& doc, quirelle::ObjectId page, std::string_view bytes) {
  using namespace quirelle;
  auto content = page_content_bytes(doc, page);
  if (!content.ok()) return;
  const Operations ops = decode_operations(*content.value);
  const PageResources resources = page_resource_dicts(doc, page);
  const XObjectMap xobjects = resources.own ? xobject_map(doc, *resources.own) : XObjectMap{};
  FontCache fonts_seen;
  const PageFontMap fonts = load_page_fonts(doc, page, bytes, &fonts_seen);
  Matrix ctm = identity_matrix;
  std::vector<Span> spans;
  form_text_spans(doc, ops, fonts, xobjects, ctm, bytes, 0, spans);
  for (bool inline_mode : {true, false}) {
    DecodeCache cache;
    std::vector<ImagePlacement> images;
    collect_images(doc, ops, xobjects, identity_matrix, images, cache, 0, inline_mode);
  }
  const AlphaMap alphas = resources.own ? read_alpha_states(doc, *resources.own) : AlphaMap{};
  std::vector<VectorPath> paths;
  collect_paths(doc, ops, xobjects, alphas, PaintState{}, paths, 0);
  for (const FigureRegion& figure : select_figures(std::move(paths)))
    figure_svg(figure, figure_labels(figure, spans), 612);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto loaded = quirelle::reader_load(bytes);
  if (!loaded.ok()) return 0;
  const quirelle::Document& doc = *loaded.value;
  const auto& pages = quirelle::page_list(doc);
  for (uint32_t n = 1; n <= pages.size() && n <= max_fuzzed_pages; ++n) {
    quirelle::page_spans(doc, pages[n - 1], bytes);
    quirelle::hybrid_page_text(doc, n, bytes);
    quirelle::debug_page(doc, pages[n - 1], bytes);
    walk_forms_and_images(doc, pages[n - 1], bytes);
  }
  quirelle::extract_fonts(doc);
  quirelle::extract_images(doc);
  quirelle::collect_links(doc);
  quirelle::collect_named_destinations(doc);
  return 0;
}
