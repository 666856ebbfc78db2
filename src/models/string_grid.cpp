#include "models/string_grid.h"

#include <algorithm>

void TStringGrid::SetColCount(int count)
{
    resize(std::max(count, 0), m_rows);
}

void TStringGrid::SetRowCount(int count)
{
    resize(m_cols, std::max(count, 0));
}

const QString& TStringGrid::Cell(int col, int row) const
{
    static const QString empty;
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return empty;
    return m_cells[size_t(row) * size_t(m_cols) + size_t(col)];
}

void TStringGrid::SetCell(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return;
    m_cells[size_t(row) * size_t(m_cols) + size_t(col)] = text;
}

int TStringGrid::ColWidth(int col) const
{
    return col >= 0 && col < m_cols ? m_widths[size_t(col)] : 0;
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (col >= 0 && col < m_cols)
        m_widths[size_t(col)] = width;
}

void TStringGrid::resize(int cols, int rows)
{
    if (cols == m_cols) {
        m_cells.resize(size_t(cols) * size_t(rows));
    } else {
        std::vector<QString> cells(size_t(cols) * size_t(rows));
        const int keepCols = std::min(cols, m_cols);
        const int keepRows = std::min(rows, m_rows);
        for (int r = 0; r < keepRows; ++r)
            for (int c = 0; c < keepCols; ++c)
                cells[size_t(r) * size_t(cols) + size_t(c)] =
                    std::move(m_cells[size_t(r) * size_t(m_cols) + size_t(c)]);
        m_cells = std::move(cells);
        m_widths.resize(size_t(cols), DefaultColWidth);
    }
    m_cols = cols;
    m_rows = rows;
}
