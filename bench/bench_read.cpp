#include "bench/bench_read.h"

#include "models/driver_factory.h"
#include "sim/kadrel_simulator.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace kadrel::bench
{

namespace
{

constexpr int PageRecords = 10;
constexpr int ReadTimeoutMs = 600000;
constexpr int ConnectTimeoutMs = 10000;

// Runs one simulated instrument on its own event loop until the thread is told to quit.
class TSimulatorThread : public QThread
{
public:
    TSimulatorThread(TKadrelType model, int records, bool wirePaced)
        : m_model(model), m_records(records), m_wirePaced(wirePaced)
    {
    }

    ~TSimulatorThread() override
    {
        quit();
        wait();
    }

    // Starts the thread and waits until the instrument is on its port.
    bool StartInstrument()
    {
        start();
        m_ready.acquire();
        return !m_port.isEmpty();
    }

    QString Port() const { return m_port; }

    // Request and reply bytes so far, asked on the simulator's own thread.
    qint64 TrafficBytes()
    {
        qint64 bytes = 0;
        QMetaObject::invokeMethod(
            m_sim, [&] { bytes = m_sim->requestBytes() + m_sim->replyBytes(); },
            Qt::BlockingQueuedConnection);
        return bytes;
    }

protected:
    void run() override
    {
        sim::KadrelSimulator instrument(m_model);
        instrument.generateArchive(m_records, 11);
        instrument.setPageSize(PageRecords);
        sim::SimFaults faults;
        faults.timing.wirePaced = m_wirePaced;
        instrument.setFaults(faults);
        if (instrument.open())
            m_port = instrument.portName();
        else
            std::fprintf(stderr, "simulator: %s\n", qPrintable(instrument.errorString()));
        m_sim = &instrument;
        m_ready.release();
        exec();
        m_sim = nullptr;
    }

private:
    TKadrelType m_model;
    int m_records;
    bool m_wirePaced;
    QSemaphore m_ready;
    QString m_port;
    sim::KadrelSimulator* m_sim = nullptr;
};

double ThreadCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

// Runs the event loop until `done` holds or the time is up.
bool WaitFor(const bool& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    while (!done && deadline.isActive())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    return done;
}

} // namespace

TReadFigures ReadArchiveFromSimulator(TKadrelType model, int records, bool wirePaced)
{
    TReadFigures figures;
    TSimulatorThread instrument(model, records, wirePaced);
    if (!instrument.StartInstrument())
        return figures;

    const IKadrelPtr driver = CreateModelDriver(model);
    bool connected = false;
    bool complete = false;
    driver->SetCallback([&](TOperationType op) {
        connected = connected || op == otDevConnect;
        complete = complete || op == otArchReadComplete;
    });
    if (!driver->Connect(instrument.Port()) || !WaitFor(connected, ConnectTimeoutMs))
        return figures;

    const qint64 bytesBefore = instrument.TrafficBytes();
    const double cpuBefore = ThreadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    driver->ReadArchive();
    if (!WaitFor(complete, ReadTimeoutMs))
        return figures;
    figures.Seconds = double(clock.nsecsElapsed()) / 1e9;
    figures.ProgramCpuSeconds = ThreadCpuSeconds() - cpuBefore;
    figures.Records = driver->GetArchReceived();
    figures.WireSeconds =
        double(instrument.TrafficBytes() - bytesBefore) / double(sim::WireBytesPerSecond);
    figures.Ok = figures.Records == records;
    driver->Disconnect();
    return figures;
}

} // namespace kadrel::bench
