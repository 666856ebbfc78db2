// Column fitting: the widths from the texts, which column takes the spare width, and a view
// kept in step with its font.
#include "app/fit_columns.h"
#include "app/string_grid_model.h"

#include <QTableView>
#include <QtTest>

namespace
{

// Rows of texts, the first one the header.
TStringGrid makeGrid(const QList<QStringList>& rows)
{
    TStringGrid grid;
    grid.SetColCount(rows.isEmpty() ? 0 : int(rows.front().size()));
    grid.SetRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int col = 0; col < rows[row].size(); ++col)
            grid.SetCell(col, row, rows[row][col]);
    return grid;
}

// Fits the view's columns and checks them against the widths its font gives the texts.
void fitAndCheck(QTableView& view, const TStringGrid& grid)
{
    FitColumns(&view);
    const QFontMetrics metrics(view.font());
    const std::vector<int> expected = FitColumnWidths(
        ColumnTextWidths(
            grid, [&metrics](const QString& text) { return metrics.horizontalAdvance(text); }),
        view.viewport()->width());
    for (int col = 0; col < grid.ColCount(); ++col)
        QCOMPARE(view.columnWidth(col), expected[size_t(col)]);
}

int tenPerCharacter(const QString& text)
{
    return int(text.size()) * 10;
}

} // namespace

class TestFitColumns : public QObject
{
    Q_OBJECT

private slots:
    void widths_data();
    void widths();
    void viewFollowsFontSizeAndContents();
    void viewOfTwoColumnsKeepsWidths();
    void numbersInFontsWithAndWithoutKerning_data();
    void numbersInFontsWithAndWithoutKerning();
};

void TestFitColumns::widths_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<QList<int>>("expected");
    const auto row = [](const char* name, const QList<QStringList>& rows, int clientWidth,
                        const QList<int>& expected) {
        QTest::newRow(name) << rows << clientWidth << expected;
    };

    row("2 columns are left alone", {{"a", "b"}, {"long text", "x"}}, 500, {});
    // Widths 25 + 35 + 25 + 15 = 100; spare 300 - 100 - 4 - 1 = 195 to column 1.
    row("4 columns widen column 1", {{"N", "Date", "", ""}, {"1", "12.03", "x", ""}}, 300,
        {25, 230, 25, 15});
    // Widths 5 * 25 = 125; spare 300 - 125 - 5 - 1 = 169 to column 3.
    row("5 columns widen column 3", {{"a", "b", "c", "d", "e"}}, 300, {25, 25, 25, 194, 25});
    row("3 columns widen column 1", {{"a", "b", "c"}}, 100, {25, 46, 25});
    row("header wider than the cells", {{"N", "Strength", "c"}, {"1", "27.2", "c"}}, 0,
        {25, 95, 25});
    row("no spare when the texts fill the width", {{"a", "b", "c"}}, 75, {25, 25, 25});
    // The grid lines' share of the width is taken even when it is more than the spare.
    row("grid lines overfill the width", {{"a", "b", "c"}}, 76, {25, 22, 25});
}

void TestFitColumns::widths()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, clientWidth);
    QFETCH(QList<int>, expected);
    const std::vector<int> widths =
        FitColumnWidths(ColumnTextWidths(makeGrid(rows), tenPerCharacter), clientWidth);
    QCOMPARE(QList<int>(widths.begin(), widths.end()), expected);
}

// The view measures again whatever changed since the last fit: its font, its width, its texts.
void TestFitColumns::viewFollowsFontSizeAndContents()
{
    TStringGrid grid =
        makeGrid({{"N", "Date", "Time", "Strength"}, {"1", "01.02.2024", "12:30", "27.203"}});
    StringGridModel model;
    model.setGrid(&grid);
    QTableView view;
    view.setModel(&model);
    view.resize(640, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    fitAndCheck(view, grid);
    QCOMPARE(view.columnWidth(0), QFontMetrics(view.font()).horizontalAdvance("N") + 15);
    QFont font = view.font();
    font.setPointSize(font.pointSize() * 2);
    view.setFont(font);
    fitAndCheck(view, grid);
    view.resize(900, 200);
    fitAndCheck(view, grid);
    grid.SetCell(0, 1, "65535");
    model.refresh();
    fitAndCheck(view, grid);
    model.setEditable(true);
    QVERIFY(model.setData(model.index(0, 2), "a much longer text than before"));
    fitAndCheck(view, grid);
}

void TestFitColumns::viewOfTwoColumnsKeepsWidths()
{
    TStringGrid grid = makeGrid({{"Material", "A0"}, {"Heavy concrete of a long name", "1"}});
    StringGridModel model;
    model.setGrid(&grid);
    QTableView view;
    view.setModel(&model);
    view.setColumnWidth(0, 40);
    view.setColumnWidth(1, 50);
    FitColumns(&view);
    QCOMPARE(view.columnWidth(0), 40);
    QCOMPARE(view.columnWidth(1), 50);
}

void TestFitColumns::numbersInFontsWithAndWithoutKerning_data()
{
    QTest::addColumn<QString>("family");
    // Digits all alike, measured by their patterns.
    QTest::newRow("DejaVu Sans") << "DejaVu Sans";
    // "11" set closer than "00": every text measured as it is.
    QTest::newRow("Liberation Sans") << "Liberation Sans";
}

// Numbers that differ only in their digits are as wide as the font sets them.
void TestFitColumns::numbersInFontsWithAndWithoutKerning()
{
    QFETCH(QString, family);
    TStringGrid grid = makeGrid({{"N", "R", "Time", "E"},
                                 {"10000", "11.111", "11:11", "1.1E-11"},
                                 {"11111", "7.0000", "00:00", "0.0E-00"},
                                 {"20000", "1.7777", "17:71", "7.1E-17"}});
    StringGridModel model;
    model.setGrid(&grid);
    QTableView view;
    view.setFont(QFont(family));
    view.setModel(&model);
    fitAndCheck(view, grid);
}

QTEST_MAIN(TestFitColumns)
#include "tst_fit_columns.moc"
