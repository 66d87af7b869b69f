#include "img/figures.h"

#include <algorithm>
#include <cmath>

namespace quirelle {
namespace {

bool is_page_frame(const VectorPath& p) {
  return p.x_max - p.x_min > frame_min_width_pt && p.y_max - p.y_min > frame_min_height_pt &&
         p.segments.size() <= frame_max_segments;
}

void include(FigureRegion& region, const VectorPath& p) {
  region.top = std::max(region.top, p.y_max);
  region.bottom = std::min(region.bottom, p.y_min);
  region.left = std::min(region.left, p.x_min);
  region.right = std::max(region.right, p.x_max);
}

bool is_figure(const FigureRegion& region) {
  return region.paths.size() >= min_figure_paths && region.right - region.left >= min_figure_width_pt &&
         region.top - region.bottom >= min_figure_height_pt;
}

float box_width(const Document& doc, const Dictionary& page, std::string_view key) {
  const Array* box = array_entry(doc, page, key);
  if (!box || box->items.size() < 4) return 0;
  return std::fabs(number_of(&box->items[2]) - number_of(&box->items[0]));
}

}  // namespace

std::vector<FigureRegion> select_figures(std::vector<VectorPath> paths) {
  for (size_t i = 0; i < paths.size(); ++i) paths[i].order = uint32_t(i);
  std::erase_if(paths, is_page_frame);
  std::stable_sort(paths.begin(), paths.end(),
                   [](const VectorPath& a, const VectorPath& b) { return a.y_max > b.y_max; });
  std::vector<FigureRegion> clusters;
  for (VectorPath& p : paths) {
    if (clusters.empty() || p.y_max < clusters.back().bottom - cluster_gap_pt) {
      clusters.push_back({{}, p.y_max, p.y_min, p.x_min, p.x_max});
    } else {
      include(clusters.back(), p);
    }
    clusters.back().paths.push_back(std::move(p));
  }
  std::vector<FigureRegion> figures;
  for (FigureRegion& c : clusters) {
    if (!is_figure(c)) continue;
    std::sort(c.paths.begin(), c.paths.end(),
              [](const VectorPath& a, const VectorPath& b) { return a.order < b.order; });
    figures.push_back(std::move(c));
  }
  return figures;
}

std::vector<Span> figure_labels(const FigureRegion& figure, std::span<const Span> spans) {
  std::vector<Span> labels;
  for (const Span& s : spans) {
    const float cx = s.x + s.width / 2;
    const float cy = s.y + s.size / 2;
    // Written so that NaN centres fall outside.
    if (cx >= figure.left - figure_label_margin_pt && cx <= figure.right + figure_label_margin_pt &&
        cy >= figure.bottom - figure_label_margin_pt && cy <= figure.top + figure_label_margin_pt)
      labels.push_back(s);
  }
  return labels;
}

float figure_page_width(const Document& doc, const Dictionary& page) {
  for (std::string_view key : {"MediaBox", "CropBox"}) {
    const float width = box_width(doc, page, key);
    if (width > min_page_box_width_pt && std::isfinite(width)) return width;
  }
  return default_page_width_pt;
}

}  // namespace quirelle
