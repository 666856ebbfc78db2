// kadrel_bench_memory: the main window in a process of its own, with an archive file on show
// or with nothing loaded; prints the process's peak and current resident memory in kB.
#include "app/general.h"
#include "bench/bench_support.h"
#include "link/kadrel_driver.h"
#include "link/kadrel_error.h"
#include "link/prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace
{

constexpr int SettleMs = 300;

class TSilentPrompts : public IPrompts
{
public:
    TAnswer Ask(const QString&) override { return Yes; }
    void ShowError(const QString& message) override
    {
        std::fprintf(stderr, "kadrel_bench_memory: %s\n", qPrintable(message));
    }
    QString ChooseOpenFile(const QString&, const QString&) override { return QString(); }
    QString ChooseSaveFile(const QString&, int&, const QString&, const QString&) override
    {
        return QString();
    }
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QTemporaryDir documents;

    TStartupOptions options;
    options.prompts = std::make_shared<TSilentPrompts>();
    options.documentsFolder = documents.path();
    options.chooseLanguage = [] {
        return 1;
    };
    {
        TMainForm window(options);
        window.LoadSettings();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        window.Start();
        try {
            if (!arguments.isEmpty())
                window.OpenArchiveFile(arguments.first());
        } catch (const KadrelError& error) {
            std::fprintf(stderr, "kadrel_bench_memory: %s\n", qPrintable(error.message()));
            return 1;
        }
        // Lets the window lay out and paint what it shows.
        window.grab();
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < SettleMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        std::printf("%lld %lld %d\n", kadrel::bench::ProcStatusKb(QStringLiteral("VmHWM")),
                    kadrel::bench::ProcStatusKb(QStringLiteral("VmRSS")),
                    window.BasicGridCells().RowCount() - 1);
    }
    ActiveDriver.reset();
    return 0;
}
