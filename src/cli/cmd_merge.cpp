// kadrel-cli merge: archive files of one model merged into one, without duplicates.
#include "cli/cli_common.h"
#include "cli/commands.h"

#include "link/kadrel_error.h"
#include "models/messages.h"
#include "models/model_table.h"

namespace cli
{

namespace
{

// All files must hold one model, which is returned: a file of another model would replace
// the records read so far.
TKadrelType requireOneModel(const QStringList& files)
{
    const TKadrelType first = modelOfFile(files.first());
    for (const QString& file : files) {
        if (modelOfFile(file) != first)
            throw Failure{
                ExitBadInput,
                QStringLiteral("%1 and %2 are not archives of one model").arg(files.first(), file)};
    }
    return first;
}

} // namespace

int runMerge(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Merges archive files of one model into one archive file without duplicates, and\n"
        "prints what each file added.");
    parser.addPositionalArgument("files", "Archive files of one model.", "FILE...");
    parser.addOption({"out", "The archive file to write.", "FILE"});
    parser.addOption({"force", "Replace the archive file when it exists."});
    addLanguage(parser);
    parseOrFail(parser, arguments, 1, -1);
    const QString out = requiredValue(parser, "out");
    const TLang lang = languageOf(parser);
    const QStringList files = parser.positionalArguments();
    const TKadrelType model = requireOneModel(files);

    QString summary;
    const IKadrelPtr driver =
        openArchives(files, lang, dtMPa, [&](const QString& file, const TArchDupStat& stat) {
            // The window's summary with the file's name in place of "File opened".
            const QString counts =
                DuplicateSummary(msgFileOpened, stat.Duplicates, stat.Uniquie, stat.New, lang)
                    .mid(Message(msgFileOpened, lang).size());
            summary += file + QStringLiteral(": ") + counts + u'\n';
        });
    requireModelExtension(out, model);
    requireNewFile(out, parser.isSet("force"));
    try {
        driver->SaveToFile(out);
    } catch (const KadrelError& error) {
        throw Failure{ExitCannotWrite, error.message()};
    }
    writeOut(summary + Message(msgFileSaved, lang) + QStringLiteral(": ") + out + u'\n');
    return ExitOk;
}

} // namespace cli
