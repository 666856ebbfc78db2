// What the subcommands of kadrel-cli share: exit statuses, error lines, the language and
// unit options, waiting for an instrument, and opening archive files as the window does.
#pragma once

#include "link/kadrel_driver.h"

#include <QCommandLineParser>
#include <QStringList>

namespace cli
{

enum ExitStatus {
    ExitOk = 0,
    ExitUsage = 1,
    ExitBadInput = 2,
    ExitInstrument = 3,
    ExitCannotWrite = 4,
};

// A failure that ends the command with a one-line message and its exit status.
struct Failure {
    ExitStatus status;
    QString message;
};

// Parses a subcommand's options; prints help and exits for --help, fails with ExitUsage on
// an unknown option or a wrong number of arguments.
void parseOrFail(QCommandLineParser& parser, const QStringList& arguments, int minPositional,
                 int maxPositional);

void addLanguageAndUnit(QCommandLineParser& parser);
TLang languageOf(const QCommandLineParser& parser);
TDimensionType unitOf(const QCommandLineParser& parser);

// Seconds given with --timeout as milliseconds.
int timeoutOf(const QCommandLineParser& parser);

// Runs the event loop until `done` holds or `timeoutMs` pass without `progress` changing;
// returns whether `done` held.
bool waitFor(const std::function<bool()>& done, int timeoutMs,
             const std::function<int()>& progress = {});

// Opens the first file and merges the others into it as the window does when the merge
// question is answered Yes: a file of another model replaces what was open. Duplicates are
// removed after every file.
IKadrelPtr openArchives(const QStringList& files, TLang lang, TDimensionType unit);

void writeOut(const QString& text);

} // namespace cli
