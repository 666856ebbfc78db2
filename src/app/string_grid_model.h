// A TStringGrid as a Qt table: grid row 0 is the header, grid row r (r >= 1) is view row r - 1.
// The grid stays the drivers' to fill; the model only shows it and, when editable, writes
// edited cells back into it.
#pragma once

#include "models/string_grid.h"

#include <QAbstractTableModel>
#include <utility>

class QTableView;

class StringGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit StringGridModel(QObject* parent = nullptr);

    void setGrid(TStringGrid* grid);
    TStringGrid* grid() const { return m_grid; }
    // To be called after the grid has been refilled or resized.
    void refresh();
    // Cells below the grid's fixed rows take edits.
    void setEditable(bool editable) { m_editable = editable; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    TStringGrid* m_grid = nullptr;
    bool m_editable = false;
};

// The grid rows (top, bottom) of a view's selected range; the current row, or grid row 1,
// when nothing is selected.
std::pair<int, int> SelectedGridRows(const QTableView* view);

// The column widths the grid's filler set, on the view.
void ApplyGridColumnWidths(QTableView* view, const TStringGrid& grid);
