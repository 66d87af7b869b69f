#pragma once
// Text lines: horizontal rows of page text in reading order, each made of
// styled runs. Everything the page stage does with text (titles, headings,
// paragraphs, lists, code, captions) works on these, never on spans.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quirelle {

// One stretch of a line with one style and one link target.
struct TextRun {
  std::string text;                 // may carry leading or trailing spaces
  std::optional<std::string> link;  // href of the link target, if any
  bool bold = false;                // copied from the span that started the run
  bool italic = false;
  int8_t script = 0;  // 0 normal, +1 superscript, -1 subscript
};

struct TextLine {
  std::vector<TextRun> runs;  // reading order
  uint64_t mono_chars = 0;    // characters from monospaced spans
  uint64_t char_count = 0;    // characters of all spans; merged accents not counted
  float y = 0;                // baseline of the span that started the line
  float x0 = 0;               // x of the span that started the line
  float x_end = 0;            // largest right edge of the line's spans
  float size = 0;             // largest span size
  bool is_mono = false;       // at least half of the characters are monospaced
};

// The line's text: its run texts, in order, without separators.
inline std::string line_text(const TextLine& line) {
  std::string text;
  for (const TextRun& run : line.runs) text += run.text;
  return text;
}

}  // namespace quirelle
