// Connect, read and release, a thousand times over, against simulated instruments of every
// model: every cycle reads the whole archive, and the memory in use after the last cycle is
// no larger than after the first fifty. KADREL_SOAK_CYCLES asks for another number of cycles.
#include "link/kadrel_base.h"
#include "models/driver_factory.h"
#include "models/string_grid.h"
#include "sim/kadrel_simulator.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KADREL_LIVE_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KADREL_LIVE_HEAP 1
#endif
#endif
#ifdef KADREL_LIVE_HEAP
// The memory checker's count of heap bytes in use.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

using kadrel::sim::KadrelSimulator;

namespace
{

constexpr int BaselineCycle = 50;
constexpr int RecordsPerInstrument = 20;

// The resident memory of this process in kilobytes.
qint64 ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// The heap in use, without what a memory checker holds back from reuse; the resident memory
// where there is no checker.
qint64 MemoryInUseKb()
{
#ifdef KADREL_LIVE_HEAP
    return qint64(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    return ResidentKb();
#endif
}

// Runs the event loop until `done` or ten seconds have passed.
bool WaitUntil(const std::function<bool()>& done, QEventLoop& loop)
{
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(10000);
    while (!done() && deadline.isActive())
        loop.exec();
    return done();
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void connectReadRelease()
    {
        const int cycles = qEnvironmentVariableIntValue("KADREL_SOAK_CYCLES") > BaselineCycle
                               ? qEnvironmentVariableIntValue("KADREL_SOAK_CYCLES")
                               : 1000;
        std::vector<std::unique_ptr<KadrelSimulator>> instruments;
        for (TKadrelType model : {devAN, devTL, devEG, devFX}) {
            auto instrument = std::make_unique<KadrelSimulator>(model);
            QVERIFY(instrument->open());
            instrument->generateArchive(RecordsPerInstrument, quint32(model));
            instrument->setPageSize(RecordsPerInstrument);
            instruments.push_back(std::move(instrument));
        }

        qint64 baseline = 0;
        qint64 residentBaseline = 0;
        QEventLoop loop;
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            KadrelSimulator& instrument = *instruments[size_t(cycle) % instruments.size()];
            {
                IKadrelPtr driver = CreateModelDriver(instrument.model());
                bool connected = false;
                bool read = false;
                driver->SetCallback([&](TOperationType op) {
                    connected |= op == otDevConnect;
                    read |= op == otArchReadComplete;
                    loop.quit();
                });
                QVERIFY(driver->Connect(instrument.portName()));
                QVERIFY2(WaitUntil([&] { return connected; }, loop),
                         qPrintable(QString::number(cycle)));
                driver->ReadArchive();
                QVERIFY2(WaitUntil([&] { return read; }, loop), qPrintable(QString::number(cycle)));
                QCOMPARE(driver->RemoveDuplicates().Uniquie, RecordsPerInstrument);
                TStringGrid table;
                driver->UpdateBasicGrid(table);
                QCOMPARE(table.RowCount(), RecordsPerInstrument + 1);
            }
            // The released port goes once the event loop turns.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (cycle == BaselineCycle) {
                baseline = MemoryInUseKb();
                residentBaseline = ResidentKb();
            }
        }
        const qint64 end = MemoryInUseKb();
        qInfo("%d cycles: memory in use %lld kB after cycle %d, %lld kB at the end; resident "
              "%lld kB and %lld kB",
              cycles, baseline, BaselineCycle, end, residentBaseline, ResidentKb());
        // Allocators keep a little for later; a leak of a few hundred bytes per cycle would
        // exceed this.
        const qint64 noiseKb = 512;
        QVERIFY2(end <= baseline + noiseKb,
                 qPrintable(QString("%1 kB grew to %2 kB").arg(baseline).arg(end)));
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
