#include "bench/bench_process.h"

#include "bench/bench_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace kadrel::bench
{

namespace
{

constexpr int StartTimeoutMs = 20000;
constexpr int QuietMs = 2000;
constexpr int SettleTimeoutMs = 60000;

// Runs the event loop for `ms`, or until `done` holds when given.
void RunEventLoop(int ms, const std::function<bool()>& done = {})
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(ms);
    while (deadline.isActive() && !(done && done()))
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

// One kadrel_sim instrument that reports every request it hears.
class TSimProcess
{
public:
    TSimProcess(const QString& model, const QString& link)
    {
        m_process.start(QStringLiteral(KADREL_SIM_PROGRAM),
                        {QStringLiteral("--model"), model, QStringLiteral("--link"), link,
                         QStringLiteral("--verbose")});
        QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] {
            const QByteArray text = m_process.readAllStandardError();
            m_requests += int(text.count("request"));
            m_lastRequest.start();
        });
    }
    ~TSimProcess()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }

    // True once the instrument is on its port.
    bool WaitReady()
    {
        RunEventLoop(StartTimeoutMs, [this] { return m_process.canReadLine(); });
        return m_process.canReadLine();
    }
    int Requests() const { return m_requests; }
    qint64 MsSinceLastRequest() const
    {
        return m_lastRequest.isValid() ? m_lastRequest.elapsed() : -1;
    }

private:
    QProcess m_process;
    int m_requests = 0;
    QElapsedTimer m_lastRequest;
};

// A home folder whose settings file holds the language, so that no question is asked.
QProcessEnvironment ProgramEnvironment(const QString& home)
{
    const QString settings = QDir(home).filePath(QStringLiteral("Documents/Norvent/KADREL-1"));
    QDir().mkpath(settings);
    QFile ini(QDir(settings).filePath(QStringLiteral("Kadrel-1.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Settings]\r\nLanguage=1\r\n");
    QDir().mkpath(QDir(home).filePath(QStringLiteral(".config")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QDir(home).filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_DOCUMENTS_DIR"),
                       QDir(home).filePath(QStringLiteral("Documents")));
    return environment;
}

} // namespace

TProgramFigures RunProgramIdle(const QString& scratchFolder, double idleSeconds)
{
    TProgramFigures figures;
    const QString links = QDir(scratchFolder).filePath(QStringLiteral("ports"));
    QDir().mkpath(links);
    std::vector<std::unique_ptr<TSimProcess>> instruments;
    QStringList arguments;
    for (const QString& model : {QStringLiteral("an"), QStringLiteral("fx")}) {
        const QString link = QDir(links).filePath(model);
        instruments.push_back(std::make_unique<TSimProcess>(model, link));
        if (!instruments.back()->WaitReady()) {
            figures.Failure = QStringLiteral("kadrel_sim did not start");
            return figures;
        }
        arguments << QStringLiteral("--port") << link;
    }
    const auto requests = [&] {
        int count = 0;
        for (const auto& instrument : instruments)
            count += instrument->Requests();
        return count;
    };
    const auto quiet = [&] {
        for (const auto& instrument : instruments)
            if (instrument->MsSinceLastRequest() < QuietMs)
                return false;
        return true;
    };

    QProcess program;
    program.setProcessEnvironment(
        ProgramEnvironment(QDir(scratchFolder).filePath(QStringLiteral("home"))));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(KADREL_CONNECT_PROGRAM), arguments);
    RunEventLoop(StartTimeoutMs, [&] { return requests() > 0; });
    figures.StartupSeconds = double(clock.nsecsElapsed()) / 1e9;
    if (requests() == 0) {
        figures.Failure = QStringLiteral("kadrel_connect asked no instrument");
        return figures;
    }
    RunEventLoop(SettleTimeoutMs, quiet);
    if (!quiet()) {
        figures.Failure = QStringLiteral("kadrel_connect kept talking to the instruments");
        return figures;
    }
    const qint64 pid = program.processId();
    const double before = ProcCpuSeconds(pid);
    clock.start();
    RunEventLoop(int(idleSeconds * 1000));
    const double cpu = ProcCpuSeconds(pid) - before;
    figures.IdleCpuPercent = cpu / (double(clock.nsecsElapsed()) / 1e9) * 100;
    figures.Ok = program.state() == QProcess::Running;
    if (!figures.Ok)
        figures.Failure = QStringLiteral("kadrel_connect ended early");
    program.terminate();
    program.waitForFinished();
    return figures;
}

TMemoryFigures MeasureWindowMemory(const QString& archive)
{
    TMemoryFigures figures;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(KADREL_BENCH_MEMORY_PROGRAM),
                  archive.isEmpty() ? QStringList() : QStringList{archive});
    if (!process.waitForFinished(SettleTimeoutMs) || process.exitCode() != 0)
        return figures;
    const QStringList fields =
        QString::fromLatin1(process.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts);
    if (fields.size() < 3)
        return figures;
    figures.PeakKb = fields[0].toLongLong();
    figures.ResidentKb = fields[1].toLongLong();
    figures.Rows = fields[2].toInt();
    figures.Ok = true;
    return figures;
}

} // namespace kadrel::bench
