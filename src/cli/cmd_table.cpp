// kadrel-cli table: the text Copy table puts on the clipboard, for archive files.
#include "cli/cli_common.h"
#include "cli/commands.h"

#include "models/messages.h"
#include "models/table_text.h"

namespace cli
{

int runTable(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the record table of archive files as tab-separated text with CR LF line ends:\n"
        "the first file opened, the others merged into it, duplicates removed.");
    parser.addPositionalArgument("files", "Archive files.", "FILE...");
    addLanguageAndUnit(parser);
    parseOrFail(parser, arguments, 1, -1);
    const TLang lang = languageOf(parser);
    const IKadrelPtr driver = openArchives(parser.positionalArguments(), lang, unitOf(parser));

    TStringGrid basic;
    driver->UpdateBasicGrid(basic);
    writeOut(
        CopyRowsWithDetails(*driver, basic, 1, basic.RowCount() - 1, Message(msgComment, lang)));
    return ExitOk;
}

} // namespace cli
