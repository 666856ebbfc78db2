// Column widths of the record and probe tables fitted to their texts, with the table's spare
// width given to its main column.
#pragma once

#include "models/string_grid.h"

#include <QString>
#include <functional>
#include <vector>

class QTableView;

// Each column's widest text, header included, by the given measure.
std::vector<int> ColumnTextWidths(const TStringGrid& grid,
                                  const std::function<int(const QString&)>& textWidth);

// The widths for a grid drawn `clientWidth` pixels wide: each column's widest text plus 15;
// when they leave room, the spare goes to column 3 of grids with more than 4 columns, else to
// column 1. Empty for grids of fewer than 3 columns, which keep their widths.
std::vector<int> FitColumnWidths(std::vector<int> textWidths, int clientWidth);

// Fits the columns of a view showing a StringGridModel, in the view's font. The view keeps
// what it measured until the font or the model's contents change, so refilling a large table
// measures only new texts and resizing the view measures none.
void FitColumns(QTableView* view);
