// Image capture and encoding of every page of the PDFs given, single
// threaded, as the page renderer does it: each page's content is decoded, its
// images (Form XObjects included) are found and turned into data URIs, one
// decode cache a page. Prints one line of JSON with the totals; "seconds"
// includes reading and loading the files, and is split into loading, content
// decoding and capture with encoding. With --list, also prints for each
// file a line {"file": ..., "pages": [[object numbers encoded], ...]}, so a
// peer can be given the same images.
//   build/cbench/images_bench [--list] FILE...

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/document.h"
#include "document/page_access.h"
#include "document/read_file.h"
#include "img/collect_images.h"
#include "document/xobjects.h"

using Clock = std::chrono::steady_clock;
using namespace quirelle;

struct Totals {
  size_t documents = 0, pages = 0, images = 0, encoded = 0, uri_bytes = 0;
  double load = 0, content = 0, capture = 0;
};

static double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Object numbers of the images encoded on the page, in no particular order.
static std::vector<uint32_t> page_images(const Document& doc, ObjectId page, Totals& totals) {
  std::vector<uint32_t> encoded;
  auto start = Clock::now();
  const auto content = page_content_bytes(doc, page);
  if (!content.ok()) return encoded;
  const Operations ops = decode_operations(*content.value);
  totals.content += seconds_since(start);
  start = Clock::now();
  const PageResources resources = page_resource_dicts(doc, page);
  const XObjectMap xobjects = resources.own ? xobject_map(doc, *resources.own) : XObjectMap{};
  std::vector<ImagePlacement> images;
  DecodeCache cache;
  collect_images(doc, ops, xobjects, identity_matrix, images, cache, 0, true);
  totals.capture += seconds_since(start);
  totals.images += images.size();
  for (const auto& [key, uri] : cache)
    if (uri) {
      ++totals.encoded;
      totals.uri_bytes += uri->size();
      encoded.push_back(uint32_t(key >> 16));
    }
  return encoded;
}

static void print_list(const char* path, const std::vector<std::vector<uint32_t>>& pages) {
  std::printf("{\"file\": \"%s\", \"pages\": [", path);
  for (size_t p = 0; p < pages.size(); ++p) {
    std::printf("%s[", p ? ", " : "");
    for (size_t i = 0; i < pages[p].size(); ++i) std::printf("%s%u", i ? ", " : "", pages[p][i]);
    std::printf("]");
  }
  std::printf("]}\n");
}

int main(int argc, char** argv) {
  Totals totals;
  int first = 1;
  const bool list = argc > 1 && std::string(argv[1]) == "--list";
  if (list) ++first;
  const auto start = Clock::now();
  for (int i = first; i < argc; ++i) {
    const auto bytes = read_file(argv[i]);
    if (!bytes.ok()) continue;
    const auto load_start = Clock::now();
    const auto doc = reader_load(*bytes.value);
    totals.load += seconds_since(load_start);
    if (!doc.ok()) continue;
    ++totals.documents;
    std::vector<std::vector<uint32_t>> encoded;
    for (ObjectId page : page_list(*doc.value)) {
      ++totals.pages;
      encoded.push_back(page_images(*doc.value, page, totals));
    }
    if (list) print_list(argv[i], encoded);
  }
  std::printf("{\"documents\": %zu, \"pages\": %zu, \"images\": %zu, \"encoded\": %zu, \"bytes\": %zu, "
              "\"seconds\": %.4f, \"load\": %.4f, \"content\": %.4f, \"capture\": %.4f}\n",
              totals.documents, totals.pages, totals.images, totals.encoded, totals.uri_bytes,
              seconds_since(start), totals.load, totals.content, totals.capture);
}
