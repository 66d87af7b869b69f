#pragma once
// The raster images a page draws: a walk of its content that follows the
// CTM into Form XObjects and records where each image lands.

#include <vector>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/form_visits.h"
#include "img/image_placement.h"

namespace quirelle {

// Images whose placed box is narrower or lower than this (compared with <)
// are rules, icons and bullets, not figures.
inline constexpr float min_image_extent_pt = 24.0f;

// Bounds of one page's images against a page that draws one large image
// thousands of times: at either bound further images are dropped.
inline constexpr size_t max_page_images = 4096;
inline constexpr size_t max_page_image_bytes = size_t(256) << 20;  // data URI bytes

// Appends to `out` the images drawn by `ops`, whose XObject resources are
// `xobjects`, starting from `ctm`; Form XObjects are walked down to
// max_form_depth (compared with >; the page is depth 0). With `inline_mode`
// each placement carries its data URI through `cache`; without it no pixel
// is decoded and a placement's data is empty.
void collect_images(const Document& doc, const Operations& ops, const XObjectMap& xobjects,
                    const Matrix& ctm, std::vector<ImagePlacement>& out, DecodeCache& cache, int depth,
                    bool inline_mode);

}  // namespace quirelle
