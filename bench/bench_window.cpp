#include "bench/bench_window.h"

#include "app/general.h"
#include "app/report_page_view.h"
#include "app/report_preview.h"
#include "link/kadrel_driver.h"
#include "link/kadrel_error.h"
#include "link/prompts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProgressDialog>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

namespace kadrel::bench
{

namespace
{

constexpr int PaintTimeoutMs = 120000;
constexpr int StallProbeMs = 10;

// Answers every question with Yes and every file dialog with the file prepared for it.
class TBenchPrompts : public IPrompts
{
public:
    QString SaveFile;
    QString LastError;

    TAnswer Ask(const QString&) override { return Yes; }
    void ShowError(const QString& message) override { LastError = message; }
    QString ChooseOpenFile(const QString&, const QString&) override { return QString(); }
    QString ChooseSaveFile(const QString&, int&, const QString&, const QString&) override
    {
        return SaveFile;
    }
};

// Notices the paint events of the widgets it is told about, anywhere in the program.
class TPaintWatch : public QObject
{
public:
    explicit TPaintWatch(std::function<bool(const QWidget*)> matches)
        : m_matches(std::move(matches))
    {
        qApp->installEventFilter(this);
    }
    ~TPaintWatch() override { qApp->removeEventFilter(this); }

    void Reset() { m_painted = false; }

    // Runs the event loop until a watched widget has painted; the paint is over on return.
    bool Wait()
    {
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(PaintTimeoutMs);
        while (!m_painted && deadline.isActive())
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        return m_painted;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            m_matches(static_cast<const QWidget*>(watched)))
            m_painted = true;
        return false;
    }

private:
    std::function<bool(const QWidget*)> m_matches;
    bool m_painted = false;
};

double Seconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

// Watches the event loop while a long command runs: the longest time it went unserved and
// whether a progress window showed.
class TStallProbe : public QObject
{
public:
    explicit TStallProbe(QWidget* progressOwner) : m_owner(progressOwner)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, Seconds(m_sinceLast));
            m_sinceLast.start();
            const auto* progress = m_owner->findChild<QProgressDialog*>();
            m_progressShown = m_progressShown || (progress && progress->isVisible());
        });
        m_sinceLast.start();
        m_timer.start(StallProbeMs);
    }

    // Up to now, the time since the last service included.
    double Longest() const { return std::max(m_longest, Seconds(m_sinceLast)); }
    bool ProgressShown() const { return m_progressShown; }

private:
    QWidget* m_owner;
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    double m_longest = 0;
    bool m_progressShown = false;
};

void Trigger(TMainForm& window, const char* action)
{
    window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

} // namespace

TWindowFigures RunWindowFlows(const QString& archive, TReportRun report,
                              const QString& scratchFolder)
{
    TWindowFigures figures;
    auto prompts = std::make_shared<TBenchPrompts>();
    const QString documents = QDir(scratchFolder).filePath(QStringLiteral("documents"));
    QDir(documents).removeRecursively();
    QDir().mkpath(documents);
    TStartupOptions options;
    options.prompts = prompts;
    options.documentsFolder = documents;
    options.chooseLanguage = [] {
        return 1;
    };

    // Each run starts as the program does: no driver, a new window.
    ActiveDriver.reset();
    auto window = std::make_unique<TMainForm>(options);
    window->LoadSettings();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        figures.Failure = QStringLiteral("the window was not shown");
        return figures;
    }
    window->Start();
    QCoreApplication::processEvents();

    const QWidget* grid = window->findChild<QTableView*>(QStringLiteral("BasicGrid"))->viewport();
    TPaintWatch gridPainted([grid](const QWidget* widget) { return widget == grid; });
    const auto timed = [&](const std::function<void()>& command, double& seconds) {
        gridPainted.Reset();
        QElapsedTimer clock;
        clock.start();
        try {
            command();
        } catch (const KadrelError& error) {
            prompts->ShowError(error.message());
            return false;
        }
        const bool painted = gridPainted.Wait();
        seconds = Seconds(clock);
        return painted && prompts->LastError.isEmpty();
    };

    if (!timed([&] { window->OpenArchiveFile(archive); }, figures.OpenSeconds)) {
        figures.Failure = QStringLiteral("open: ") + prompts->LastError;
        return figures;
    }
    const int rows = window->BasicGridCells().RowCount() - 1;
    if (!timed([&] { window->OpenArchiveFile(archive); }, figures.MergeSeconds)) {
        figures.Failure = QStringLiteral("merge: ") + prompts->LastError;
        return figures;
    }
    figures.MergeDuplicates = 2 * rows - (window->BasicGridCells().RowCount() - 1);
    if (!timed([&] { Trigger(*window, "smDimKgs"); }, figures.UnitSeconds) ||
        !timed([&] { Trigger(*window, "smLangRu"); }, figures.LanguageSeconds)) {
        figures.Failure = QStringLiteral("units or language: ") + prompts->LastError;
        return figures;
    }

    QElapsedTimer clock;
    clock.start();
    Trigger(*window, "ActionCopyTable");
    figures.CopySeconds = Seconds(clock);
    figures.CopyChars = QGuiApplication::clipboard()->text().size();

    if (report == TReportRun::None) {
        window.reset();
        ActiveDriver.reset();
        figures.Ok = true;
        return figures;
    }
    const bool withComments = report == TReportRun::WithComments;
    if (window->findChild<QAction*>(QStringLiteral("smPrintComments"))->isChecked() != withComments)
        Trigger(*window, "smPrintComments");
    window->SelectRows(1, 1);
    TPaintWatch pagePainted([](const QWidget* widget) {
        return qobject_cast<const TReportPageView*>(widget->parentWidget()) != nullptr;
    });
    clock.start();
    Trigger(*window, "ActionPrint");
    if (!pagePainted.Wait()) {
        figures.Failure = QStringLiteral("the report preview showed no page");
        return figures;
    }
    figures.PreviewSeconds = Seconds(clock);
    auto* preview = window->findChild<TReportPreview*>();
    figures.ReportPages = preview->Report().PageCount();

    prompts->SaveFile = QDir(scratchFolder).filePath(QStringLiteral("report.pdf"));
    QFile::remove(prompts->SaveFile);
    {
        TStallProbe probe(preview);
        clock.start();
        const TExportResult result = preview->ExportAs(TExportFormat::Pdf);
        figures.PdfSeconds = Seconds(clock);
        figures.PdfLongestStallSeconds = probe.Longest();
        figures.PdfProgressShown = probe.ProgressShown();
        if (result != TExportResult::Written) {
            figures.Failure = QStringLiteral("PDF export: ") + prompts->LastError;
            return figures;
        }
    }
    preview->close();
    window.reset();
    ActiveDriver.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    figures.Ok = true;
    return figures;
}

} // namespace kadrel::bench
