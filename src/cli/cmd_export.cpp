// kadrel-cli export: archive files as CSV or JSON, or as the report of the whole archive.
#include "cli/archive_csv.h"
#include "cli/archive_json.h"
#include "cli/cli_common.h"
#include "cli/commands.h"

#include "app/report_commands.h"
#include "app/report_export.h"
#include "models/string_grid.h"

#include <QFileInfo>
#include <map>

namespace cli
{

namespace
{

const std::map<QString, TExportFormat> ReportFormats = {
    {"pdf", TExportFormat::Pdf},
    {"png", TExportFormat::Png},
    {"html", TExportFormat::Html},
    {"txt", TExportFormat::Text},
};

// An export must not put its text in place of an archive it was made from.
void requireNotInput(const QStringList& outputs, const QStringList& inputs)
{
    for (const QString& output : outputs) {
        const QFileInfo out(output);
        for (const QString& input : inputs) {
            if (out.exists() && out.canonicalFilePath() == QFileInfo(input).canonicalFilePath())
                throw Failure{
                    ExitCannotWrite,
                    QStringLiteral("%1 is an input file; choose another --out").arg(output)};
        }
    }
}

void exportReport(IKadrel& driver, TExportFormat format, const QString& out, TLang lang,
                  bool comments, const QStringList& inputs)
{
    TStringGrid basic;
    driver.UpdateBasicGrid(basic);
    const TReportSource source{&driver, &basic, lang, comments};
    QString status;
    const std::unique_ptr<TReportLayout> report = PrepareRangeReport(
        source, {1, basic.RowCount() - 1}, [&status](const QString& text) { status = text; });
    if (!report)
        throw Failure{ExitBadInput,
                      status.isEmpty() ? QStringLiteral("this model has no report") : status};
    requireNotInput(ExportFileNames(format, out, report->PageCount()), inputs);
    QString error;
    const TExportResult result = ExportReport(
        *report, format, out, [](int, int) { return true; }, error);
    if (result != TExportResult::Written)
        throw Failure{ExitCannotWrite, QStringLiteral("cannot write %1: %2").arg(out, error)};
}

} // namespace

int runExport(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Exports archive files (the first opened, the others merged into it, duplicates\n"
        "removed) as CSV or JSON, or as the report of the whole archive: PDF, PNG page\n"
        "images (the first page OUT, page n with _n before the extension), an HTML table\n"
        "or plain text. An existing OUT is replaced.");
    parser.addPositionalArgument("files", "Archive files.", "FILE...");
    parser.addOption({"to", "The format: csv, json, pdf, png, html or txt.", "FORMAT"});
    parser.addOption({"out", "The file to write.", "OUT"});
    parser.addOption({"comments", "Reports: the layout with the records' comments."});
    addLanguageAndUnit(parser);
    parseOrFail(parser, arguments, 1, -1);
    const QString format = requiredValue(parser, "to");
    const QString out = requiredValue(parser, "out");
    const TLang lang = languageOf(parser);
    const TDimensionType unit = unitOf(parser);
    const auto report = ReportFormats.find(format);
    if (format != "csv" && format != "json" && report == ReportFormats.end())
        throw Failure{ExitUsage, QStringLiteral("--to must be csv, json, pdf, png, html or txt")};

    const QStringList files = parser.positionalArguments();
    const IKadrelPtr driver = openArchives(files, lang, unit);
    if (report != ReportFormats.end()) {
        exportReport(*driver, report->second, out, lang, parser.isSet("comments"), files);
        return ExitOk;
    }
    requireNotInput({out}, files);
    if (format == "csv")
        writeFile(out, archiveCsv(*driver, lang));
    else
        writeFile(out, archiveJson(*driver, unit).toJson());
    return ExitOk;
}

} // namespace cli
