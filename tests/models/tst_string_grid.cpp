// The table of texts the drivers fill: resizing keeps cells, reads and writes outside the
// table are harmless, column widths follow the columns.
#include "models/string_grid.h"

#include <QtTest>

namespace
{

// A 3 x 4 grid whose every cell names its own place, "c,r".
TStringGrid NamedGrid()
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            grid.SetCell(col, row, QStringLiteral("%1,%2").arg(col).arg(row));
    return grid;
}

} // namespace

class TestStringGrid : public QObject
{
    Q_OBJECT

private slots:
    void startsEmpty();
    void resizeKeepsCells_data();
    void resizeKeepsCells();
    void outsideCells_data();
    void outsideCells();
    void rowStorage();
    void columnWidths();
};

void TestStringGrid::startsEmpty()
{
    const TStringGrid grid;
    QCOMPARE(grid.ColCount(), 0);
    QCOMPARE(grid.RowCount(), 0);
    QCOMPARE(grid.FixedRows(), 1);
    QCOMPARE(grid.Cell(0, 0), QString());
}

void TestStringGrid::resizeKeepsCells_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");

    QTest::newRow("same size") << 3 << 4;
    QTest::newRow("more rows") << 3 << 6;
    QTest::newRow("fewer rows") << 3 << 2;
    QTest::newRow("more columns") << 5 << 4;
    QTest::newRow("fewer columns") << 2 << 4;
    QTest::newRow("more columns, fewer rows") << 5 << 2;
    QTest::newRow("fewer columns, more rows") << 1 << 7;
    QTest::newRow("nothing") << 0 << 0;
    QTest::newRow("negative counts") << -1 << -3;
}

void TestStringGrid::resizeKeepsCells()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    TStringGrid grid = NamedGrid();
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
    QCOMPARE(grid.ColCount(), std::max(cols, 0));
    QCOMPARE(grid.RowCount(), std::max(rows, 0));
    for (int row = 0; row < grid.RowCount(); ++row)
        for (int col = 0; col < grid.ColCount(); ++col) {
            const bool kept = col < 3 && row < 4;
            QCOMPARE(grid.Cell(col, row),
                     kept ? QStringLiteral("%1,%2").arg(col).arg(row) : QString());
        }

    // Growing back shows empty cells where the shrinking dropped texts.
    grid.SetColCount(3);
    grid.SetRowCount(4);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            const bool kept = col < std::max(cols, 0) && row < std::max(rows, 0);
            QCOMPARE(grid.Cell(col, row),
                     kept ? QStringLiteral("%1,%2").arg(col).arg(row) : QString());
        }
}

void TestStringGrid::outsideCells_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");

    QTest::newRow("column past the end") << 3 << 0;
    QTest::newRow("row past the end") << 0 << 4;
    QTest::newRow("negative column") << -1 << 1;
    QTest::newRow("negative row") << 1 << -1;
    QTest::newRow("far away") << 1000 << 1000;
}

void TestStringGrid::outsideCells()
{
    QFETCH(int, col);
    QFETCH(int, row);
    TStringGrid grid = NamedGrid();
    grid.SetCell(col, row, QStringLiteral("lost"));
    QCOMPARE(grid.Cell(col, row), QString());
    QCOMPARE(grid.ColCount(), 3);
    QCOMPARE(grid.RowCount(), 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            QCOMPARE(grid.Cell(c, r), QStringLiteral("%1,%2").arg(c).arg(r));
}

void TestStringGrid::rowStorage()
{
    const TStringGrid grid = NamedGrid();
    const QString* row = grid.Row(2);
    QCOMPARE(row[0], QStringLiteral("0,2"));
    QCOMPARE(row[2], QStringLiteral("2,2"));
}

void TestStringGrid::columnWidths()
{
    TStringGrid grid = NamedGrid();
    QCOMPARE(grid.ColWidth(0), TStringGrid::DefaultColWidth);
    grid.SetColWidth(0, 128);
    grid.SetColWidth(2, 70);
    grid.SetColWidth(3, 99);
    grid.SetColWidth(-1, 99);
    QCOMPARE(grid.ColWidth(0), 128);
    QCOMPARE(grid.ColWidth(1), TStringGrid::DefaultColWidth);
    QCOMPARE(grid.ColWidth(2), 70);
    QCOMPARE(grid.ColWidth(3), 0);
    QCOMPARE(grid.ColWidth(-1), 0);

    // Widths stay with their columns through row changes and a narrower grid.
    grid.SetRowCount(10);
    grid.SetColCount(1);
    QCOMPARE(grid.ColWidth(0), 128);
    // A column that comes back is a new column with the default width.
    grid.SetColCount(3);
    QCOMPARE(grid.ColWidth(0), 128);
    QCOMPARE(grid.ColWidth(2), TStringGrid::DefaultColWidth);
}

QTEST_GUILESS_MAIN(TestStringGrid)
#include "tst_string_grid.moc"
