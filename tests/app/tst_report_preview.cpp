// The report preview: shown by ShowRangeReport in the interface language, page navigation,
// zoom, the page drawn on screen, and exports through the file dialog.
#include "app/report_commands.h"
#include "app/report_page_view.h"
#include "app/report_preview.h"
#include "tst_report_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

Q_DECLARE_METATYPE(TExportFormat)

class TestReportPreview : public QObject
{
    Q_OBJECT

    TReportArchive archive = MakeReportArchive(devAN, 120);
    TScriptPrompts prompts;

    TReportPreview* show(int lang)
    {
        return ShowRangeReport(
            {archive.Driver.get(), &archive.BasicGrid, lang, false}, {1, 120},
            [](const QString&) {}, prompts, nullptr);
    }

private slots:
    void captions_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("pageOf");
        QTest::newRow("Russian") << 0 << "Предварительный просмотр"
                                 << "из 3";
        QTest::newRow("English") << 1 << "Preview"
                                 << "of 3";
    }

    void captions()
    {
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, pageOf);
        QPointer<TReportPreview> preview = show(lang);
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), title);
        QStringList labels;
        for (QLabel* label : preview->findChildren<QLabel*>())
            labels << label->text();
        QVERIFY2(labels.contains(pageOf), qPrintable(labels.join('|')));
        preview->close();
        QTRY_VERIFY(!preview);
    }

    void navigation()
    {
        std::unique_ptr<TReportPreview> preview(show(0));
        preview->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* pageBox = preview->findChild<QSpinBox*>();
        QVERIFY(pageBox);
        QCOMPARE(preview->CurrentPage(), 0);
        QCOMPARE(pageBox->maximum(), 3);

        pageBox->setValue(2);
        QCOMPARE(preview->CurrentPage(), 1);
        preview->SetCurrentPage(99);
        QCOMPARE(preview->CurrentPage(), 2);
        QCOMPARE(pageBox->value(), 3);
        preview->SetCurrentPage(-4);
        QCOMPARE(preview->CurrentPage(), 0);
        QCOMPARE(pageBox->value(), 1);
    }

    // The page on show is drawn, and the whole-page zoom needs no scrolling.
    void pageOnScreen()
    {
        std::unique_ptr<TReportPreview> preview(show(0));
        preview->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* view = preview->findChild<TReportPageView*>();
        QVERIFY(view);
        auto* zoom = preview->findChild<QComboBox*>();
        QVERIFY(zoom);
        zoom->setCurrentIndex(1);
        QCOMPARE(view->ZoomMode(), TReportPageView::WholePage);
        QCOMPARE(view->verticalScrollBar()->maximum(), 0);

        const QImage shot = view->viewport()->grab().toImage();
        int white = 0;
        int dark = 0;
        for (int y = 0; y < shot.height(); y += 2)
            for (int x = 0; x < shot.width(); x += 2) {
                const int gray = qGray(shot.pixel(x, y));
                white += gray > 250;
                dark += gray < 100;
            }
        QVERIFY(white > 1000);
        QVERIFY(dark > 100);

        zoom->setCurrentIndex(zoom->count() - 1);
        QCOMPARE(view->ZoomMode(), TReportPageView::Percent);
        QVERIFY(view->verticalScrollBar()->maximum() > 0);
    }

    // A name typed without an extension gets the format's; an empty name exports nothing.
    void exportAs_data()
    {
        QTest::addColumn<TExportFormat>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("filter");
        QTest::newRow("PDF") << TExportFormat::Pdf << "out"
                             << "out.pdf"
                             << "PDF (*.pdf)|*.pdf";
        QTest::newRow("HTML, own extension") << TExportFormat::Html << "out.htm"
                                             << "out.htm"
                                             << "HTML (*.html)|*.html";
        QTest::newRow("JPEG") << TExportFormat::Jpeg << "out"
                              << "out.jpg"
                              << "JPEG (*.jpg)|*.jpg";
        QTest::newRow("cancelled") << TExportFormat::Text << ""
                                   << ""
                                   << "TXT (*.txt)|*.txt";
    }

    void exportAs()
    {
        QFETCH(TExportFormat, format);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QString, filter);

        QTemporaryDir dir;
        std::unique_ptr<TReportPreview> preview(show(1));
        preview->setAttribute(Qt::WA_DeleteOnClose, false);
        prompts.Filters.clear();
        prompts.SaveFile = typed.isEmpty() ? QString() : dir.filePath(typed);
        const TExportResult result = preview->ExportAs(format);
        QCOMPARE(prompts.Filters, QStringList{filter});
        if (written.isEmpty()) {
            QCOMPARE(result, TExportResult::Cancelled);
            QVERIFY(QDir(dir.path()).isEmpty());
        } else {
            QCOMPARE(result, TExportResult::Written);
            QVERIFY(QFileInfo::exists(dir.filePath(written)));
        }
        QVERIFY(prompts.Questions.isEmpty());
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_report_preview.moc"
