#include "cli/cli_common.h"

#include "link/kadrel_base.h"
#include "models/driver_factory.h"
#include "models/messages.h"
#include "models/model_table.h"
#include "models/whole_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace cli
{

namespace
{

// The extension as the window reads it: a full stop and the text after the last full stop
// of the path, or the whole path when it holds none.
QString extensionOf(const QString& path)
{
    const int dot = int(path.lastIndexOf(u'.'));
    return u'.' + (dot < 0 ? path : path.mid(dot + 1));
}

} // namespace

TKadrelType modelOfFile(const QString& path)
{
    return ModelByExtension(extensionOf(path));
}

void parseOrFail(QCommandLineParser& parser, const QStringList& arguments, int minPositional,
                 int maxPositional)
{
    parser.addHelpOption();
    if (!parser.parse(arguments))
        throw Failure{ExitUsage, parser.errorText()};
    if (parser.isSet("help")) {
        // The parser names the program only; the help names the command too.
        QString help = parser.helpText();
        const QString program = QCoreApplication::arguments().constFirst();
        const int at = int(help.indexOf(program));
        if (at >= 0)
            help.replace(at, program.size(), arguments.constFirst());
        writeOut(help);
        std::exit(ExitOk);
    }
    const int count = int(parser.positionalArguments().size());
    if (count < minPositional || (maxPositional >= 0 && count > maxPositional))
        throw Failure{ExitUsage, QStringLiteral("wrong number of arguments; see --help")};
}

QString requiredValue(const QCommandLineParser& parser, const QString& name)
{
    const QString value = parser.value(name);
    if (value.isEmpty())
        throw Failure{ExitUsage, QStringLiteral("--%1 is required; see --help").arg(name)};
    return value;
}

void addLanguage(QCommandLineParser& parser)
{
    parser.addOption({"lang", "Language of the texts: ru or en (default en).", "ru|en", "en"});
}

void addLanguageAndUnit(QCommandLineParser& parser)
{
    addLanguage(parser);
    parser.addOption({"unit", "Strength unit: mpa or kgs (default mpa).", "mpa|kgs", "mpa"});
}

TLang languageOf(const QCommandLineParser& parser)
{
    const QString lang = parser.value("lang");
    if (lang == "ru")
        return ruRU;
    if (lang == "en")
        return enUS;
    throw Failure{ExitUsage, QStringLiteral("--lang must be ru or en")};
}

TDimensionType unitOf(const QCommandLineParser& parser)
{
    const QString unit = parser.value("unit");
    if (unit == "mpa")
        return dtMPa;
    if (unit == "kgs")
        return dtkgs;
    throw Failure{ExitUsage, QStringLiteral("--unit must be mpa or kgs")};
}

void addInstrumentOptions(QCommandLineParser& parser)
{
    parser.addOption({"port", "The instrument's serial port.", "PORT"});
    parser.addOption({"timeout", "Seconds to wait for each reply (default 5).", "SECONDS", "5"});
    addLanguage(parser);
}

InstrumentOptions instrumentOptionsOf(const QCommandLineParser& parser)
{
    InstrumentOptions options;
    options.port = requiredValue(parser, "port");
    bool ok = false;
    const double seconds = parser.value("timeout").toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > 3600)
        throw Failure{ExitUsage, QStringLiteral("--timeout must be a number of seconds")};
    options.timeoutMs = int(seconds * 1000);
    options.lang = languageOf(parser);
    return options;
}

IKadrelPtr openArchives(const QStringList& files, TLang lang, TDimensionType unit,
                        const TFileOpened& opened)
{
    IKadrelPtr driver;
    // The model of the driver's class: the identification a file brings may name another.
    TKadrelType current = devUnknown;
    for (const QString& file : files) {
        const TKadrelType type = modelOfFile(file);
        const QString unreadable = Message(msgFileUnreadable, lang) + file;
        if (type == devUnknown)
            throw Failure{ExitBadInput, unreadable};
        if (type != current) {
            driver = CreateModelDriver(type);
            if (!driver)
                throw Failure{ExitBadInput,
                              QStringLiteral("%1: archives of model %2 cannot be read")
                                  .arg(file, QLatin1String(ModelInfo(type)->Code))};
            driver->SetLang(lang);
            driver->SetDimension(unit);
            current = type;
        }
        if (!QFileInfo(file).isFile() || !driver->LoadFromFile(file))
            throw Failure{ExitBadInput, unreadable};
        const TArchDupStat stat = driver->RemoveDuplicates();
        if (opened)
            opened(file, stat);
    }
    return driver;
}

int recordCount(IKadrel& driver)
{
    const auto* base = dynamic_cast<TKadrelBase*>(&driver);
    return base ? int(base->Archive().size()) : 0;
}

void requireNewFile(const QString& path, bool force)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw Failure{ExitCannotWrite, QStringLiteral("%1 is a folder").arg(path)};
    if (info.exists() && !force)
        throw Failure{ExitCannotWrite,
                      QStringLiteral("%1 exists; use --force to replace it").arg(path)};
}

void requireModelExtension(const QString& path, int devType)
{
    const TModelInfo* model = ModelInfo(devType);
    if (model && extensionOf(path) != QLatin1String(model->Extension))
        throw Failure{ExitUsage,
                      QStringLiteral("%1: an archive of model %2 must end in %3")
                          .arg(path, QLatin1String(model->Code), QLatin1String(model->Extension))};
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    const TWholeFileWrite written = WriteWholeFile(path, bytes);
    if (!written)
        throw Failure{ExitCannotWrite, QStringLiteral("cannot write %1: %2")
                                           .arg(QDir::toNativeSeparators(path), written.Reason)};
}

void writeOut(const QString& text)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        throw Failure{ExitCannotWrite, QStringLiteral("cannot write to standard output")};
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) != bytes.size() || !out.flush())
        throw Failure{ExitCannotWrite, QStringLiteral("cannot write to standard output")};
}

} // namespace cli
