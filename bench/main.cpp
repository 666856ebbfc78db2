// kadrel_bench: the program's speed and size at an instrument's full archive of 65535 records,
// printed as a table with the machine it ran on.
#include "bench/bench_process.h"
#include "bench/bench_read.h"
#include "bench/bench_support.h"
#include "bench/bench_table.h"
#include "bench/bench_window.h"

#include "models/model_table.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <limits>

using namespace kadrel::bench;

namespace
{

constexpr double NoTarget = std::numeric_limits<double>::quiet_NaN();
// Every 20th record of the archive files carries a comment of its own.
constexpr int CommentEvery = 20;

const QStringList& AllParts()
{
    static const QStringList parts = {QStringLiteral("read"), QStringLiteral("window"),
                                      QStringLiteral("report"), QStringLiteral("memory"),
                                      QStringLiteral("program")};
    return parts;
}

struct TOptions {
    int Records = 65535;
    int PacedRecords = 2000;
    int Runs = 3;
    double IdleSeconds = 10;
    QStringList Parts = AllParts();
    std::vector<TKadrelType> Models = BenchModels();
};

[[noreturn]] void Fail(const QString& message)
{
    std::fprintf(stderr, "kadrel_bench: %s\n", qPrintable(message));
    std::exit(1);
}

TOptions ParseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Measures reading, opening, merging, switching, copying, reporting, memory, start-up "
        "and idle processor use at full archive size, and prints a table."));
    parser.addHelpOption();
    parser.addOptions({
        {"records", "Records of every archive (default 65535).", "count", "65535"},
        {"paced-records", "Records of the reads at the wire's pace (default 2000).", "count",
         "2000"},
        {"runs", "Runs of every measure (default 3).", "count", "3"},
        {"idle-seconds", "How long the idle program is watched (default 10).", "seconds", "10"},
        {"parts", "The measures to run, of read, window, report, memory and program (default all).",
         "list", AllParts().join(u',')},
        {"models", "The models to measure, of AN, TL, EG and FX (default all).", "list",
         "AN,TL,EG,FX"},
        {"quick", "A short run that only shows that every measure still works: 1000 records, "
                  "50 at the wire's pace, one run, 1 s idle."},
    });
    parser.process(app);
    TOptions options;
    if (parser.isSet("quick"))
        options = TOptions{1000, 50, 1, 1};
    const auto number = [&](const char* name, int fallback, int low, int high) {
        if (!parser.isSet(QString::fromLatin1(name)))
            return fallback;
        bool ok = false;
        const int value = parser.value(QString::fromLatin1(name)).toInt(&ok);
        if (!ok || value < low || value > high)
            Fail(QStringLiteral("--%1 takes %2 to %3").arg(QLatin1String(name)).arg(low).arg(high));
        return value;
    };
    options.Records = number("records", options.Records, 2, 65535);
    options.PacedRecords = number("paced-records", options.PacedRecords, 2, 65535);
    options.Runs = number("runs", options.Runs, 1, 100);
    options.IdleSeconds = number("idle-seconds", int(options.IdleSeconds), 1, 600);
    options.Parts = parser.value("parts").toLower().split(u',', Qt::SkipEmptyParts);
    for (const QString& part : options.Parts)
        if (!AllParts().contains(part))
            Fail(QStringLiteral("unknown part %1").arg(part));
    options.Models.clear();
    for (const QString& code : parser.value("models").split(u',', Qt::SkipEmptyParts)) {
        const auto found =
            std::find_if(BenchModels().begin(), BenchModels().end(), [&](TKadrelType model) {
                return ModelCode(model).compare(code, Qt::CaseInsensitive) == 0;
            });
        if (found == BenchModels().end())
            Fail(QStringLiteral("unknown model %1").arg(code));
        options.Models.push_back(*found);
    }
    return options;
}

void Progress(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

void MeasureReads(const TOptions& options, TResultTable& table)
{
    for (TKadrelType model : options.Models) {
        TTableRow& row =
            table.Add(QStringLiteral("Read %1 records, 10 a page, no pacing").arg(options.Records),
                      ModelCode(model), QStringLiteral("rec/s"), TBetter::Higher, 100000, 0);
        // The program's own share of a read, apart from the line's and the simulator's.
        TTableRow& cpu =
            table.Add(QStringLiteral("Read, no pacing: the program's processor "
                                     "time per page"),
                      ModelCode(model), QStringLiteral("µs"), TBetter::Lower, NoTarget, 0);
        for (int run = 0; run < options.Runs; ++run) {
            const TReadFigures read = ReadArchiveFromSimulator(model, options.Records, false);
            if (read.Ok) {
                row.Runs.Add(read.Records / read.Seconds);
                cpu.Runs.Add(read.ProgramCpuSeconds * 1e6 / (read.Records / 10.0));
            }
            Progress(QStringLiteral("read %1: %2 records in %3 s")
                         .arg(ModelCode(model))
                         .arg(read.Records)
                         .arg(read.Seconds));
        }
    }
    for (TKadrelType model : options.Models) {
        TTableRow& row =
            table.Add(QStringLiteral("Read %1 records at 115200 baud, time / wire time")
                          .arg(options.PacedRecords),
                      ModelCode(model), QString(), TBetter::Lower, 1.02, 3);
        for (int run = 0; run < options.Runs; ++run) {
            const TReadFigures read = ReadArchiveFromSimulator(model, options.PacedRecords, true);
            if (read.Ok && read.WireSeconds > 0)
                row.Runs.Add(read.Seconds / read.WireSeconds);
            Progress(QStringLiteral("paced read %1: %2 s, wire %3 s")
                         .arg(ModelCode(model))
                         .arg(read.Seconds)
                         .arg(read.WireSeconds));
        }
    }
}

// The rows of one model's window flows; null where the part is not measured.
struct TWindowRows {
    TTableRow* Open = nullptr;
    TTableRow* Merge = nullptr;
    TTableRow* Unit = nullptr;
    TTableRow* Language = nullptr;
    TTableRow* Copy = nullptr;
    TTableRow* Preview = nullptr;
    TTableRow* Pdf = nullptr;
    TTableRow* Stall = nullptr;

    void AddTables(TResultTable& table, const QString& code, int records)
    {
        Open =
            &table.Add(QStringLiteral("Open a file of %1 records to the first paint").arg(records),
                       code, QStringLiteral("ms"), TBetter::Lower, 400, 0);
        Merge = &table.Add(QStringLiteral("Merge the same file again (%1 duplicates)").arg(records),
                           code, QStringLiteral("ms"), TBetter::Lower, 200, 0);
        Unit = &table.Add(QStringLiteral("Switch units, tables rebuilt"), code,
                          QStringLiteral("ms"), TBetter::Lower, 300, 0);
        Language = &table.Add(QStringLiteral("Switch language, tables rebuilt"), code,
                              QStringLiteral("ms"), TBetter::Lower, 300, 0);
        Copy = &table.Add(QStringLiteral("Copy table, all records"), code, QStringLiteral("ms"),
                          TBetter::Lower, 300, 0);
    }

    void AddReport(TResultTable& table, const QString& code, const QString& kind)
    {
        Preview = &table.Add(QStringLiteral("Print%1: the preview's first page").arg(kind), code,
                             QStringLiteral("ms"), TBetter::Lower, 1000, 0);
        Pdf = &table.Add(QStringLiteral("Whole-archive report%1 to PDF").arg(kind), code,
                         QStringLiteral("s"), TBetter::Lower, 20, 1);
        Stall = &table.Add(QStringLiteral("PDF export%1: longest wait of the event loop").arg(kind),
                           code, QStringLiteral("ms"), TBetter::Lower, 100, 0);
    }

    void Record(const TWindowFigures& figures)
    {
        if (Open) {
            Open->Runs.Add(figures.OpenSeconds * 1000);
            Merge->Runs.Add(figures.MergeSeconds * 1000);
            Merge->Note = QStringLiteral("%1 removed").arg(figures.MergeDuplicates);
            Unit->Runs.Add(figures.UnitSeconds * 1000);
            Language->Runs.Add(figures.LanguageSeconds * 1000);
            Copy->Runs.Add(figures.CopySeconds * 1000);
            Copy->Note = QStringLiteral("%1 characters").arg(figures.CopyChars);
        }
        if (Pdf) {
            Preview->Runs.Add(figures.PreviewSeconds * 1000);
            Pdf->Runs.Add(figures.PdfSeconds);
            Pdf->Note = QStringLiteral("%1 pages, progress %2")
                            .arg(figures.ReportPages)
                            .arg(figures.PdfProgressShown ? QStringLiteral("shown")
                                                          : QStringLiteral("not shown"));
            Stall->Runs.Add(figures.PdfLongestStallSeconds * 1000);
        }
    }
};

void RunWindow(const QString& code, const QString& archive, TReportRun report, int runs,
               const QString& scratch, TWindowRows& rows)
{
    for (int run = 0; run < runs; ++run) {
        const TWindowFigures figures = RunWindowFlows(archive, report, scratch);
        if (!figures.Ok) {
            Progress(QStringLiteral("window %1: %2").arg(code, figures.Failure));
            continue;
        }
        rows.Record(figures);
        Progress(QStringLiteral("window %1: open %2 s, merge %3 s, PDF %4 s")
                     .arg(code)
                     .arg(figures.OpenSeconds)
                     .arg(figures.MergeSeconds)
                     .arg(figures.PdfSeconds));
    }
}

void MeasureWindow(const TOptions& options, const QString& scratch, TResultTable& table)
{
    const bool tables = options.Parts.contains(QStringLiteral("window"));
    const bool report = options.Parts.contains(QStringLiteral("report"));
    for (TKadrelType model : options.Models) {
        const QString code = ModelCode(model);
        const QString archive =
            QDir(scratch).filePath(QStringLiteral("archive") + ModelInfo(model)->Extension);
        WriteBenchArchive(model, options.Records, archive, CommentEvery);
        TWindowRows rows;
        if (tables)
            rows.AddTables(table, code, options.Records);
        if (report)
            rows.AddReport(table, code, QString());
        RunWindow(code, archive, report ? TReportRun::Plain : TReportRun::None, options.Runs,
                  scratch, rows);
        // The comment column wraps its texts: the costliest report, shown for one model.
        if (report && model == options.Models.front()) {
            TWindowRows commented;
            commented.AddReport(table, code, QStringLiteral(" with comments"));
            RunWindow(code, archive, TReportRun::WithComments, options.Runs, scratch, commented);
        }
    }
}

void MeasureMemory(const TOptions& options, const QString& scratch, TResultTable& table)
{
    const QString archive = QDir(scratch).filePath(QStringLiteral("memory.kadrel1an"));
    WriteBenchArchive(devAN, options.Records, archive, CommentEvery);
    auto& loaded =
        table.Add(QStringLiteral("Peak resident memory, %1 records on show").arg(options.Records),
                  QStringLiteral("AN"), QStringLiteral("MB"), TBetter::Lower, 150, 1);
    auto& empty = table.Add(QStringLiteral("Peak resident memory, nothing loaded"), QString(),
                            QStringLiteral("MB"), TBetter::Lower, NoTarget, 1);
    for (int run = 0; run < options.Runs; ++run) {
        const TMemoryFigures withArchive = MeasureWindowMemory(archive);
        if (withArchive.Ok && withArchive.Rows == options.Records)
            loaded.Runs.Add(double(withArchive.PeakKb) / 1024);
        const TMemoryFigures without = MeasureWindowMemory(QString());
        if (without.Ok)
            empty.Runs.Add(double(without.PeakKb) / 1024);
    }
}

void MeasureProgram(const TOptions& options, const QString& scratch, TResultTable& table)
{
    auto& startup = table.Add(QStringLiteral("Start-up to the window shown"), QString(),
                              QStringLiteral("ms"), TBetter::Lower, 500, 0);
    auto& idle = table.Add(QStringLiteral("Processor use while idle, two instruments attached"),
                           QString(), QStringLiteral("%"), TBetter::Lower, 1, 2);
    for (int run = 0; run < options.Runs; ++run) {
        const TProgramFigures figures = RunProgramIdle(
            QDir(scratch).filePath(QStringLiteral("program%1").arg(run)), options.IdleSeconds);
        if (!figures.Ok) {
            Progress(QStringLiteral("program: ") + figures.Failure);
            continue;
        }
        startup.Runs.Add(figures.StartupSeconds * 1000);
        idle.Runs.Add(figures.IdleCpuPercent);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Windows are measured without a display, the same on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TOptions options = ParseOptions(app);
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "kadrel_bench: no temporary folder\n");
        return 1;
    }

    const QString loadBefore = LoadAverages();
    const TMachineTicks ticksBefore = MachineTicks();
    TResultTable table;
    if (options.Parts.contains(QStringLiteral("read")))
        MeasureReads(options, table);
    if (options.Parts.contains(QStringLiteral("window")) ||
        options.Parts.contains(QStringLiteral("report")))
        MeasureWindow(options, scratch.path(), table);
    if (options.Parts.contains(QStringLiteral("memory")))
        MeasureMemory(options, scratch.path(), table);
    if (options.Parts.contains(QStringLiteral("program")))
        MeasureProgram(options, scratch.path(), table);

    const TMachineTicks ticksAfter = MachineTicks();
    const qint64 total = std::max<qint64>(1, ticksAfter.Total - ticksBefore.Total);
    std::printf("Machine: %s\nLoad average (1, 5, 15 min): %s before, %s after; processor "
                "time stolen by the host of the virtual machine: %.1f %%\n"
                "Runs: %d of every measure (best and spread shown)\n\n%s",
                qPrintable(MachineDescription()), qPrintable(loadBefore),
                qPrintable(LoadAverages()),
                100.0 * double(ticksAfter.Stolen - ticksBefore.Stolen) / double(total),
                options.Runs, qPrintable(table.Markdown()));
    return table.AllMeasured() ? 0 : 1;
}
