#include "extract/table_html.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quirelle {
namespace {

TableRecord table_of(std::vector<std::vector<std::string>> body, std::vector<std::vector<HeaderCell>> header = {}) {
  TableRecord t;
  t.body = std::move(body);
  t.header_rows = std::move(header);
  t.y_top = 700;
  t.y_bottom = 676;
  t.x_min = 72;
  t.x_max = 300;
  return t;
}

TEST(TableHtmlTest, RendersHeaderAndBodyRows) {
  struct Case {
    const char* what;
    TableRecord table;
    std::string html;
  };
  const std::vector<Case> cases = {
      {"no header rows: the first body row is the header",
       table_of({{"a", "b"}, {"1", "2"}, {"3", "4"}}),
       "<table><tr><th>a</th><th>b</th></tr><tr><td>1</td><td>2</td></tr><tr><td>3</td><td>4</td></tr></table>"},
      {"one header row: every body row uses td",
       table_of({{"a", "b"}, {"1", "2"}, {"3", "4"}}, {{{"Head", 2}}}),
       "<table><tr><th colspan=\"2\">Head</th></tr><tr><td>a</td><td>b</td></tr><tr><td>1</td><td>2</td></tr>"
       "<tr><td>3</td><td>4</td></tr></table>"},
      {"colspan 3 and 1",
       table_of({{"1", "2", "3", "4"}, {"1", "2", "3", "4"}, {"1", "2", "3", "4"}},
                {{{"wide", 3}, {"one", 1}}, {{"", 1}, {"", 1}, {"", 1}, {"x", 1}}}),
       "<table><tr><th colspan=\"3\">wide</th><th>one</th></tr><tr><th></th><th></th><th></th><th>x</th></tr>"
       "<tr><td>1</td><td>2</td><td>3</td><td>4</td></tr><tr><td>1</td><td>2</td><td>3</td><td>4</td></tr>"
       "<tr><td>1</td><td>2</td><td>3</td><td>4</td></tr></table>"},
      {"cells trimmed and escaped",
       table_of({{" a<b ", "c&d"}, {"\"q\"", "\u00A0x\u00A0"}, {"'", ""}}),
       "<table><tr><th>a&lt;b</th><th>c&amp;d</th></tr><tr><td>&quot;q&quot;</td><td>x</td></tr>"
       "<tr><td>'</td><td></td></tr></table>"},
  };
  for (const Case& c : cases) EXPECT_EQ(render_table(c.table), c.html) << c.what;
}

TEST(TableHtmlTest, CaptionBeforeOrAfter) {
  const TableRecord t = table_of({{"a"}, {"1"}, {"2"}});
  EXPECT_EQ(render_table(t, TableCaption{"3", "Table 3: <b>Sizes</b>", false}),
            "<div>Table 3: <b>Sizes</b></div><table id=\"tab-3\"><tr><th>a</th></tr><tr><td>1</td></tr>"
            "<tr><td>2</td></tr></table>");
  EXPECT_EQ(render_table(t, TableCaption{"3", "Table 3", true}),
            "<table id=\"tab-3\"><tr><th>a</th></tr><tr><td>1</td></tr><tr><td>2</td></tr></table><div>Table 3</div>");
}

TEST(TableHtmlTest, CaptionsGoToTheNearestFreeTable) {
  // Table tops at 700 and 400; middles at 688 and 388.
  std::vector<TableRecord> tables = {table_of({{"a"}}), table_of({{"b"}})};
  tables[1].y_top = 400;
  tables[1].y_bottom = 376;
  std::vector<std::optional<TableCaption>> slots(2);

  EXPECT_EQ(attach_table_caption("1", "Table 1", 712, tables, slots), std::nullopt);  // above the first
  ASSERT_TRUE(slots[0]);
  EXPECT_EQ(slots[0]->number, "1");
  EXPECT_FALSE(slots[0]->after);

  // Below the second table's middle: rendered after it.
  EXPECT_EQ(attach_table_caption("2", "Table 2", 380, tables, slots), std::nullopt);
  ASSERT_TRUE(slots[1]);
  EXPECT_TRUE(slots[1]->after);

  EXPECT_EQ(attach_table_caption("3", "Table 3", 500, tables, slots), "<div id=\"tab-3\">Table 3</div>");
  EXPECT_EQ(attach_table_caption("4", "Table 4", 500, {}, {}), "<div id=\"tab-4\">Table 4</div>");

  // On equal distance the earlier table wins.
  std::vector<std::optional<TableCaption>> fresh(2);
  EXPECT_EQ(attach_table_caption("5", "Table 5", 550, tables, fresh), std::nullopt);
  EXPECT_TRUE(fresh[0] && !fresh[1]);
}

TEST(TableHtmlTest, TwoCaptionsForOneTable) {
  const std::vector<TableRecord> tables = {table_of({{"a"}})};
  std::vector<std::optional<TableCaption>> slots(1);
  // Met top to bottom: the caption 10 points above the top takes the table,
  // the one 50 points below its top stands alone.
  EXPECT_EQ(attach_table_caption("1", "Table 1", 710, tables, slots), std::nullopt);
  EXPECT_EQ(attach_table_caption("2", "Table 2", 650, tables, slots), "<div id=\"tab-2\">Table 2</div>");
  EXPECT_EQ(slots[0]->number, "1");
  EXPECT_FALSE(slots[0]->after);

  std::vector<std::optional<TableCaption>> below(1);
  EXPECT_EQ(attach_table_caption("1", "Table 1", 650, tables, below), std::nullopt);
  EXPECT_TRUE(below[0]->after);  // 650 is below the middle, 688
}

TEST(TableHtmlTest, BandAndBoxes) {
  const TableRecord t = table_of({{"a"}});  // baselines 676 to 700, x 72 to 300
  struct Case {
    const char* what;
    float y, x0, x_end;
    bool in;
  };
  const Case cases[] = {
      {"inside", 690, 80, 200, true},
      {"one body size below the bottom row", 666, 80, 200, true},
      {"further below", 665.9f, 80, 200, false},
      {"one body size above the top", 710, 80, 200, true},
      {"ends where the table starts", 690, 10, 72, false},
      {"starts where the table ends", 690, 300, 400, false},
  };
  for (const Case& c : cases) EXPECT_EQ(in_table_band(t, c.y, c.x0, c.x_end, 10), c.in) << c.what;
  const std::vector<TableRecord> tables = {t};
  EXPECT_TRUE(in_any_table_band(tables, 690, 80, 200, 10));
  EXPECT_FALSE(in_any_table_band({}, 690, 80, 200, 10));

  EXPECT_TRUE(overlaps_table_box(t, 100, 200, 680, 690));
  EXPECT_FALSE(overlaps_table_box(t, 300, 400, 680, 690));  // touching is not overlapping
  EXPECT_FALSE(overlaps_table_box(t, 100, 200, 700, 720));

  TableRecord thin = t;
  thin.x_max = thin.x_min;
  const Box box = table_element_box(thin);
  EXPECT_FLOAT_EQ(box.x0, 72);
  EXPECT_FLOAT_EQ(box.x1, 72.1f);
  EXPECT_FLOAT_EQ(box.y0, 676);
  EXPECT_FLOAT_EQ(box.y1, 700);
}

}  // namespace
}  // namespace quirelle
