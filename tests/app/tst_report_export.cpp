// Report exports: the PDF's text page by page, page images and their names, the HTML table and
// the plain text, files replaced only with consent and only by a complete export.
#include "app/report_commands.h"
#include "app/report_export.h"
#include "app/report_output.h"
#include "tst_report_fixture.h"

#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

Q_DECLARE_METATYPE(TKadrelType)
Q_DECLARE_METATYPE(TExportFormat)
Q_DECLARE_METATYPE(IPrompts::TAnswer)

namespace
{

const TReportProgress Ignore = [](int, int) {
    return true;
};

std::unique_ptr<TReportLayout> Prepare(const TReportArchive& archive, bool comments, int first,
                                       int count)
{
    return PrepareRangeReport({archive.Driver.get(), &archive.BasicGrid, 0, comments},
                              {first, count}, [](const QString&) {});
}

QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The text of each page in the order it was drawn.
QStringList PdfPages(const QString& fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {"-raw", "-enc", "UTF-8", fileName, "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The record numbers of the rows printed on a page, top to bottom.
QStringList RowNumbers(const QString& page)
{
    static const QRegularExpression row(
        QStringLiteral("^\\s*\\d\\d\\.\\d\\d\\.\\d{4}\\s+\\d\\d:\\d\\d\\s+(\\d+)\\s"),
        QRegularExpression::MultilineOption);
    QStringList numbers;
    for (auto match = row.globalMatch(page); match.hasNext();)
        numbers << match.next().captured(1);
    return numbers;
}

} // namespace

class TestReportExport : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    // Every page repeats the column titles and numbers itself "N / M"; the rows come in
    // order, each once; the title only on the first page.
    void pdfPages_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<bool>("comments");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");

        QTest::newRow("AN whole archive") << devAN << false << 1 << 120;
        QTest::newRow("AN block with comments") << devAN << true << 5 << 70;
        QTest::newRow("TL with comments") << devTL << true << 1 << 90;
        QTest::newRow("EG") << devEG << false << 3 << 60;
        QTest::newRow("FX with comments") << devFX << true << 1 << 40;
    }

    void pdfPages()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QFETCH(TKadrelType, model);
        QFETCH(bool, comments);
        QFETCH(int, first);
        QFETCH(int, count);

        TReportArchive archive = MakeReportArchive(model, first + count + 5);
        archive.Driver->SetComment(first, "'two words'\rsecond");
        const auto report = Prepare(archive, comments, first, count);
        QVERIFY(report);
        QVERIFY(report->PageCount() > 1);
        const QString file = path("pages.pdf");
        QString error;
        QCOMPARE(ExportReport(*report, TExportFormat::Pdf, file, Ignore, error),
                 TExportResult::Written);

        const QStringList pages = PdfPages(file);
        QCOMPARE(pages.size(), report->PageCount());
        const TReportDocument& doc = report->Document();
        QStringList printed;
        for (int p = 0; p < pages.size(); ++p) {
            const QString& page = pages[p];
            for (int col = 0; col < doc.ColumnCount(); ++col)
                QVERIFY2(page.contains(doc.HeaderText(col)), qPrintable(doc.HeaderText(col)));
            QVERIFY(page.contains(QStringLiteral("%1 / %2").arg(p + 1).arg(pages.size())));
            QCOMPARE(page.contains("Измеренные значения прочности"), p == 0);
            printed << RowNumbers(page);
        }
        QStringList expected;
        for (int row = first; row < first + count; ++row)
            expected << archive.BasicGrid.Cell(2, row);
        QCOMPARE(printed, expected);
        // The comment of record `first`, in report row 1, keeps its two lines and apostrophes.
        if (comments) {
            QVERIFY(pages[0].contains("'two words'"));
            QVERIFY(pages[0].contains(QRegularExpression("'two words'[^\\n]*\\n[^\\n]*second")));
        }
    }

    // Printing goes through the same pages; here to the printer's PDF output.
    void printChosenPages()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        const TReportArchive archive = MakeReportArchive(devTL, 100);
        const auto report = Prepare(archive, true, 1, 100);
        QCOMPARE(report->PageCount(), 4);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("printed.pdf"));
        int steps = 0;
        QCOMPARE(
            PrintReport(*report, printer, {0, 2}, [&](int, int total) { return ++steps <= total; }),
            TExportResult::Written);
        QCOMPARE(steps, 2);
        const QStringList pages = PdfPages(path("printed.pdf"));
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains("1 / 4"));
        QVERIFY(pages[0].contains("Измеренные значения прочности"));
        QVERIFY(pages[1].contains("3 / 4"));
        QCOMPARE(RowNumbers(pages[1]).first(),
                 archive.BasicGrid.Cell(2, report->Page(2).Slices.front().Row + 1));
    }

    void imageNames_data()
    {
        QTest::addColumn<TExportFormat>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("files");

        QTest::newRow("one page") << TExportFormat::Png << "r.png" << 1 << QStringList{"r.png"};
        QTest::newRow("three pages") << TExportFormat::Png << "/a/r.png" << 3
                                     << QStringList{"/a/r.png", "/a/r_2.png", "/a/r_3.png"};
        QTest::newRow("padded to the page count")
            << TExportFormat::Jpeg << "/a.b/r.jpg" << 12
            << QStringList{"/a.b/r.jpg",    "/a.b/r_02.jpg", "/a.b/r_03.jpg", "/a.b/r_04.jpg",
                           "/a.b/r_05.jpg", "/a.b/r_06.jpg", "/a.b/r_07.jpg", "/a.b/r_08.jpg",
                           "/a.b/r_09.jpg", "/a.b/r_10.jpg", "/a.b/r_11.jpg", "/a.b/r_12.jpg"};
        QTest::newRow("no extension")
            << TExportFormat::Png << "/a.b/r" << 2 << QStringList{"/a.b/r", "/a.b/r_2"};
        QTest::newRow("PDF is one file")
            << TExportFormat::Pdf << "r.pdf" << 5 << QStringList{"r.pdf"};
    }

    void imageNames()
    {
        QFETCH(TExportFormat, format);
        QFETCH(QString, name);
        QFETCH(int, pages);
        QFETCH(QStringList, files);
        QCOMPARE(ExportFileNames(format, name, pages), files);
    }

    void images_data()
    {
        QTest::addColumn<TExportFormat>("format");
        QTest::addColumn<bool>("comments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("PNG, portrait")
            << TExportFormat::Png << false << "an.png" << QSize(1240, 1754);
        QTest::newRow("JPEG, landscape")
            << TExportFormat::Jpeg << true << "an.jpg" << QSize(1754, 1240);
    }

    void images()
    {
        QFETCH(TExportFormat, format);
        QFETCH(bool, comments);
        QFETCH(QString, name);
        QFETCH(QSize, size);

        const TReportArchive archive = MakeReportArchive(devAN, 60);
        const auto report = Prepare(archive, comments, 1, 60);
        QString error;
        QCOMPARE(ExportReport(*report, format, path(name), Ignore, error), TExportResult::Written);
        const QStringList files = ExportFileNames(format, path(name), report->PageCount());
        QCOMPARE(files.size(), report->PageCount());
        for (const QString& file : files) {
            const QImage image(file);
            QCOMPARE(image.size(), size);
            // Every page has its header, rows and footer printed.
            int dark = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2)
                    dark += qGray(image.pixel(x, y)) < 128;
            QVERIFY(dark > 2000);
        }
    }

    void html()
    {
        TReportArchive archive = MakeReportArchive(devTL, 4);
        archive.Driver->SetComment(1, "'a < b & c'\rnext");
        const auto report = Prepare(archive, true, 1, 4);
        QString error;
        QCOMPARE(ExportReport(*report, TExportFormat::Html, path("r.html"), Ignore, error),
                 TExportResult::Written);
        const QString html = QString::fromUtf8(ReadAll(path("r.html")));
        QCOMPARE(html.count("<table>"), 1);
        QCOMPARE(html.count("<tr>"), 5);
        QCOMPARE(html.count("<th "), 8);
        QVERIFY(html.contains("<h1>Измеренные значения прочности</h1>"));
        QVERIFY(html.contains(">Комментарий</th>"));
        QVERIFY(html.contains("<td class=\"comment\">'a &lt; b &amp; c'<br>next</td>"));
        QVERIFY(html.contains("<td>" + archive.BasicGrid.Cell(5, 4) + "</td>"));
    }

    void text()
    {
        TReportArchive archive = MakeReportArchive(devFX, 3);
        archive.Driver->SetComment(0, "'two words'\rsecond");
        const auto report = Prepare(archive, true, 1, 3);
        QString error;
        QCOMPARE(ExportReport(*report, TExportFormat::Text, path("r.txt"), Ignore, error),
                 TExportResult::Written);
        const QByteArray bytes = ReadAll(path("r.txt"));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
        QCOMPARE(lines.size(), 3 + 1 + 3 + 1);
        QCOMPARE(lines[0], QString("Измеренные значения прочности"));
        QVERIFY(lines[1].startsWith("( отчет создан "));
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines[3].split('\t').size(), 8);
        QCOMPARE(lines[3].split('\t').back(), QString("Комментарий"));
        QStringList first;
        for (int col = 0; col < 7; ++col)
            first << archive.BasicGrid.Cell(col, 1);
        first << "'two words' second";
        QCOMPARE(lines[4], first.join('\t'));
        QCOMPARE(lines.back(), QString());
    }

    // Whatever the format, an existing target is replaced only after Yes.
    void overwrite_data()
    {
        QTest::addColumn<TExportFormat>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<IPrompts::TAnswer>("answer");
        QTest::addColumn<bool>("replaced");

        QTest::newRow("PDF, No") << TExportFormat::Pdf << "o.pdf"
                                 << "o.pdf" << IPrompts::No << false;
        QTest::newRow("HTML, box closed") << TExportFormat::Html << "o.html"
                                          << "o.html" << IPrompts::Closed << false;
        QTest::newRow("page 2 of the images, No") << TExportFormat::Png << "o.png"
                                                  << "o_2.png" << IPrompts::No << false;
        QTest::newRow("text, Yes") << TExportFormat::Text << "o.txt"
                                   << "o.txt" << IPrompts::Yes << true;
    }

    void overwrite()
    {
        QFETCH(TExportFormat, format);
        QFETCH(QString, name);
        QFETCH(QString, existing);
        QFETCH(IPrompts::TAnswer, answer);
        QFETCH(bool, replaced);

        QTemporaryDir target;
        const QByteArray kept = "kept";
        WriteAll(target.filePath(existing), kept);
        const TReportArchive archive = MakeReportArchive(devAN, 60);
        const auto report = Prepare(archive, false, 1, 60);
        TScriptPrompts prompts;
        prompts.Answers = {answer};
        const TExportResult result =
            TReportOutput(prompts, 0, nullptr).Export(*report, format, target.filePath(name));

        const QString question = QStringLiteral("Файл %1 существует. Перезаписать?")
                                     .arg(QDir::toNativeSeparators(target.filePath(existing)));
        QCOMPARE(prompts.Questions, QStringList{question});
        QCOMPARE(result, replaced ? TExportResult::Written : TExportResult::Declined);
        QCOMPARE(ReadAll(target.filePath(existing)) == kept, !replaced);
        if (!replaced)
            QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{existing});
    }

    void noQuestionForNewFile()
    {
        const TReportArchive archive = MakeReportArchive(devAN, 3);
        const auto report = Prepare(archive, false, 1, 3);
        TScriptPrompts prompts;
        QCOMPARE(
            TReportOutput(prompts, 1, nullptr).Export(*report, TExportFormat::Pdf, path("new.pdf")),
            TExportResult::Written);
        QVERIFY(prompts.Questions.isEmpty());
        QVERIFY(ReadAll(path("new.pdf")).startsWith("%PDF"));
    }

    // A cancelled export leaves the previous file as it was, not a truncated one.
    void cancelKeepsTheFile_data()
    {
        QTest::addColumn<TExportFormat>("format");
        QTest::newRow("PDF") << TExportFormat::Pdf;
        QTest::newRow("HTML") << TExportFormat::Html;
        QTest::newRow("text") << TExportFormat::Text;
    }

    void cancelKeepsTheFile()
    {
        QFETCH(TExportFormat, format);
        const TReportArchive archive = MakeReportArchive(devAN, 1200);
        const auto report = Prepare(archive, false, 1, 1200);
        const QString file = path("cancelled");
        WriteAll(file, "previous");
        int calls = 0;
        QString error;
        const TExportResult result = ExportReport(
            *report, format, file, [&](int, int) { return ++calls < 2; }, error);
        QCOMPARE(result, TExportResult::Cancelled);
        QCOMPARE(ReadAll(file), QByteArray("previous"));
    }

    void unwritableFolder()
    {
        const TReportArchive archive = MakeReportArchive(devAN, 3);
        const auto report = Prepare(archive, false, 1, 3);
        const QString file = path("missing/folder/r.pdf");
        QString error;
        QCOMPARE(ExportReport(*report, TExportFormat::Pdf, file, Ignore, error),
                 TExportResult::Failed);
        QVERIFY(!error.isEmpty());

        TScriptPrompts prompts;
        QCOMPARE(TReportOutput(prompts, 1, nullptr).Export(*report, TExportFormat::Html, file),
                 TExportResult::Failed);
        QCOMPARE(prompts.Errors.size(), 1);
        QVERIFY(prompts.Errors[0].startsWith("Cannot write the file " +
                                             QDir::toNativeSeparators(file) + ": "));
    }
};

QTEST_MAIN(TestReportExport)
#include "tst_report_export.moc"
