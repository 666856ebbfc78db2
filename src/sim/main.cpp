// kadrel_sim: one simulated instrument on a pseudo-terminal, for trying the program without
// a device. Prints the port (and the link) and runs until interrupted.
#include "models/model_table.h"
#include "sim/kadrel_simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using kadrel::sim::KadrelSimulator;
using kadrel::sim::SimFaults;

namespace
{

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

// SIGINT and SIGTERM end the event loop, so the link is removed on the way out.
void quitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TKadrelType modelByCode(const QString& code)
{
    for (int type = devAN; type <= devEG; ++type) {
        if (code.compare(QLatin1String(ModelInfo(type)->Code), Qt::CaseInsensitive) == 0)
            return TKadrelType(type);
    }
    return devUnknown;
}

[[noreturn]] void fail(const QString& message)
{
    QTextStream(stderr) << "kadrel_sim: " << message << '\n';
    std::exit(2);
}

int intOption(const QCommandLineParser& parser, const QString& name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        fail(QStringLiteral("--%1 takes a number from %2 to %3").arg(name).arg(low).arg(high));
    return value;
}

// Noise as a line picks up when a device resets: anything but the start byte of a frame.
QByteArray noise(int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = char(0x11 + (i * 37) % 0x60);
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kadrel_sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates one KADREL-1 instrument on a pseudo-terminal. Prints the port path (and the "
        "link path) on standard output and answers the program until interrupted."));
    parser.addHelpOption();
    parser.addOptions({
        {"model", "Instrument model: an, tl, eg, fx or qm (default an, or the file's).", "model"},
        {"serial", "Serial number: letter and number such as A005, or a number (default A005).",
         "serial", "A005"},
        {"count", "Records to generate, 0 to 65535 (default 100).", "count", "100"},
        {"seed", "Seed of the generated archive (default 1).", "seed", "1"},
        {"file", "Archive file whose records the instrument holds.", "file"},
        {"page-size", "Records per page reply, 1 to 255 (default 10).", "records", "10"},
        {"link", "Path of a symbolic link to the port.", "path"},
        {"chunk", "Send replies in chunks of this many bytes.", "bytes"},
        {"gap", "Pause between chunks, milliseconds.", "ms", "0"},
        {"garbage", "Bytes of noise before every reply.", "bytes"},
        {"join", "Hold the K-th reply back and send it with the next.", "K"},
        {"drop", "Never send the K-th reply.", "K"},
        {"silent", "Read requests and never answer."},
        {"hang-up-after", "Unplug at the first request after K replies.", "K"},
        {"wire-pace", "Send at the pace of the 115200-baud wire (11520 bytes per second)."},
        {"head-mismatch", "Announce a head other than the head record's position."},
        {"verbose", "Print every request on standard error."},
    });
    parser.process(app);

    TKadrelType model = devAN;
    const QString file = parser.value("file");
    if (parser.isSet("model")) {
        model = modelByCode(parser.value("model"));
        if (model == devUnknown)
            fail(QStringLiteral("unknown model %1").arg(parser.value("model")));
    } else if (!file.isEmpty()) {
        model = ModelByExtension(QLatin1Char('.') + QFileInfo(file).suffix());
        if (model == devUnknown)
            fail(QStringLiteral("cannot tell the model of %1; give --model").arg(file));
    }

    KadrelSimulator sim(model);
    if (!file.isEmpty()) {
        if (!sim.loadArchiveFile(file))
            fail(QStringLiteral("cannot read archive file %1").arg(file));
    } else if (sim.recordSize() > 0) {
        sim.generateArchive(intOption(parser, "count", 0, 65535),
                            quint32(parser.value("seed").toUInt()));
    }
    if (parser.isSet("serial") || file.isEmpty()) {
        const auto serial = KadrelSimulator::parseSerialNumber(parser.value("serial"));
        if (!serial)
            fail(QStringLiteral("invalid serial number %1").arg(parser.value("serial")));
        sim.setSerialNumber(*serial);
    }
    sim.setPageSize(intOption(parser, "page-size", 1, 255));

    SimFaults faults;
    if (parser.isSet("chunk"))
        faults.timing.chunkBytes = intOption(parser, "chunk", 1, 1 << 20);
    faults.timing.chunkGapMs = intOption(parser, "gap", 0, 60000);
    faults.timing.wirePaced = parser.isSet("wire-pace");
    if (parser.isSet("garbage"))
        faults.garbage = noise(intOption(parser, "garbage", 0, 4096));
    if (parser.isSet("join"))
        faults.joinReply = intOption(parser, "join", 1, 1 << 30);
    if (parser.isSet("drop"))
        faults.dropReply = intOption(parser, "drop", 1, 1 << 30);
    if (parser.isSet("hang-up-after"))
        faults.hangUpAfter = intOption(parser, "hang-up-after", 0, 1 << 30);
    faults.silent = parser.isSet("silent");
    faults.headMismatch = parser.isSet("head-mismatch");
    sim.setFaults(faults);

    if (!sim.open())
        fail(sim.errorString());
    if (parser.isSet("link") && !sim.setLinkPath(parser.value("link")))
        fail(sim.errorString());

    QTextStream out(stdout);
    out << sim.portName() << '\n';
    if (!sim.linkPath().isEmpty())
        out << sim.linkPath() << '\n';
    out.flush();

    if (parser.isSet("verbose")) {
        QObject::connect(&sim, &KadrelSimulator::requestReceived, [](const QByteArray& frame) {
            QTextStream(stderr) << "request " << frame.toHex(' ') << '\n';
        });
    }
    QObject::connect(&sim, &KadrelSimulator::hungUp,
                     [] { QTextStream(stderr) << "kadrel_sim: hung up\n"; });

    quitOnSignals(app);
    return app.exec();
}
