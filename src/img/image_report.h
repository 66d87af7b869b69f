#pragma once
// The image XObjects each page's own resources declare, with their bytes
// as stored (still encoded).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"

namespace quirelle {

struct ImageReportEntry {
  uint32_t page = 0;
  uint32_t index = 0;  // among the images reported for the page
  int64_t width = 0;   // 0 when missing or not an integer
  int64_t height = 0;
  std::optional<std::string> color_space;
  std::string format;       // "jpeg", "jpx", "ccitt", "jbig2" or "raw"
  std::string_view data;    // points into the document
};

std::vector<ImageReportEntry> extract_images(const Document& doc);

// The format the image filters imply, by precedence (DCT, JPX, CCITT, JBIG2).
std::string image_format(const Document& doc, const Dictionary& image);

}  // namespace quirelle
