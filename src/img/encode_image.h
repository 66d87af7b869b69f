#pragma once
// Image XObjects as data URIs: JPEG data wrapped as stored, everything else
// (and any image with a soft mask) as PNG.

#include <optional>
#include <string>

#include "document/document.h"
#include "img/image_placement.h"

namespace quirelle {

// The data URI of the image, "data:image/jpeg;base64,..." or
// "data:image/png;base64,...", or none when it cannot be rendered. The
// result, a failure included, is kept in `cache`, so an image drawn many
// times on a page is encoded once.
std::optional<std::string> encode_image(DecodeCache& cache, const Document& doc, ObjectId image);

}  // namespace quirelle
