#pragma once

// A span: a word-sized run of text as drawn on the page. Everything built
// from page text (plain text, lines, blocks, tables, HTML) starts here.

#include <string>

namespace quirelle {

struct Span {
  // After the character filter; never empty, never whitespace only; may end
  // with the one space that followed the word.
  std::string text;
  float x = 0;      // start of the run on the baseline, user-space points
  float y = 0;      // baseline, user-space points, y growing upward
  float size = 0;   // effective font size in points, at least min_span_size
  float width = 0;  // advance width of the run in points
  float angle = 0;  // baseline direction in radians from the x axis; 0 when upright
  bool bold = false;
  bool italic = false;
  bool mono = false;
};

// Runs smaller than this (points, compared with <) are dropped: they are
// invisible or not meant to be read (hidden text layers, micro print).
inline constexpr float min_span_size = 2;

// Baselines turned by no more than this (radians, compared with >) count as
// upright, with angle 0.
inline constexpr float max_upright_angle = 0.1f;

}  // namespace quirelle
