// The tab-separated text of the record and probe tables, as the clipboard and the
// command-line tool give it: TAB between cells, CR LF after every line.
#pragma once

#include "link/kadrel_driver.h"
#include "models/string_grid.h"

// Records `first` to `first + count - 1` of the basic table, each on one line with its
// comment and all its probe rows, after a header line naming every column.
QString CopyRowsWithDetails(IKadrel& driver, const TStringGrid& basic, int first, int count,
                            const QString& commentTitle);

// Rows `first` to `first + count - 1` of a table as shown.
QString CopyRows(const TStringGrid& grid, int first, int count);
