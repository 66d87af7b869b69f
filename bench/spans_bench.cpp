// Spans of every page of every PDF given (files or directories), single
// threaded: loading and span time separately, pages per second.
//   build/bench/spans_bench ../shared/corpus/real

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "document/read_file.h"
#include "text/page_spans.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (fs::is_directory(argv[i])) {
      for (const auto& entry : fs::directory_iterator(argv[i]))
        if (entry.path().extension() == ".pdf") files.push_back(entry.path().string());
    } else {
      files.push_back(argv[i]);
    }
  }
  std::sort(files.begin(), files.end());
  double load_seconds = 0, span_seconds = 0;
  size_t pages = 0, spans = 0, documents = 0;
  for (const auto& path : files) {
    auto bytes = quirelle::read_file(path);
    if (!bytes.ok()) continue;
    auto t0 = Clock::now();
    auto doc = quirelle::reader_load(*bytes.value);
    auto t1 = Clock::now();
    load_seconds += std::chrono::duration<double>(t1 - t0).count();
    if (!doc.ok()) continue;
    ++documents;
    quirelle::FontCache fonts_seen;  // as extract_text does for a whole document
    for (auto page : quirelle::page_list(*doc.value)) {
      spans += quirelle::page_spans(*doc.value, page, *bytes.value, &fonts_seen).size();
      ++pages;
    }
    span_seconds += std::chrono::duration<double>(Clock::now() - t1).count();
  }
  std::printf("documents %zu, pages %zu, spans %zu\n", documents, pages, spans);
  std::printf("load %.3f s, spans %.3f s: %.0f pages/s for spans, %.0f pages/s with loading\n", load_seconds,
              span_seconds, double(pages) / span_seconds, double(pages) / (span_seconds + load_seconds));
}
