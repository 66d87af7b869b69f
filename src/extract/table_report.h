#pragma once

// The table report: every table the detector finds in a document, page by
// page, as the cell grids handed to Python.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"

namespace quirelle {

// One reported table. Header rows are not reported.
struct TableReportEntry {
  uint32_t page = 0;        // 1-based page number
  std::size_t n_rows = 0;   // body rows
  std::size_t n_cols = 0;   // length of the first body row, 0 without rows
  std::vector<std::vector<std::string>> cells;  // the body, row by row
};

// The tables of every page in ascending page number, each page's in the
// order the detector returns them. `source` is the complete file.
std::vector<TableReportEntry> extract_tables(const Document& doc, std::string_view source);

}  // namespace quirelle
