#include "app/string_grid_model.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

StringGridModel::StringGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void StringGridModel::setGrid(TStringGrid* grid)
{
    beginResetModel();
    m_grid = grid;
    endResetModel();
}

void StringGridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int StringGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_grid)
        return 0;
    return std::max(m_grid->RowCount() - 1, 0);
}

int StringGridModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_grid)
        return 0;
    return m_grid->ColCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const
{
    if (!m_grid || !index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_grid->Cell(index.column(), index.row() + 1);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return QVariant();
    }
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_grid || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_grid->Cell(section, 0);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return QVariant();
    }
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_editable && m_grid && index.isValid() && index.row() + 1 >= m_grid->FixedRows())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_grid->SetCell(index.column(), index.row() + 1, value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

std::pair<int, int> SelectedGridRows(const QTableView* view)
{
    const QItemSelectionModel* selection = view->selectionModel();
    int top = -1;
    int bottom = -1;
    if (selection) {
        for (const QItemSelectionRange& range : selection->selection()) {
            top = top < 0 ? range.top() : std::min(top, range.top());
            bottom = std::max(bottom, range.bottom());
        }
        if (top < 0 && selection->currentIndex().isValid())
            top = bottom = selection->currentIndex().row();
    }
    if (top < 0)
        top = bottom = 0;
    return {top + 1, bottom + 1};
}

void ApplyGridColumnWidths(QTableView* view, const TStringGrid& grid)
{
    for (int col = 0; col < grid.ColCount(); ++col)
        view->setColumnWidth(col, grid.ColWidth(col));
}
