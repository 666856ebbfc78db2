// The report engine's layout: rows per page, the title band on the first page only, rows that
// grow with wrapped comments, rows taller than a page split between lines, new paper.
#include "app/report_commands.h"
#include "tst_report_fixture.h"

#include <QFontMetricsF>
#include <QImage>
#include <QtTest>

Q_DECLARE_METATYPE(TKadrelType)

namespace
{

// Height left for rows on a page, title band excluded.
double BodyHeight(const QPageLayout& page)
{
    const QMarginsF margins = page.margins(QPageLayout::Millimeter);
    return page.fullRect(QPageLayout::Millimeter).height() - margins.top() - margins.bottom() -
           ReportBand::HeaderHeight - ReportBand::FooterHeight;
}

std::unique_ptr<TReportLayout> Prepare(const TReportArchive& archive, bool comments, int rows)
{
    return PrepareRangeReport({archive.Driver.get(), &archive.BasicGrid, 0, comments}, {1, rows},
                              [](const QString&) {});
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    // Every line of every row is printed once, in order; no page overflows; the first page
    // leaves room for the title band.
    void pagination_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<bool>("comments");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("tallRow");
        QTest::addColumn<int>("tallLines");
        QTest::addColumn<QList<int>>("rowsPerPage");

        QTest::newRow("AN, 120 rows") << devAN << false << 120 << -1 << 0 << QList<int>{47, 50, 23};
        QTest::newRow("AN, exactly one page") << devAN << false << 47 << -1 << 0 << QList<int>{47};
        QTest::newRow("AN, one row more") << devAN << false << 48 << -1 << 0 << QList<int>{47, 1};
        QTest::newRow("no rows") << devAN << false << 0 << -1 << 0 << QList<int>{0};
        QTest::newRow("TL comments, a tall comment moves to the next page")
            << devTL << true << 40 << 25 << 12 << QList<int>{25, 15};
        QTest::newRow("EG comments, a comment taller than a page")
            << devEG << true << 30 << 3 << 150 << QList<int>{};
    }

    void pagination()
    {
        QFETCH(TKadrelType, model);
        QFETCH(bool, comments);
        QFETCH(int, rows);
        QFETCH(int, tallRow);
        QFETCH(int, tallLines);
        QFETCH(QList<int>, rowsPerPage);

        TReportArchive archive = MakeReportArchive(model, std::max(rows, 1));
        if (tallRow >= 0) {
            QStringList lines;
            for (int i = 0; i < tallLines; ++i)
                lines << QStringLiteral("line%1").arg(i);
            archive.Driver->SetComment(tallRow, lines.join('\r'));
        }
        const auto report = Prepare(archive, comments, rows);
        QVERIFY(report);
        if (tallRow >= 0)
            QCOMPARE(report->RowLines(tallRow), tallLines);

        const double body = BodyHeight(report->PageLayout());
        const double title =
            ReportBand::TitleHeight + ReportBand::DateHeight + ReportBand::TitleGap;
        int row = 0;
        int line = 0;
        QList<int> counted;
        for (int p = 0; p < report->PageCount(); ++p) {
            double used = 0;
            int whole = 0;
            for (const TReportSlice& slice : report->Page(p).Slices) {
                QCOMPARE(slice.Row, row);
                QCOMPARE(slice.FirstLine, line);
                QVERIFY(slice.HeightMm >= slice.LineCount * report->LineHeightMm());
                used += slice.HeightMm;
                line += slice.LineCount;
                if (line == report->RowLines(row)) {
                    ++row;
                    line = 0;
                    ++whole;
                }
            }
            QVERIFY2(used <= body - (p == 0 ? title : 0) + 1e-6, qPrintable(QString::number(p)));
            counted << whole;
        }
        QCOMPARE(row, rows);
        if (!rowsPerPage.isEmpty())
            QCOMPARE(counted, rowsPerPage);
        if (tallLines > 0) {
            const double tallHeight = report->SliceHeightMm(tallRow, 0, tallLines);
            const bool split = tallHeight > body;
            int pagesOfTall = 0;
            for (int p = 0; p < report->PageCount(); ++p)
                for (const TReportSlice& slice : report->Page(p).Slices)
                    pagesOfTall += slice.Row == tallRow;
            QCOMPARE(pagesOfTall > 1, split);
        }
    }

    // Long comments wrap at word boundaries, or inside a word too long for the column; no
    // line is wider than the column.
    void wrapping_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::newRow("words") << QString("Отрыв по клеевому слою, ").repeated(8);
        QTest::newRow("one long word") << QString("ABCDEFGHIJ").repeated(30);
        QTest::newRow("lines and words") << "'first line'\r" + QString("word ").repeated(40);
    }

    void wrapping()
    {
        QFETCH(QString, comment);
        TReportArchive archive = MakeReportArchive(devFX, 2);
        archive.Driver->SetComment(0, comment);
        const auto report = Prepare(archive, true, 2);
        QVERIFY(report);
        const int commentCol = report->Document().ColumnCount() - 1;
        const QStringList lines = report->CellLines(0, commentCol);
        QVERIFY(lines.size() > 1);
        QCOMPARE(report->RowLines(0), int(lines.size()));
        QVERIFY(report->Page(0).Slices[0].HeightMm > ReportBand::RowHeight);

        QImage device(1, 1, QImage::Format_RGB32);
        device.setDotsPerMeterX(int(1200 / 0.0254));
        device.setDotsPerMeterY(int(1200 / 0.0254));
        const QFontMetricsF metrics(ReportDataFont(), &device);
        const double room =
            (122 - 2 * ReportBand::CellPadX) * device.logicalDpiX() / 25.4; // FX comment column
        QString joined;
        for (const QString& line : lines) {
            QVERIFY2(metrics.horizontalAdvance(line) <= room + 0.5, qPrintable(line));
            joined += line;
        }
        QString expected = comment;
        expected.remove(' ').remove('\r');
        QCOMPARE(joined.remove(' '), expected);
        // The other cells of the row keep their one line.
        QCOMPARE(report->CellLines(0, 0), QStringList{report->Document().Cell(0, 0)});
    }

    // Comments that differ only in their digits break at the same places, each line keeping
    // its own digits; every kind of line end ends a line, the last one an empty line.
    void wrappingOfLikeTexts()
    {
        const QStringList comments = {"N" + QString("1234567890").repeated(30),
                                      "N" + QString("9876543210").repeated(30), "a\r\nb\nc\rd\r"};
        TReportArchive archive = MakeReportArchive(devFX, 3);
        for (int row = 0; row < 3; ++row)
            archive.Driver->SetComment(row, comments[row]);
        const auto report = Prepare(archive, true, 3);
        QVERIFY(report);
        const int commentCol = report->Document().ColumnCount() - 1;
        const QStringList first = report->CellLines(0, commentCol);
        const QStringList second = report->CellLines(1, commentCol);
        QVERIFY(first.size() > 1);
        QCOMPARE(first.join(QString()), comments[0]);
        QCOMPARE(second.join(QString()), comments[1]);
        QCOMPARE(second.size(), first.size());
        for (int i = 0; i < first.size(); ++i)
            QCOMPARE(second[i].size(), first[i].size());
        QCOMPARE(report->CellLines(2, commentCol), (QStringList{"a", "b", "c", "d", ""}));
    }

    void otherPaper()
    {
        const TReportArchive archive = MakeReportArchive(devAN, 120);
        const auto report = Prepare(archive, false, 120);
        QCOMPARE(report->PageCount(), 3);
        QPageLayout a5 = report->PageLayout();
        a5.setPageSize(QPageSize(QPageSize::A5));
        report->SetPageLayout(a5);
        QVERIFY(report->PageCount() > 3);
        int rows = 0;
        for (int p = 0; p < report->PageCount(); ++p)
            rows += int(report->Page(p).Slices.size());
        QCOMPARE(rows, 120);
    }
};

QTEST_MAIN(TestReportLayout)
#include "tst_report_layout.moc"
