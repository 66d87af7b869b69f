#include "extract/table_report.h"

#include "extract/table_detect.h"
#include "text/page_spans.h"

namespace quirelle {

std::vector<TableReportEntry> extract_tables(const Document& doc, std::string_view source) {
  std::vector<TableReportEntry> entries;
  const std::vector<ObjectId>& pages = page_list(doc);
  FontCache fonts_seen;
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::vector<Span> spans = page_spans(doc, pages[i], source, &fonts_seen);
    if (spans.empty()) continue;
    for (TableRecord& table : detect_tables(spans)) {
      TableReportEntry entry;
      entry.page = uint32_t(i + 1);
      entry.n_rows = table.body.size();
      entry.n_cols = table.body.empty() ? 0 : table.body.front().size();
      entry.cells = std::move(table.body);
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

}  // namespace quirelle
