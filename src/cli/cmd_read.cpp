// kadrel-cli read: identifies an instrument, reads its whole archive and saves it.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/instrument.h"

#include "link/kadrel_base.h"
#include "link/kadrel_error.h"
#include "models/driver_factory.h"
#include "models/messages.h"
#include "models/model_table.h"

#include <QDate>
#include <cstdio>
#include <unistd.h>

namespace cli
{

namespace
{

// "AN-A005-2026-12-11.kadrel1an": model, serial number and today's date, in the working folder.
QString defaultFileName(const TKadrelInfo& info)
{
    const TModelInfo* model = ModelInfo(info.DevType);
    QString serial = SerialNumberText(info.SerialNumber);
    serial.remove(u'?');
    return QStringLiteral("%1-%2-%3%4")
        .arg(QLatin1String(model->Code), serial, QDate::currentDate().toString(Qt::ISODate),
             QLatin1String(model->Extension));
}

// A bar on standard error while it is a terminal; scripts see nothing of it.
class ProgressBar
{
public:
    ProgressBar() : m_shown(isatty(STDERR_FILENO) == 1) {}
    ~ProgressBar()
    {
        if (m_drawn)
            std::fputc('\n', stderr);
    }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void show(int received, int expected)
    {
        if (!m_shown || expected <= 0)
            return;
        const int width = 40;
        const int filled = std::min(width, received * width / expected);
        std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                     QByteArray(width - filled, ' ').constData(), received, expected);
        std::fflush(stderr);
        m_drawn = true;
    }

private:
    bool m_shown;
    bool m_drawn = false;
};

} // namespace

int runRead(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads the whole archive of the instrument on a port, removes duplicates and saves it\n"
        "as an archive file. Without --out the file is named after the model, the serial\n"
        "number and the date (AN-A005-2026-12-11.kadrel1an) in the working folder.");
    addInstrumentOptions(parser);
    parser.addOption({"out", "The archive file to write.", "FILE"});
    parser.addOption({"sync-clock", "Set the instrument's clock from the computer's first."});
    parser.addOption({"force", "Replace the archive file when it exists."});
    parseOrFail(parser, arguments, 0, 0);
    const auto [port, timeoutMs, lang] = instrumentOptionsOf(parser);
    const bool force = parser.isSet("force");
    QString out = parser.value("out");
    if (!out.isEmpty())
        requireNewFile(out, force);

    const TKadrelInfo info = identify(port, timeoutMs, lang).Info;
    const IKadrelPtr driver = CreateModelDriver(info.DevType);
    if (!driver)
        throw Failure{ExitInstrument, QStringLiteral("%1: instruments of type %2 cannot be read")
                                          .arg(port)
                                          .arg(info.DevType)};
    if (out.isEmpty())
        out = defaultFileName(info);
    requireModelExtension(out, info.DevType);
    requireNewFile(out, force);
    driver->SetLang(lang);

    InstrumentLink link(driver, port, timeoutMs);
    link.connect();
    if (parser.isSet("sync-clock")) {
        driver->SynchronyzeClock();
        link.await(otClockWrite);
    }
    {
        ProgressBar bar;
        link.setObserver([&](TOperationType op) {
            if (op == otArchReadContinue || op == otArchReadComplete)
                bar.show(driver->GetArchReceived(), driver->GetArchExpected());
        });
        driver->ReadArchive();
        link.await(otArchReadComplete);
        link.setObserver(nullptr);
    }
    const TArchDupStat stat = driver->RemoveDuplicates();

    // A file may have appeared while the archive was read.
    requireNewFile(out, force);
    try {
        driver->SaveToFile(out);
    } catch (const KadrelError& error) {
        throw Failure{ExitCannotWrite, error.message()};
    }
    writeOut(DuplicateSummary(msgArchiveReaded, stat.Duplicates, stat.Uniquie, stat.New, lang) +
             u'\n' + Message(msgFileSaved, lang) + QStringLiteral(": ") + out + u'\n');
    return ExitOk;
}

} // namespace cli
