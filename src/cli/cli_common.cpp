#include "cli/cli_common.h"

#include "models/driver_factory.h"
#include "models/messages.h"
#include "models/model_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace cli
{

void parseOrFail(QCommandLineParser& parser, const QStringList& arguments, int minPositional,
                 int maxPositional)
{
    parser.addHelpOption();
    if (!parser.parse(arguments))
        throw Failure{ExitUsage, parser.errorText()};
    if (parser.isSet("help"))
        parser.showHelp(ExitOk);
    const int count = int(parser.positionalArguments().size());
    if (count < minPositional || (maxPositional >= 0 && count > maxPositional))
        throw Failure{ExitUsage, QStringLiteral("wrong number of arguments; see --help")};
}

void addLanguageAndUnit(QCommandLineParser& parser)
{
    parser.addOption({"lang", "Language of the texts: ru or en (default en).", "ru|en", "en"});
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

int timeoutOf(const QCommandLineParser& parser)
{
    bool ok = false;
    const double seconds = parser.value("timeout").toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 3600)
        throw Failure{ExitUsage, QStringLiteral("--timeout must be a number of seconds")};
    return int(seconds * 1000);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs, const std::function<int()>& progress)
{
    QElapsedTimer quiet;
    quiet.start();
    int last = progress ? progress() : 0;
    while (!done()) {
        if (quiet.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (progress && progress() != last) {
            last = progress();
            quiet.restart();
        }
    }
    return true;
}

IKadrelPtr openArchives(const QStringList& files, TLang lang, TDimensionType unit)
{
    IKadrelPtr driver;
    for (const QString& file : files) {
        const int dot = int(file.lastIndexOf(u'.'));
        const QString extension = u'.' + (dot < 0 ? file : file.mid(dot + 1));
        const TKadrelType type = ModelByExtension(extension);
        const QString unreadable = Message(msgFileUnreadable, lang) + file;
        if (type == devUnknown)
            throw Failure{ExitBadInput, unreadable};
        if (!driver || driver->GetDevType() != type) {
            driver = CreateModelDriver(type);
            if (!driver)
                throw Failure{ExitBadInput, unreadable};
            driver->SetLang(lang);
            driver->SetDimension(unit);
        }
        if (!QFileInfo(file).isFile() || !driver->LoadFromFile(file))
            throw Failure{ExitBadInput, unreadable};
        driver->RemoveDuplicates();
    }
    return driver;
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
