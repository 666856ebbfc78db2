// What the subcommands of kadrel-cli share: exit statuses, error lines, the language and
// unit options, opening archive files as the window does, and writing files and output.
#pragma once

#include "link/kadrel_driver.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>

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

// An option the command cannot do without.
QString requiredValue(const QCommandLineParser& parser, const QString& name);

void addLanguage(QCommandLineParser& parser);
void addLanguageAndUnit(QCommandLineParser& parser);
TLang languageOf(const QCommandLineParser& parser);
TDimensionType unitOf(const QCommandLineParser& parser);

// What a command that talks to one instrument is told: --port, --timeout (the seconds the
// instrument may stay silent, default 5) and --lang.
struct InstrumentOptions {
    QString port;
    int timeoutMs = 0;
    TLang lang = enUS;
};
void addInstrumentOptions(QCommandLineParser& parser);
// Fails with ExitUsage when --port is missing or --timeout or --lang is not understood.
InstrumentOptions instrumentOptionsOf(const QCommandLineParser& parser);

// The model an archive file holds by its extension, as the window reads it; devUnknown when
// the extension names none.
TKadrelType modelOfFile(const QString& path);

// Told after each archive file is opened, with its duplicate summary.
using TFileOpened = std::function<void(const QString& file, const TArchDupStat& stat)>;

// Opens the first file and merges the others into it as the window does when the merge
// question is answered Yes: a file of another model replaces what was open. Duplicates are
// removed after every file. Fails with ExitBadInput on a file that cannot be read.
IKadrelPtr openArchives(const QStringList& files, TLang lang, TDimensionType unit,
                        const TFileOpened& opened = {});

// The number of records a driver holds.
int recordCount(IKadrel& driver);

// Fails with ExitCannotWrite when `path` exists and `force` is not given, or names a folder.
void requireNewFile(const QString& path, bool force);
// Fails with ExitUsage when `path` does not carry the extension of the model `devType`.
void requireModelExtension(const QString& path, int devType);
// Replaces `path` by `bytes` as a whole, or fails with ExitCannotWrite and leaves it as it was.
void writeFile(const QString& path, const QByteArray& bytes);

void writeOut(const QString& text);

} // namespace cli
