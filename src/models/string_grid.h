// A table of texts as the drivers fill it and the windows show, copy and print it: columns
// and rows counted from 0, row 0 the header, fixed rows on top, column widths in pixels.
#pragma once

#include <QString>
#include <vector>

class TStringGrid
{
public:
    static constexpr int DefaultColWidth = 64;

    int ColCount() const { return m_cols; }
    int RowCount() const { return m_rows; }
    int FixedRows() const { return m_fixedRows; }
    // Resizing keeps the texts of the cells that remain.
    void SetColCount(int count);
    void SetRowCount(int count);
    void SetFixedRows(int count) { m_fixedRows = count; }

    // Cells outside the grid read as empty; writes outside it are ignored.
    const QString& Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // All cells of one row, as the row's own storage.
    const QString* Row(int row) const { return &m_cells[size_t(row) * size_t(m_cols)]; }

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);

private:
    void resize(int cols, int rows);

    int m_cols = 0;
    int m_rows = 0;
    int m_fixedRows = 1;
    std::vector<QString> m_cells;
    std::vector<int> m_widths;
};
