#include "img/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "html/page/inline_html.h"
#include "img/collect_paths.h"
#include "img/svg_number.h"

namespace quirelle {
namespace {

struct Extent {
  float min_x = INFINITY;
  float min_y = INFINITY;
  float max_x = -INFINITY;
  float max_y = -INFINITY;
  void add(float x, float y) {
    min_x = std::min(min_x, x);
    min_y = std::min(min_y, y);
    max_x = std::max(max_x, x);
    max_y = std::max(max_y, y);
  }
};

// Page user space to the figure's SVG space.
struct Flip {
  float left;
  float top;
  float x(float page_x) const { return page_x - left; }
  float y(float page_y) const { return top - page_y; }
};

std::string hex_colour(uint32_t rgb) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", unsigned(rgb >> 16) & 0xff, unsigned(rgb >> 8) & 0xff,
                unsigned(rgb) & 0xff);
  return buffer;
}

bool is_drawable(const Span& s) {
  return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.size) && std::isfinite(s.width) &&
         std::isfinite(s.angle);
}

size_t character_count(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xc0) != 0x80;
  return n;
}

void add_label_box(Extent& extent, const Flip& flip, const Span& s) {
  const float length =
      s.width > 0 ? s.width : label_char_width_em * s.size * float(character_count(s.text));
  const float ux = std::cos(s.angle), uy = std::sin(s.angle);
  const float vx = -uy, vy = ux;
  for (float along : {0.0f, length})
    for (float across : {-label_descent_em * s.size, label_ascent_em * s.size}) {
      const float px = s.x + along * ux + across * vx;
      const float py = s.y + along * uy + across * vy;
      if (std::isfinite(px) && std::isfinite(py)) extent.add(flip.x(px), flip.y(py));
    }
}

void append_point(std::string& d, const Flip& flip, const PathPoint& p) {
  d += format_number(flip.x(p.x));
  d += ' ';
  d += format_number(flip.y(p.y));
}

std::string path_data(const VectorPath& path, const Flip& flip, Extent& extent) {
  std::string d;
  for (const PathSegment& s : path.segments) {
    switch (s.kind) {
      case SegmentKind::move: d += 'M'; break;
      case SegmentKind::line: d += 'L'; break;
      case SegmentKind::curve: d += 'C'; break;
      case SegmentKind::close: d += 'Z'; break;
    }
    for (int i = 0; i < point_count(s.kind); ++i) {
      if (i > 0) d += ' ';
      append_point(d, flip, s.points[i]);
      extent.add(flip.x(s.points[i].x), flip.y(s.points[i].y));
    }
  }
  return d;
}

std::string path_element(const VectorPath& path, const std::string& d) {
  std::string out = "<path d=\"" + d + "\" fill=\"" + (path.fill ? hex_colour(*path.fill) : "none") + "\"";
  if (path.fill && path.fill_alpha < svg_opaque_alpha)
    out += " fill-opacity=\"" + format_number(path.fill_alpha) + "\"";
  if (path.stroke) {
    out += " stroke=\"" + hex_colour(path.stroke->rgb) + "\" stroke-width=\"" +
           format_number(std::max(path.stroke->width, min_stroke_width_pt)) + "\"";
    if (path.stroke_alpha < svg_opaque_alpha)
      out += " stroke-opacity=\"" + format_number(path.stroke_alpha) + "\"";
  }
  return out + "/>";
}

std::string text_element(const Span& s, const Flip& flip) {
  const std::string x = format_number(flip.x(s.x));
  const std::string y = format_number(flip.y(s.y));
  std::string out = "<text x=\"" + x + "\" y=\"" + y + "\" font-size=\"" + format_number(s.size) + "\"";
  if (s.bold) out += " font-weight=\"bold\"";
  if (s.italic) out += " font-style=\"italic\"";
  if (s.angle != 0) {
    const float degrees = -s.angle * 180.0f / std::numbers::pi_v<float>;
    out += " transform=\"rotate(" + format_number(degrees) + " " + x + " " + y + ")\"";
  }
  return out + ">" + escape_html(s.text) + "</text>";
}

}  // namespace

std::string figure_svg(const FigureRegion& figure, std::span<const Span> labels, float page_width) {
  const Flip flip{figure.left, figure.top};
  Extent extent;
  std::string body;
  for (const VectorPath& path : figure.paths) body += path_element(path, path_data(path, flip, extent));
  for (const Span& s : labels) {
    if (!is_drawable(s)) continue;
    add_label_box(extent, flip, s);
    body += text_element(s, flip);
  }
  // A figure always has points; an empty one still gets a finite viewBox.
  if (!(extent.min_x <= extent.max_x)) extent = Extent{0, 0, 0, 0};
  const float x0 = extent.min_x - svg_margin_pt, y0 = extent.min_y - svg_margin_pt;
  const float view_width = (extent.max_x + svg_margin_pt) - x0;
  const float view_height = (extent.max_y + svg_margin_pt) - y0;
  const float width = page_width > min_page_box_width_pt && std::isfinite(page_width) ? page_width
                                                                                     : default_page_width_pt;
  float percent = view_width / width * svg_width_scale;
  percent = std::isfinite(percent) ? std::clamp(percent, svg_min_width_percent, svg_max_width_percent)
                                   : svg_max_width_percent;
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" + format_number(x0) + " " + format_number(y0) +
         " " + format_number(view_width) + " " + format_number(view_height) +
         "\" style=\"display:block;width:" + format_number(percent) +
         "%;height:auto;margin:0 auto\" font-family=\"sans-serif\" fill=\"#000\">" + body + "</svg>";
}

}  // namespace quirelle
