// The report's data set and commands: field values, the rows Print and Selected report cover,
// "Nothing to print", the template of each model and option, and comments as stored.
#include "app/report_commands.h"
#include "app/report_dataset.h"
#include "models/messages.h"
#include "tst_report_fixture.h"

#include <QtTest>

Q_DECLARE_METATYPE(TKadrelType)
Q_DECLARE_METATYPE(IPrompts::TAnswer)

namespace
{

constexpr int Records = 6;

struct TStatus {
    QStringList Texts;
    TShowStatus Sink()
    {
        return [this](const QString& text) {
            Texts << text;
        };
    }
};

} // namespace

class TestReportDataSet : public QObject
{
    Q_OBJECT

    TReportArchive an;
    TReportArchive tl;

private slots:
    void initTestCase()
    {
        an = MakeReportArchive(devAN, Records);
        tl = MakeReportArchive(devTL, Records, enUS);
        for (int i = 0; i < Records; ++i)
            an.Driver->SetComment(i, QStringLiteral("record %1").arg(i));
    }

    void fields_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("recNo");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");

        const TStringGrid& g = an.BasicGrid;
        QTest::newRow("title") << false << 1 << 0 << "msgReportTitle"
                               << "Измеренные значения прочности";
        QTest::newRow("date") << false << 1 << 0 << "msgReportDate"
                              << "отчет создан";
        QTest::newRow("title english") << true << 1 << 0 << "msgReportTitle"
                                       << "Measured strength values";
        QTest::newRow("Title0") << false << 1 << 0 << "Title0"
                                << "Дата";
        QTest::newRow("Title3") << false << 1 << 0 << "Title3"
                                << "R, МПа";
        QTest::newRow("Title11") << false << 1 << 0 << "Title11" << g.Cell(11, 0);
        QTest::newRow("TitleComment") << false << 1 << 2 << "TitleComment"
                                      << "Комментарий";
        QTest::newRow("Comment anywhere") << false << 1 << 0 << "Title7Comment"
                                          << "Комментарий";
        QTest::newRow("TitleComment english") << true << 1 << 0 << "TitleComment"
                                              << "Comment";
        QTest::newRow("Data0 row 0") << false << 1 << 0 << "Data0" << g.Cell(0, 1);
        QTest::newRow("Data6 from row 3") << false << 3 << 2 << "Data6" << g.Cell(6, 5);
        QTest::newRow("Data10") << false << 2 << 0 << "Data10" << g.Cell(10, 2);
        QTest::newRow("DataComment row 0") << false << 1 << 0 << "DataComment"
                                           << "record 0";
        QTest::newRow("DataComment from row 2") << false << 2 << 1 << "DataComment"
                                                << "record 2";
        QTest::newRow("DataComment before the first record") << false << 0 << 0 << "DataComment"
                                                             << "";
        QTest::newRow("beyond the grid's columns") << false << 1 << 0 << "Data13"
                                                   << "";
        QTest::newRow("title beyond the grid") << false << 1 << 0 << "Title40"
                                               << "";
        QTest::newRow("beyond the grid's rows") << false << Records << 1 << "Data0"
                                                << "";
        QTest::newRow("unknown") << false << 1 << 0 << "Foo"
                                 << "Unknown field";
        QTest::newRow("case matters") << false << 1 << 0 << "data0"
                                      << "Unknown field";
        QTest::newRow("empty name") << false << 1 << 0 << ""
                                    << "Unknown field";
    }

    void fields()
    {
        QFETCH(bool, english);
        QFETCH(int, first);
        QFETCH(int, recNo);
        QFETCH(QString, field);
        QFETCH(QString, expected);

        TKadrelDataSet dataSet(an.BasicGrid, an.Driver.get(), english ? 1 : 0);
        dataSet.SetRange(first, Records);
        dataSet.First();
        for (int i = 0; i < recNo; ++i)
            dataSet.Next();
        QCOMPARE(dataSet.RecNo(), recNo);
        QCOMPARE(dataSet.GetValue(field), expected);
    }

    void columnBeyondTheGrid()
    {
        // The TL table has 7 columns; a template may name more.
        QCOMPARE(tl.BasicGrid.ColCount(), 7);
        TKadrelDataSet dataSet(tl.BasicGrid, tl.Driver.get(), 1);
        dataSet.SetRange(1, 1);
        dataSet.First();
        QCOMPARE(dataSet.GetValue("Data6"), tl.BasicGrid.Cell(6, 1));
        QCOMPARE(dataSet.GetValue("Data7"), QString());
        QCOMPARE(dataSet.GetValue("Title11"), QString());
    }

    void rowsRunToTheTotal()
    {
        TKadrelDataSet dataSet(an.BasicGrid, an.Driver.get(), 0);
        dataSet.SetRange(2, 3);
        dataSet.First();
        QCOMPARE(dataSet.RecordCount(), 3);
        QStringList nums;
        for (; !dataSet.Eof(); dataSet.Next())
            nums << dataSet.GetValue("Data2");
        QCOMPARE(nums, (QStringList{an.BasicGrid.Cell(2, 2), an.BasicGrid.Cell(2, 3),
                                    an.BasicGrid.Cell(2, 4)}));
    }

    void printRange_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<IPrompts::TAnswer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");

        QTest::newRow("block, Yes") << 2 << 4 << IPrompts::Yes << true << 2 << 3;
        QTest::newRow("block, box closed") << 2 << 4 << IPrompts::Closed << true << 2 << 3;
        QTest::newRow("block, No") << 2 << 4 << IPrompts::No << true << 1 << Records;
        QTest::newRow("one row") << 3 << 3 << IPrompts::Yes << false << 1 << Records;
    }

    void printRange()
    {
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(IPrompts::TAnswer, answer);
        QFETCH(bool, asked);
        QFETCH(int, first);
        QFETCH(int, count);

        TScriptPrompts prompts;
        prompts.Answers = {answer};
        const TReportRange range =
            PrintReportRange(top, bottom, an.BasicGrid.RowCount(), prompts, 0);
        QCOMPARE(range.First, first);
        QCOMPARE(range.Count, count);
        const QStringList question{
            "Сформировать отчет по выделенному блоку? (\"Нет\" - по всему архиву)"};
        QCOMPARE(prompts.Questions, asked ? question : QStringList());
    }

    void selectedRange_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("count");
        QTest::newRow("one row") << 5 << 5 << 1;
        QTest::newRow("block") << 2 << 4 << 3;
    }

    void selectedRange()
    {
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(int, count);
        const TReportRange range = SelectedReportRange(top, bottom);
        QCOMPARE(range.First, top);
        QCOMPARE(range.Count, count);
    }

    // Rows 2 to 4 answered Yes: three rows from grid row 2, with the comment of record 1.
    void printedBlock()
    {
        TScriptPrompts prompts;
        const TReportRange range = PrintReportRange(2, 4, an.BasicGrid.RowCount(), prompts, 0);
        TStatus status;
        const auto report =
            PrepareRangeReport({an.Driver.get(), &an.BasicGrid, 0, true}, range, status.Sink());
        QVERIFY(report);
        const TReportDocument& doc = report->Document();
        QCOMPARE(doc.RowCount(), 3);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 11; ++col)
                QCOMPARE(doc.Cell(row, col), an.BasicGrid.Cell(col, row + 2));
        QCOMPARE(doc.Cell(0, 11), QString("record 1"));
        QCOMPARE(doc.Cell(2, 11), QString("record 3"));
        QVERIFY(status.Texts.isEmpty());
    }

    void nothingToPrint_data()
    {
        QTest::addColumn<bool>("withDriver");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("status");
        QTest::newRow("no driver") << false << 0 << "Нечего печатать";
        QTest::newRow("empty archive") << true << 0 << "Нечего печатать";
        QTest::newRow("empty archive, English") << true << 1 << "Nothing to print";
    }

    void nothingToPrint()
    {
        QFETCH(bool, withDriver);
        QFETCH(int, lang);
        QFETCH(QString, status);

        const IKadrelPtr empty = CreateModelDriver(devAN);
        TStringGrid grid;
        empty->UpdateBasicGrid(grid);
        TStatus shown;
        const TReportSource source{withDriver ? empty.get() : nullptr, &grid, lang, false};
        QVERIFY(!PrepareRangeReport(source, {1, 1}, shown.Sink()));
        QCOMPARE(shown.Texts, QStringList{status});
        TScriptPrompts prompts;
        QVERIFY(!ShowRangeReport(source, {1, 1}, shown.Sink(), prompts, nullptr));
    }

    // A device type without a template (here QM, read from its file) shows and says nothing.
    void typeWithoutTemplate()
    {
        const int size = ModelInfo(devAN)->RecordSize;
        TArchiveList list;
        list.push_back(std::make_unique<TRawEntry>(QByteArray(size, '\0')));
        TKadrelInfo info{};
        info.DevType = devQM;
        QTemporaryDir dir;
        WriteArchiveFile(dir.filePath("qm"), info, list, size);
        const IKadrelPtr driver = CreateModelDriver(devAN);
        QVERIFY(driver->LoadFromFile(dir.filePath("qm")));
        QCOMPARE(int(driver->GetDevType()), int(devQM));

        TStringGrid grid;
        driver->UpdateBasicGrid(grid);
        TStatus shown;
        QVERIFY(!PrepareRangeReport({driver.get(), &grid, 0, true}, {1, 1}, shown.Sink()));
        QVERIFY(shown.Texts.isEmpty());
    }

    void templateChoice_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<bool>("comments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPageLayout::Orientation>("orientation");
        QTest::addColumn<int>("gridColumns");
        QTest::addColumn<double>("tableWidth");

        const auto portrait = QPageLayout::Portrait;
        const auto landscape = QPageLayout::Landscape;
        QTest::newRow("AN") << devAN << false << "frxReportAN" << portrait << 10 << 195.0;
        QTest::newRow("AN comments")
            << devAN << true << "frxReportAN_comment" << landscape << 11 << 277.0;
        QTest::newRow("TL") << devTL << false << "frxReportTL" << portrait << 7 << 195.0;
        QTest::newRow("TL comments")
            << devTL << true << "frxReportTL_comment" << landscape << 7 << 277.0;
        QTest::newRow("EG") << devEG << false << "frxReportEG" << portrait << 9 << 195.0;
        QTest::newRow("EG comments")
            << devEG << true << "frxReportEG_comment" << landscape << 9 << 277.0;
        QTest::newRow("FX") << devFX << false << "frxReportFX" << portrait << 7 << 195.0;
        QTest::newRow("FX comments")
            << devFX << true << "frxReportFX_comment" << landscape << 7 << 277.0;
    }

    void templateChoice()
    {
        QFETCH(TKadrelType, model);
        QFETCH(bool, comments);
        QFETCH(QString, name);
        QFETCH(QPageLayout::Orientation, orientation);
        QFETCH(int, gridColumns);
        QFETCH(double, tableWidth);

        const TReportArchive archive = MakeReportArchive(model, 3);
        TStatus shown;
        const auto report = PrepareRangeReport(
            {archive.Driver.get(), &archive.BasicGrid, 0, comments}, {1, 3}, shown.Sink());
        QVERIFY(report);
        const TReportTemplate& layout = report->Document().Template();
        QCOMPARE(layout.Name, name);
        QCOMPARE(report->PageLayout().orientation(), orientation);
        QCOMPARE(report->PageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(layout.TableWidthMm(), tableWidth);
        QCOMPARE(int(layout.Columns.size()), gridColumns + (comments ? 1 : 0));
        for (int c = 0; c < gridColumns; ++c)
            QCOMPARE(layout.Columns[size_t(c)].DataField, QString("Data%1").arg(c));
        if (comments)
            QCOMPARE(layout.Columns.back().DataField, QString("DataComment"));
        const QMarginsF margins = report->PageLayout().margins(QPageLayout::Millimeter);
        QCOMPARE(margins, comments ? QMarginsF(10, 5, 10, 10) : QMarginsF(10, 10, 5, 10));
    }

    void columnWidths()
    {
        const std::vector<double> expected{20, 14, 8, 16, 13, 12, 40, 15, 19, 19, 19, 82};
        const TReportTemplate* layout = ChooseReportTemplate(devAN, true);
        QVERIFY(layout);
        std::vector<double> widths;
        for (const TReportColumn& column : layout->Columns)
            widths.push_back(column.WidthMm);
        QCOMPARE(widths, expected);
        QVERIFY(!ChooseReportTemplate(devUnknown, false));
        QVERIFY(!ChooseReportTemplate(0x81, false));
    }

    // The comment goes to the report in its stored form: quoted lines, doubled apostrophes, CR.
    void commentAsStored()
    {
        const QString stored = "'two words'\r'it''s'\rend";
        an.Driver->SetComment(0, stored);
        TStatus shown;
        const auto report =
            PrepareRangeReport({an.Driver.get(), &an.BasicGrid, 0, true}, {1, 1}, shown.Sink());
        QVERIFY(report);
        QCOMPARE(report->Document().Cell(0, 11), stored);
        QCOMPARE(report->CellLines(0, 11), (QStringList{"'two words'", "'it''s'", "end"}));
        QCOMPARE(report->RowLines(0), 3);
        an.Driver->SetComment(0, "record 0");
    }

    void titleBand()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        TStatus shown;
        const QDateTime created(QDate(2024, 6, 14), QTime(16, 20, 5));
        const auto report = PrepareRangeReport({an.Driver.get(), &an.BasicGrid, 0, false}, {1, 2},
                                               shown.Sink(), created);
        QLocale::setDefault(saved);
        QVERIFY(report);
        QCOMPARE(report->Document().Title(), QString("Измеренные значения прочности"));
        QCOMPARE(report->Document().DateLine(), QString("( отчет создан 14.06.2024, 16:20:05)"));
    }
};

QTEST_MAIN(TestReportDataSet)
#include "tst_report_dataset.moc"
