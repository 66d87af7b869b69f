"""extract_tables: tables found from text alone, reported as cell grids."""

import quirelle
from pdf_writer import simple_pdf

PLAIN = {"F1": "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"}


def grid_page(rows, x0=72, top=700, column_width=120, leading=14):
    ops = []
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            ops.append("BT /F1 10 Tf {} {} Td ({}) Tj ET".format(x0 + c * column_width, top - r * leading, cell))
    return " ".join(ops)


def test_a_numeric_grid_is_reported():
    rows = [["Region", "2019", "2020"], ["North", "12.5", "13.0"], ["South", "7.25", "8.5"],
            ["East", "3.75", "4.0"], ["West", "1.5", "2.25"]]
    tables = quirelle.from_bytes(simple_pdf([grid_page(rows)], fonts=PLAIN)).extract_tables()
    assert len(tables) == 1
    table = tables[0]
    assert list(table) == ["page", "n_rows", "n_cols", "cells"]
    assert table["page"] == 1 and table["n_cols"] == 3
    assert table["cells"][-1] == ["West", "1.5", "2.25"]
    assert table["n_rows"] == len(table["cells"])


def test_prose_is_not_a_table():
    lines = ["This is an ordinary paragraph of text that runs across the page",
             "and continues on the next line without any columns at all in it."]
    content = " ".join("BT /F1 10 Tf 72 {} Td ({}) Tj ET".format(700 - 14 * i, t) for i, t in enumerate(lines))
    assert quirelle.from_bytes(simple_pdf([content], fonts=PLAIN)).extract_tables() == []


def test_real_tables(corpus):
    tables = quirelle.open(corpus("camelot-icdar2013-us-017.pdf")).extract_tables()
    assert tables and all(t["n_rows"] == len(t["cells"]) for t in tables)
