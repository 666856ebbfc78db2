// kadrel_bench_micro: the steps inside the window's flows, one at a time, with Google
// Benchmark: the number formats, filling the record table, removing duplicates, copying the
// table and measuring its column widths.
#include "app/fit_columns.h"
#include "app/report_commands.h"
#include "app/text_widths.h"
#include "bench/bench_support.h"
#include "models/driver_factory.h"
#include "models/model_table.h"
#include "models/number_format.h"
#include "models/string_grid.h"
#include "models/table_text.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

using namespace kadrel::bench;

namespace
{

constexpr int Records = 65535;

// Strength-like values as the instruments' floats give them.
std::vector<double> SampleValues()
{
    std::vector<double> values;
    for (int i = 0; i < 1024; ++i)
        values.push_back(double(float(0.37f + float(i) * 0.731f)));
    return values;
}

void FormatGeneralBench(benchmark::State& state)
{
    const std::vector<double> values = SampleValues();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatGeneral(values[i++ % values.size()], 5));
}

void FormatFixed2Bench(benchmark::State& state)
{
    const std::vector<double> values = SampleValues();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatFixed2(values[i++ % values.size()] / 100));
}

void FormatExp4Bench(benchmark::State& state)
{
    const std::vector<double> values = SampleValues();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatExp4(values[i++ % values.size()]));
}

IKadrelPtr LoadedDriver(TKadrelType model, const QString& archive, int times = 1)
{
    IKadrelPtr driver = CreateModelDriver(model);
    for (int i = 0; i < times; ++i)
        driver->LoadFromFile(archive);
    return driver;
}

void UpdateBasicGridBench(benchmark::State& state, TKadrelType model, const QString& archive)
{
    const IKadrelPtr driver = LoadedDriver(model, archive);
    TStringGrid grid;
    for (auto _ : state)
        driver->UpdateBasicGrid(grid);
    state.SetItemsProcessed(state.iterations() * Records);
}

void RemoveDuplicatesBench(benchmark::State& state, TKadrelType model, const QString& archive)
{
    for (auto _ : state) {
        state.PauseTiming();
        IKadrelPtr driver = LoadedDriver(model, archive, 2);
        state.ResumeTiming();
        benchmark::DoNotOptimize(driver->RemoveDuplicates());
        state.PauseTiming();
        driver.reset();
        state.ResumeTiming();
    }
}

void CopyTableBench(benchmark::State& state, TKadrelType model, const QString& archive)
{
    const IKadrelPtr driver = LoadedDriver(model, archive);
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            CopyRowsWithDetails(*driver, grid, 1, grid.RowCount() - 1, QStringLiteral("Comment")));
}

// As the record table's columns are fitted in a new window: every text, or its digit
// pattern, measured once in the window's font.
void ColumnWidthsBench(benchmark::State& state, TKadrelType model, const QString& archive)
{
    const IKadrelPtr driver = LoadedDriver(model, archive);
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    const QFontMetrics metrics(QApplication::font());
    for (auto _ : state) {
        TTextWidths widths(
            [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
        benchmark::DoNotOptimize(ColumnTextWidths(
            grid, [&widths](const QString& text) { return int(widths.Width(text)); }));
    }
}

void PrepareReportBench(benchmark::State& state, TKadrelType model, const QString& archive,
                        bool withComments)
{
    const IKadrelPtr driver = LoadedDriver(model, archive);
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    const TReportSource source{driver.get(), &grid, 1, withComments};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            PrepareRangeReport(source, {1, grid.RowCount() - 1}, [](const QString&) {}));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir scratch;

    benchmark::RegisterBenchmark("FormatGeneral", FormatGeneralBench);
    benchmark::RegisterBenchmark("FormatFixed2", FormatFixed2Bench);
    benchmark::RegisterBenchmark("FormatExp4", FormatExp4Bench);
    for (TKadrelType model : BenchModels()) {
        const QString archive =
            QDir(scratch.path()).filePath(QStringLiteral("micro") + ModelInfo(model)->Extension);
        WriteBenchArchive(model, Records, archive, 20);
        const std::string code = ModelCode(model).toStdString();
        benchmark::RegisterBenchmark(("UpdateBasicGrid/" + code).c_str(), UpdateBasicGridBench,
                                     model, archive)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("RemoveDuplicates/" + code).c_str(), RemoveDuplicatesBench,
                                     model, archive)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("CopyTable/" + code).c_str(), CopyTableBench, model, archive)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ColumnTextWidths/" + code).c_str(), ColumnWidthsBench, model,
                                     archive)
            ->Unit(benchmark::kMillisecond);
        for (const bool comments : {false, true})
            benchmark::RegisterBenchmark(
                ("PrepareReport/" + code + (comments ? "/comments" : "")).c_str(),
                PrepareReportBench, model, archive, comments)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
