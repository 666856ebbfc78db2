// A string grid shown through the table model: header row, cell mapping, refresh after the
// grid was refilled, edits below the fixed rows, and the selected range in grid rows.
#include "app/string_grid_model.h"

#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

namespace
{

// A header of `cols` titles and `dataRows` rows of "c<col>r<row>" texts.
TStringGrid makeGrid(int cols, int dataRows)
{
    TStringGrid grid;
    grid.SetColCount(cols);
    grid.SetRowCount(dataRows + 1);
    for (int col = 0; col < cols; ++col) {
        grid.SetCell(col, 0, QString("title %1").arg(col));
        for (int row = 1; row <= dataRows; ++row)
            grid.SetCell(col, row, QString("c%1r%2").arg(col).arg(row));
    }
    return grid;
}

} // namespace

class TestStringGridModel : public QObject
{
    Q_OBJECT

private slots:
    void showsGridBelowItsHeader();
    void withoutGridIsEmpty();
    void refreshFollowsRefilledGrid();
    void editsOnlyBelowFixedRows();
    void selectedGridRows_data();
    void selectedGridRows();
    void appliesFillersColumnWidths();
};

void TestStringGridModel::showsGridBelowItsHeader()
{
    TStringGrid grid = makeGrid(3, 2);
    StringGridModel model;
    model.setGrid(&grid);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), "title 1");
    QCOMPARE(model.data(model.index(0, 0)).toString(), "c0r1");
    QCOMPARE(model.data(model.index(1, 2)).toString(), "c2r2");
    QCOMPARE(model.data(model.index(1, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

    TStringGrid headerOnly = makeGrid(3, 0);
    model.setGrid(&headerOnly);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), "title 2");
}

void TestStringGridModel::withoutGridIsEmpty()
{
    StringGridModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
    QVERIFY(!model.setData(model.index(0, 0), "x"));
}

void TestStringGridModel::refreshFollowsRefilledGrid()
{
    TStringGrid grid = makeGrid(3, 2);
    StringGridModel model;
    model.setGrid(&grid);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    grid = makeGrid(5, 7);
    model.refresh();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 7);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.data(model.index(6, 4)).toString(), "c4r7");
}

void TestStringGridModel::editsOnlyBelowFixedRows()
{
    TStringGrid grid = makeGrid(2, 4);
    grid.SetFixedRows(3);
    StringGridModel model;
    model.setGrid(&grid);
    model.setEditable(true);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(!(model.flags(model.index(1, 0)) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(model.index(1, 0), "fixed"));
    QCOMPARE(grid.Cell(0, 2), "c0r2");

    QVERIFY(model.flags(model.index(2, 1)) & Qt::ItemIsEditable);
    QVERIFY(model.setData(model.index(2, 1), "1.000E+00"));
    QCOMPARE(grid.Cell(1, 3), "1.000E+00");
    QCOMPARE(changes.count(), 1);
    QVERIFY(!model.setData(model.index(2, 1), "x", Qt::DisplayRole + 100));
}

void TestStringGridModel::selectedGridRows_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");

    QTest::newRow("nothing selected") << -1 << -1 << -1 << 1 << 1;
    QTest::newRow("current row only") << -1 << -1 << 4 << 5 << 5;
    QTest::newRow("one row") << 0 << 0 << 0 << 1 << 1;
    QTest::newRow("a range") << 2 << 4 << 2 << 3 << 5;
    QTest::newRow("a range chosen upwards") << 2 << 4 << 4 << 3 << 5;
}

void TestStringGridModel::selectedGridRows()
{
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(int, currentRow);
    QFETCH(int, top);
    QFETCH(int, bottom);
    TStringGrid grid = makeGrid(3, 6);
    StringGridModel model;
    model.setGrid(&grid);
    QTableView view;
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ContiguousSelection);
    QItemSelectionModel* selection = view.selectionModel();
    if (currentRow >= 0)
        selection->setCurrentIndex(model.index(currentRow, 0), QItemSelectionModel::NoUpdate);
    if (firstRow >= 0)
        selection->select(QItemSelection(model.index(firstRow, 0), model.index(lastRow, 2)),
                          QItemSelectionModel::ClearAndSelect);
    const std::pair<int, int> rows = SelectedGridRows(&view);
    QCOMPARE(rows.first, top);
    QCOMPARE(rows.second, bottom);
}

void TestStringGridModel::appliesFillersColumnWidths()
{
    TStringGrid grid = makeGrid(3, 1);
    grid.SetColWidth(0, 120);
    grid.SetColWidth(2, 40);
    StringGridModel model;
    model.setGrid(&grid);
    QTableView view;
    view.setModel(&model);
    ApplyGridColumnWidths(&view, grid);
    QCOMPARE(view.columnWidth(0), 120);
    QCOMPARE(view.columnWidth(1), TStringGrid::DefaultColWidth);
    QCOMPARE(view.columnWidth(2), 40);
}

QTEST_MAIN(TestStringGridModel)
#include "tst_string_grid_model.moc"
