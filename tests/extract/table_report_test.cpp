#include "extract/table_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../text/test_document.h"

namespace quirelle {
namespace {

using namespace test;
using Grid = std::vector<std::vector<std::string>>;

// A content stream that shows each cell at its own position, rows 12 points
// apart from y = 700 down.
std::string table_content(const Grid& rows, const std::vector<int>& xs) {
  std::string content;
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      content += "BT /F1 10 Tf " + std::to_string(xs[c]) + " " + std::to_string(700 - 12 * int(r)) + " Td (" +
                 rows[r][c] + ") Tj ET\n";
    }
  }
  return content;
}

// Appends a page drawing `content` with the font of the first page.
void add_page(Document& doc, uint32_t page_number, uint32_t content_number, std::string content) {
  put(doc, page_number,
      dict({{"Type", name("Page")},
            {"Resources", dict({{"Font", dict({{"F1", ref(font_object)}})}})},
            {"Contents", ref(content_number)}}));
  put(doc, content_number, stream({}, std::move(content)));
  doc.pages.push_back(ObjectId{page_number, 0});
}

TEST(TableReportTest, ReportsBodyCellsWithPageNumbers) {
  const Grid body = {{"alpha", "1.5", "2.5"}, {"beta", "3.5", "4.5"}, {"gamma", "5.5", "6.5"}};
  // Page 1 has prose only; page 2 a header line and the table; page 3 nothing.
  Document doc = one_page_document("BT /F1 10 Tf 72 700 Td (Just one line of ordinary prose.) Tj ET");
  add_page(doc, 20, 21, "BT /F1 10 Tf 72 712 Td (Header) Tj ET\n" + table_content(body, {72, 150, 230}));
  add_page(doc, 30, 31, "");

  const std::vector<TableReportEntry> entries = extract_tables(doc, "");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].page, 2u);
  EXPECT_EQ(entries[0].n_rows, 3u);  // the header line is not reported
  EXPECT_EQ(entries[0].n_cols, 3u);
  EXPECT_EQ(entries[0].cells, body);
}

TEST(TableReportTest, CellTextIsNotEscaped) {
  const Grid body = {{"a<b", "1.5"}, {"c&d", "2.5"}, {"e\"f", "3.5"}};
  const std::vector<TableReportEntry> entries = extract_tables(one_page_document(table_content(body, {72, 200})), "");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].page, 1u);
  EXPECT_EQ(entries[0].cells, body);
}

TEST(TableReportTest, NoTables) {
  EXPECT_TRUE(extract_tables(Document{}, "").empty());
  EXPECT_TRUE(extract_tables(one_page_document(""), "").empty());
}

}  // namespace
}  // namespace quirelle
