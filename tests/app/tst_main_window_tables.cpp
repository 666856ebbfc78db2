// The main window's tables: units, the row selection and its probe table, the comment pane,
// copying while the pane has the focus, and column widths that follow the window.
#include "window_fixture.h"

#include "app/comment_text.h"
#include "models/table_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <numeric>

namespace
{

// The widths of a table whose client area grew by `growth` pixels: the column that takes
// the spare width grows with it; a table of fewer than 3 columns is left alone.
QList<int> Grown(QList<int> widths, int growth)
{
    if (widths.size() >= 3)
        widths[widths.size() > 4 ? 3 : 1] += growth;
    return widths;
}

QList<int> ColumnWidths(const QTableView* view)
{
    QList<int> widths;
    for (int col = 0; col < view->model()->columnCount(); ++col)
        widths << view->columnWidth(col);
    return widths;
}

int Sum(const QList<int>& values)
{
    return std::accumulate(values.begin(), values.end(), 0);
}

// The splitter between the tables dragged `pixels` to the left.
void DragSplitter(const TWindowFixture& fx, int pixels)
{
    QSplitterHandle* handle = fx.Window->findChild<QSplitter*>("DetailSplitter")->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(handle, grip - QPoint(pixels, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip - QPoint(pixels, 0));
}

// The focus goes into the comment pane and leaves it again for the probe table, without
// a keystroke: nothing the user could see changes.
void PassThroughPane(const TWindowFixture& fx)
{
    fx.commentMemo()->setFocus();
    QVERIFY(fx.commentMemo()->hasFocus());
    fx.detailGrid()->setFocus();
    QVERIFY(!fx.commentMemo()->hasFocus());
}

// Typed key by key; QTest's own typing knows only ASCII.
void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestMainWindowTables : public QObject
{
    Q_OBJECT

private slots:
    void unitsOfLastRow_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("AN") << int(devAN);
        QTest::newRow("TL") << int(devTL);
        QTest::newRow("EG") << int(devEG);
        QTest::newRow("FX") << int(devFX);
    }

    // The probe table shows the selected record, now in the other unit.
    void unitsOfLastRow()
    {
        QFETCH(int, model);
        TWindowFixture fx;
        fx.addInstrument(TKadrelType(model), "A001", 6);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        fx.clickRow(fx.basicGrid(), 6);
        const QString archive = fx.saveShownArchive("shown");

        fx.trigger("smDimKgs");

        const IKadrelPtr expected = LoadedDriver(model, archive, ruRU, dtkgs);
        TStringGrid basic;
        TStringGrid detail;
        expected->UpdateBasicGrid(basic);
        expected->UpdateDetailGrid(detail, 5);
        QCOMPARE(AllRows(window.BasicGridCells()), AllRows(basic));
        QCOMPARE(AllRows(window.DetailGridCells()), AllRows(detail));
        QCOMPARE(window.SelectionTop(), 6);
        QCOMPARE(window.Config.Dimension, 1);
        QVERIFY(!fx.action("smDimMPa")->isChecked());

        fx.trigger("smDimMPa");
        expected->SetDimension(dtMPa);
        expected->UpdateDetailGrid(detail, 5);
        QCOMPARE(AllRows(window.DetailGridCells()), AllRows(detail));
        QCOMPARE(window.Config.Dimension, 0);
    }

    // Only a row other than the last one selected refills the probe table.
    void rowReselection()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 6);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        const QSignalSpy refills(fx.detailGrid()->model(), &QAbstractItemModel::modelReset);

        fx.clickRow(fx.basicGrid(), 4, 0);
        fx.clickRow(fx.basicGrid(), 4, 2);
        QCOMPARE(refills.count(), 1);
        TStringGrid fourth;
        ActiveDriver->UpdateDetailGrid(fourth, 3);
        QCOMPARE(AllRows(window.DetailGridCells()), AllRows(fourth));

        fx.clickRow(fx.basicGrid(), 2);
        QCOMPARE(refills.count(), 2);
    }

    void comment_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("shownAgain");
        QTest::newRow("one word") << QStringList{"слово"} << "слово" << QStringList{"слово"};
        QTest::newRow("two lines, the first with a blank")
            << QStringList{"два слова", "одно"} << "'два слова'\rодно"
            << QStringList{"два слова", "одно"};
        QTest::newRow("apostrophe") << QStringList{"it's"} << "'it''s'" << QStringList{"it's"};
        QTest::newRow("empty middle line")
            << QStringList{"a", "", "b"} << "a\r\rb" << QStringList{"a", "b"};
    }

    // Typed into the pane, the comment goes to the selected record when the focus leaves it,
    // before the click that moved the focus selects another row.
    void comment()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, stored);
        QFETCH(QStringList, shownAgain);
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 6);
        fx.start();
        QVERIFY(fx.waitForArchives(1));
        QVERIFY(fx.activate());
        fx.clickRow(fx.basicGrid(), 2);

        QPlainTextEdit* memo = fx.commentMemo();
        memo->setFocus();
        for (int line = 0; line < typed.size(); ++line) {
            if (line > 0)
                QTest::keyClick(memo, Qt::Key_Return);
            Type(memo, typed[line]);
        }
        fx.clickRow(fx.basicGrid(), 5);

        QCOMPARE(ActiveDriver->GetComment(1), stored);
        QCOMPARE(ActiveDriver->GetComment(4), QString());
        QCOMPARE(memo->toPlainText(), QString());
        fx.clickRow(fx.basicGrid(), 2);
        QCOMPARE(CommentPaneLines(memo->toPlainText()), shownAgain);
    }

    // With a range selected by a click on its top row and a shift-click on its bottom row,
    // the pane shows the bottom record's comment, and that is where it is kept.
    void commentOfRangeSelection()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 6);
        fx.start();
        QVERIFY(fx.waitForArchives(1));
        QVERIFY(fx.activate());
        ActiveDriver->SetComment(2, "top");
        ActiveDriver->SetComment(4, "bottom");
        fx.clickRow(fx.basicGrid(), 3);
        fx.clickRow(fx.basicGrid(), 5, 0, Qt::ShiftModifier);
        QCOMPARE(fx.commentMemo()->toPlainText(), QStringLiteral("bottom\n"));

        PassThroughPane(fx);

        QCOMPARE(ActiveDriver->GetComment(2), QStringLiteral("top"));
        QCOMPARE(ActiveDriver->GetComment(4), QStringLiteral("bottom"));
    }

    // After a deletion the pane shows the comment of the record now in the selected row.
    void commentAfterDeletion()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 6);
        fx.start();
        QVERIFY(fx.waitForArchives(1));
        QVERIFY(fx.activate());
        ActiveDriver->SetComment(2, "deleted");
        ActiveDriver->SetComment(3, "moved");
        fx.clickRow(fx.basicGrid(), 3);

        fx.trigger("ActionDeleteResults");
        QCOMPARE(fx.commentMemo()->toPlainText(), QStringLiteral("moved\n"));
        PassThroughPane(fx);

        QCOMPARE(ActiveDriver->GetComment(2), QStringLiteral("moved"));
    }

    // A read merged into the records on show moves them; the pane shows the comment of the
    // first record, whose probe rows are shown, and keeps no other record's comment.
    void commentAfterMergedRead()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 6);
        KadrelSimulator* second = fx.addInstrument(devAN, "A002", 0);
        second->setRecords(Records(devAN, 3, 2, QDateTime(QDate(2024, 7, 1), QTime(9, 0))), 2);
        fx.start();
        QVERIFY(fx.waitForArchives(1));
        QVERIFY(fx.activate());
        for (int i = 0; i < 6; ++i)
            ActiveDriver->SetComment(i, QStringLiteral("note %1").arg(i));
        fx.clickRow(fx.basicGrid(), 5);
        fx.Prompts->Answers << IPrompts::Yes;
        fx.chooseInstrument(1);
        QVERIFY(fx.waitForArchives(2));

        QCOMPARE(fx.commentMemo()->toPlainText(), ActiveDriver->GetComment(0));
        PassThroughPane(fx);

        QStringList comments;
        for (int i = 0; i < 9; ++i)
            comments << ActiveDriver->GetComment(i);
        QCOMPARE(comments, (QStringList{"", "", "", "note 0", "note 1", "note 2", "note 3",
                                        "note 4", "note 5"}));
    }

    // Ctrl+C copies the selected records, not the text selected in the comment pane.
    void copyWhileCommentPaneHasFocus()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 6);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        QVERIFY(fx.activate());
        fx.clickRow(fx.basicGrid(), 2);
        fx.clickRow(fx.basicGrid(), 3, 0, Qt::ShiftModifier);
        QGuiApplication::clipboard()->clear();

        QPlainTextEdit* memo = fx.commentMemo();
        memo->setFocus();
        Type(memo, "note");
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);

        QCOMPARE(QGuiApplication::clipboard()->text(),
                 CopyRowsWithDetails(*ActiveDriver, window.BasicGridCells(), 2, 2,
                                     QStringLiteral("Комментарий")));
        QCOMPARE(fx.status(), QStringLiteral("Результаты скопированы"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("note"));
    }

    void columnWidths_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("AN") << int(devAN);
        QTest::newRow("TL") << int(devTL);
        QTest::newRow("EG") << int(devEG);
        QTest::newRow("FX") << int(devFX);
    }

    // The spare width of each table goes to its main column, and follows the window's width
    // and the splitter between the tables. The record tables have 7 to 13 columns, the probe
    // tables 5 (AN), 3 (TL, EG) and 2 (FX, whose widths stay as they are).
    void columnWidths()
    {
        QFETCH(int, model);
        TWindowFixture fx;
        fx.addInstrument(TKadrelType(model), "A001", 3);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        QTableView* basic = fx.basicGrid();
        QTableView* detail = fx.detailGrid();
        // Room for every text in both tables.
        window.resize(1400, window.height());
        QVERIFY(fx.waitFor([&] { return window.width() == 1400; }));
        DragSplitter(fx, 150);
        for (QTableView* view : {basic, detail}) {
            const QList<int> widths = ColumnWidths(view);
            if (widths.size() >= 3)
                QCOMPARE(Sum(widths), view->viewport()->width() - int(widths.size()) - 1);
        }

        const QList<int> basicBefore = ColumnWidths(basic);
        const QList<int> detailBefore = ColumnWidths(detail);
        const int viewportBefore = basic->viewport()->width();
        window.resize(window.width() + 200, window.height());
        QVERIFY(fx.waitFor([&] { return basic->viewport()->width() != viewportBefore; }));
        QCOMPARE(ColumnWidths(basic),
                 Grown(basicBefore, basic->viewport()->width() - viewportBefore));
        QCOMPARE(ColumnWidths(detail), detailBefore);

        const int detailViewportBefore = detail->viewport()->width();
        DragSplitter(fx, 100);
        QVERIFY(detail->viewport()->width() > detailViewportBefore);
        QCOMPARE(ColumnWidths(detail),
                 Grown(detailBefore, detail->viewport()->width() - detailViewportBefore));
    }
};

QTEST_MAIN(TestMainWindowTables)
#include "tst_main_window_tables.moc"
