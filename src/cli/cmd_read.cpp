// kadrel-cli read: identifies an instrument, reads its whole archive and saves it.
#include "cli/cli_common.h"
#include "cli/commands.h"

#include "link/kadrel_base.h"
#include "link/kadrel_error.h"
#include "models/driver_factory.h"
#include "models/messages.h"

#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

namespace cli
{

namespace
{

// Identifies the instrument on `port` and returns a connected driver of its model.
IKadrelPtr connectModelDriver(const QString& port, int timeoutMs)
{
    auto probe = std::make_shared<TKadrelBase>();
    if (!probe->Connect(port))
        throw Failure{ExitInstrument, QStringLiteral("%1: port absent or busy").arg(port)};
    bool failed = false;
    probe->SetCallback([&](TOperationType op) { failed |= op == otDevDisconnected; });
    if (!waitFor([&] { return failed || probe->GetDevType() != devUnknown; }, timeoutMs) || failed)
        throw Failure{ExitInstrument,
                      QStringLiteral("%1: the instrument does not answer").arg(port)};
    const int type = probe->GetDevType();
    probe.reset();

    IKadrelPtr driver = CreateModelDriver(type);
    if (!driver)
        throw Failure{ExitInstrument,
                      QStringLiteral("%1: instrument type %2 has no driver").arg(port).arg(type)};
    return driver;
}

void printProgress(int received, int expected)
{
    if (!isatty(STDERR_FILENO) || expected <= 0)
        return;
    const int width = 40;
    const int filled = std::min(width, received * width / expected);
    std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                 QByteArray(width - filled, ' ').constData(), received, expected);
    std::fflush(stderr);
}

} // namespace

int runRead(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads the whole archive of the instrument on a port, removes duplicates and saves it "
        "as an archive file.");
    parser.addOption({"port", "The instrument's serial port.", "PORT"});
    parser.addOption({"out", "The archive file to write.", "FILE"});
    parser.addOption({"timeout", "Seconds to wait for each reply (default 5).", "SECONDS", "5"});
    addLanguageAndUnit(parser);
    parseOrFail(parser, arguments, 0, 0);
    if (!parser.isSet("port") || !parser.isSet("out"))
        throw Failure{ExitUsage, QStringLiteral("--port and --out are required; see --help")};
    const QString port = parser.value("port");
    const QString out = parser.value("out");
    const int timeoutMs = timeoutOf(parser);
    const TLang lang = languageOf(parser);

    const IKadrelPtr driver = connectModelDriver(port, timeoutMs);
    driver->SetLang(lang);
    driver->SetDimension(unitOf(parser));
    bool connected = false;
    bool complete = false;
    bool failed = false;
    driver->SetCallback([&](TOperationType op) {
        switch (op) {
        case otDevConnect:
            connected = true;
            driver->ReadArchive();
            break;
        case otArchReadContinue:
            printProgress(driver->GetArchReceived(), driver->GetArchExpected());
            break;
        case otArchReadComplete:
            complete = true;
            break;
        case otDevDisconnected:
            failed = true;
            break;
        default:
            break;
        }
    });
    if (!driver->Connect(port))
        throw Failure{ExitInstrument, QStringLiteral("%1: port absent or busy").arg(port)};
    const bool finished = waitFor([&] { return complete || failed; }, timeoutMs,
                                  [&] { return int(driver->GetArchReceived()) + connected; });
    if (isatty(STDERR_FILENO))
        std::fputc('\n', stderr);
    if (failed)
        throw Failure{ExitInstrument,
                      QStringLiteral("%1: the instrument was disconnected").arg(port)};
    if (!finished)
        throw Failure{ExitInstrument,
                      QStringLiteral("%1: the instrument stopped answering").arg(port)};

    const TArchDupStat stat = driver->RemoveDuplicates();
    try {
        driver->SaveToFile(out);
    } catch (const KadrelError& error) {
        throw Failure{ExitCannotWrite, error.message()};
    }
    writeOut(DuplicateSummary(msgArchiveReaded, stat.Duplicates, stat.Uniquie, stat.New, lang) +
             u'\n');
    return ExitOk;
}

} // namespace cli
