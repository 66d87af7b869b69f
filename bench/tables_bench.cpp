// Times table detection on dense pages: a 100 x 100 grid of numbers
// (10,000 spans, one table of 100 columns), the same grid cut in two by a
// gutter with prose beside it (the two-column path and the re-detection
// across the gutter), and 10,000 numbers on lines of their own, alternately
// indented (the wrapped-cell search and the header scan on every line).
//
//   tables_bench [repetitions]
//
// Build (not part of the default build), e.g. appended to CMakeLists.txt:
//
//   # add_executable(tables_bench bench/tables_bench.cpp)
//   # target_link_libraries(tables_bench PRIVATE quirelle_core)
//
// then: ninja -C build/<dir> tables_bench && build/<dir>/tables_bench 20

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "extract/table_detect.h"

namespace {

using quirelle::Span;

Span word(std::string text, float x, float y, float size, float width) {
  Span s;
  s.text = std::move(text);
  s.x = x;
  s.y = y;
  s.size = size;
  s.width = width;
  return s;
}

std::string number(int r, int c) { return std::to_string(r) + "." + std::to_string(c % 10); }

// Numbers of size 6, 18 points wide, 26 points apart: a 2,600-point page.
std::vector<Span> grid(int rows, int cols, float x0 = 20, float gutter_after = -1) {
  std::vector<Span> spans;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const float x = x0 + 26 * float(c) + (gutter_after >= 0 && c > gutter_after ? 40 : 0);
      spans.push_back(word(number(r, c), x, 900 - 8 * float(r), 6, 18));
    }
  }
  return spans;
}

std::vector<Span> gutter_grid() {
  std::vector<Span> spans = grid(100, 100, 20, 49);
  // Prose above the grid in both halves, so the page reads as two columns.
  const std::string prose = "lorem ipsum dolor sit amet consectetur adipiscing elit";
  for (int line = 0; line < 10; ++line) {
    const float y = 1000 - 8 * float(line);
    spans.push_back(word(prose, 20, y, 6, 1280));
    spans.push_back(word(prose, 1360, y, 6, 1280));
  }
  return spans;
}

std::vector<Span> lonely_numbers() {
  std::vector<Span> spans;
  for (int i = 0; i < 10000; ++i) {
    const float y = 100000 - 8 * float(i);
    if (i % 4 == 3) {
      spans.push_back(word(number(i, 0), i % 8 == 3 ? 60 : 20, y, 6, 18));
    } else {
      spans.push_back(word(number(i, 0), 20, y, 6, 18));
      spans.push_back(word(number(i, 1), 60, y, 6, 18));
    }
  }
  return spans;
}

void run(const char* name, const std::vector<Span>& spans, int repetitions) {
  std::vector<double> ms;
  size_t tables = 0, cells = 0;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<quirelle::TableRecord> found = quirelle::detect_tables(spans);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    tables = found.size();
    cells = 0;
    for (const auto& t : found) cells += t.body.size() * (t.body.empty() ? 0 : t.body.front().size());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-34s %6zu spans  %4zu tables %6zu cells  min %8.2f ms  median %8.2f ms  max %8.2f ms\n", name,
              spans.size(), tables, cells, ms.front(), ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  run("grid 100 x 100", grid(100, 100), repetitions);
  run("grid 100 x 100 across a gutter", gutter_grid(), repetitions);
  run("10,000 numbers, short runs", lonely_numbers(), repetitions);
  return 0;
}
