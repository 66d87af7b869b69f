// page_media_html FILE PAGE: prints, one element a line, an <img> for every
// image the 1-based PAGE draws (as inline data URIs) and an inline <svg> for
// every vector figure on it, with the page's text labels. The browser test
// puts the output into a page and looks at it in a real browser.

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/document.h"
#include "document/page_access.h"
#include "document/read_file.h"
#include "img/collect_images.h"
#include "img/collect_paths.h"
#include "img/figures.h"
#include "img/svg_writer.h"
#include "text/font_loader.h"
#include "text/form_text_spans.h"
#include "text/page_spans.h"

using namespace quirelle;

static void print_images(const Document& doc, const Operations& ops, const XObjectMap& xobjects) {
  std::vector<ImagePlacement> images;
  DecodeCache cache;
  collect_images(doc, ops, xobjects, identity_matrix, images, cache, 0, true);
  for (const ImagePlacement& image : images)
    if (!image.data.empty()) std::cout << "<img src=\"" << image.data << "\">\n";
}

static std::vector<Span> page_and_form_spans(const Document& doc, ObjectId page, const std::string& bytes,
                                             const Operations& ops, const XObjectMap& xobjects) {
  std::vector<Span> spans = page_spans(doc, page, bytes);
  const PageFontMap fonts = load_page_fonts(doc, page, bytes);
  Matrix ctm = identity_matrix;
  form_text_spans(doc, ops, fonts, xobjects, ctm, bytes, 0, spans);
  return spans;
}

static void print_figures(const Document& doc, ObjectId page, const std::string& bytes, const Operations& ops,
                          const XObjectMap& xobjects, const Dictionary* resources) {
  const AlphaMap alphas = resources ? read_alpha_states(doc, *resources) : AlphaMap{};
  std::vector<VectorPath> paths;
  collect_paths(doc, ops, xobjects, alphas, PaintState{}, paths, 0);
  const std::vector<FigureRegion> figures = select_figures(std::move(paths));
  if (figures.empty()) return;
  const std::vector<Span> spans = page_and_form_spans(doc, page, bytes, ops, xobjects);
  const Dictionary* page_dict = as_dict(object_by_id(doc, page));
  const float width = page_dict ? figure_page_width(doc, *page_dict) : default_page_width_pt;
  for (const FigureRegion& figure : figures)
    std::cout << figure_svg(figure, figure_labels(figure, spans), width) << "\n";
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: page_media_html FILE PAGE\n";
    return 2;
  }
  const auto bytes = read_file(argv[1]);
  if (!bytes.ok()) {
    std::cerr << bytes.error << "\n";
    return 1;
  }
  const auto doc = reader_load(*bytes.value);
  if (!doc.ok()) {
    std::cerr << doc.error << "\n";
    return 1;
  }
  const auto& pages = page_list(*doc.value);
  const unsigned long number = std::strtoul(argv[2], nullptr, 10);
  if (number < 1 || number > pages.size()) {
    std::cerr << "no page " << argv[2] << "\n";
    return 1;
  }
  const ObjectId page = pages[number - 1];
  const auto content = page_content_bytes(*doc.value, page);
  if (!content.ok()) return 0;
  const Operations ops = decode_operations(*content.value);
  const PageResources resources = page_resource_dicts(*doc.value, page);
  const XObjectMap xobjects = resources.own ? xobject_map(*doc.value, *resources.own) : XObjectMap{};
  print_images(*doc.value, ops, xobjects);
  if (ops.ops.size() <= max_figure_page_operations)
    print_figures(*doc.value, page, *bytes.value, ops, xobjects, resources.own);
  return 0;
}
