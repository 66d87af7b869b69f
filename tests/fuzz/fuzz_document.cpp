// libFuzzer target over the whole C++ core: bytes in, load, then every page
// through the span walker, plain text, the diagnostics and the reports.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/document.h"
#include "html/document/links.h"
#include "img/image_report.h"
#include "text/debug_page.h"
#include "text/font_report.h"
#include "text/page_spans.h"
#include "text/page_text.h"

// Enough pages to reach the per-page code on every kind of page; a fuzzed
// page tree of thousands of pages would only slow the run down.
constexpr uint32_t max_fuzzed_pages = 16;

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
  }
  quirelle::extract_fonts(doc);
  quirelle::extract_images(doc);
  quirelle::collect_links(doc);
  quirelle::collect_named_destinations(doc);
  return 0;
}
