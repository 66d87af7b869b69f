// Times the line builder on a normal page and on dense pages of 20,000
// spans, half of them small enough to be tested for superscript snapping.
//
//   lines_bench [repetitions]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "html/page/build_lines.h"

namespace {

using quirelle::Span;

Span word(float x, float y, float size, float width) {
  Span s;
  s.text = "word ";
  s.x = x;
  s.y = y;
  s.size = size;
  s.width = width;
  return s;
}

// Body text: `rows` lines of `per_row` words of 10 points.
std::vector<Span> body_page(int rows, int per_row) {
  std::vector<Span> spans;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < per_row; ++c) spans.push_back(word(72 + 30.0f * float(c), 760 - 12.0f * float(r), 10, 27));
  return spans;
}

// 20,000 spans where every other one is a 6-point superscript or subscript
// right after a 10-point word.
std::vector<Span> scripted_page() {
  std::vector<Span> spans;
  for (int r = 0; r < 200; ++r)
    for (int c = 0; c < 50; ++c) {
      const float x = 10 + 12.0f * float(c), y = 790 - 4.0f * float(r);
      spans.push_back(word(x, y, 10, 8));
      spans.push_back(word(x + 8.5f, y + (c % 2 ? 3.0f : -2.0f), 6, 3));
    }
  return spans;
}

// 20,000 tiny spans of 3 and 5 points, as in the label layer of a dense
// chart: the 3-point ones are small against the page average.
std::vector<Span> tiny_page() {
  std::vector<Span> spans;
  for (int r = 0; r < 200; ++r)
    for (int c = 0; c < 100; ++c)
      spans.push_back(word(10 + 6.0f * float(c), 800 - 4.0f * float(r) + float(c % 2) * 2, c % 2 ? 3.0f : 5.0f, 4));
  return spans;
}

double best_ms(const std::vector<Span>& spans, int repetitions, size_t& lines) {
  double best = 1e30;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    lines = quirelle::build_lines(spans, {}).size();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    best = std::min(best, elapsed.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  struct Page {
    const char* name;
    std::vector<Span> spans;
  };
  const std::vector<Page> pages = {
      {"normal page", body_page(60, 10)},
      {"dense body text", body_page(200, 100)},
      {"dense scripts", scripted_page()},
      {"dense tiny text", tiny_page()},
  };
  for (const Page& page : pages) {
    size_t lines = 0;
    const double ms = best_ms(page.spans, repetitions, lines);
    std::printf("%-16s %6zu spans %5zu lines %9.2f ms\n", page.name, page.spans.size(), lines, ms);
  }
  return 0;
}
