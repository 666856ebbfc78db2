// The driver's read sequences against a simulated instrument through a real serial port:
// identification, the archive head and pages, restarted and repeated reads, faults of the
// line, the name table, the clock and deletion on the instrument.
#include "link/frame.h"
#include "sim/kadrel_simulator.h"
#include "test_model.h"

#include <QtEndian>
#include <QtTest>

using namespace kadrel;
using namespace kadrel::sim;

namespace
{

// The test model with its name table and records as bytes.
class TestModel : public TTestModel
{
public:
    void WriteTable(const QByteArray& table) { SendFrame(matWriteRequest(table)); }
    QByteArray Table() const
    {
        return QByteArray(reinterpret_cast<const char*>(table.data()), 288);
    }
    // The list's records back to back, in list order.
    QByteArray Records() const
    {
        QByteArray bytes;
        for (const auto& entry : fArchive)
            bytes.append(reinterpret_cast<const char*>(entry->Raw()), 96);
        return bytes;
    }
};

// Events of the driver in order, with the progress at every page.
struct EventLog {
    QList<TOperationType> events;
    QList<QPair<int, int>> progress; // expected, received at otArchReadContinue

    int count(TOperationType op) const { return int(events.count(op)); }
};

constexpr int Timeout = 10000;

} // namespace

class TestArchiveRead : public QObject
{
    Q_OBJECT

private:
    // An identified driver on a simulated AN instrument holding `records` records.
    bool start(int records, int pageSize = 10)
    {
        sim = std::make_unique<KadrelSimulator>(devAN);
        sim->generateArchive(records, 3);
        sim->setPageSize(pageSize);
        if (!sim->open())
            return false;
        QObject::connect(sim.get(), &KadrelSimulator::requestReceived,
                         [this](const QByteArray& frame) { requests << frame; });
        driver = std::make_shared<TestModel>();
        driver->SetLang(enUS);
        driver->SetCallback([this](TOperationType op) {
            log.events << op;
            if (op == otArchReadContinue)
                log.progress << qMakePair(int(driver->GetArchExpected()),
                                          int(driver->GetArchReceived()));
        });
        if (!driver->Connect(sim->portName()))
            return false;
        return QTest::qWaitFor([this] { return log.count(otDevConnect) == 1; }, Timeout);
    }

    // Reads the archive and waits for the end of the read.
    bool read()
    {
        const int before = log.count(otArchReadComplete);
        driver->ReadArchive();
        return QTest::qWaitFor([&] { return log.count(otArchReadComplete) > before; }, Timeout);
    }

    QList<uint8_t> commands() const
    {
        QList<uint8_t> codes;
        for (const QByteArray& frame : requests)
            codes << uint8_t(frame[3]);
        return codes;
    }

    // Lets requests that a faulty driver might still send reach the instrument.
    static void settle() { QTest::qWait(100); }

    std::unique_ptr<KadrelSimulator> sim;
    std::shared_ptr<TestModel> driver;
    EventLog log;
    QList<QByteArray> requests;

private slots:
    void cleanup()
    {
        driver.reset();
        sim.reset();
        log = {};
        requests.clear();
    }

    void identification()
    {
        QVERIFY(start(5));
        QCOMPARE(log.events, QList<TOperationType>{otDevConnect});
        QCOMPARE(driver->GetDevType(), uint8_t(devAN));
        QCOMPARE(driver->GetDevName(), QStringLiteral("Kadrel-1.AN № A005"));
        QCOMPARE(driver->GetPortName(), sim->portName());
    }

    void oneRecord()
    {
        QVERIFY(start(1));
        QVERIFY(read());
        settle();
        QCOMPARE(commands(), (QList<uint8_t>{cmdDevInfo, cmdArchHead}));
        QCOMPARE(log.events, (QList<TOperationType>{otDevConnect, otArchReadComplete}));
        QCOMPARE(driver->Records(), sim->memory().bytes());
        QCOMPARE(driver->ArchStart(), uint16_t(0));
    }

    void heldRecordsAndOneOnTheInstrument()
    {
        QVERIFY(start(3));
        QVERIFY(read());
        sim->generateArchive(1, 9);
        requests.clear();
        log = {};
        QVERIFY(read());
        // Three held and one on the instrument: the head, then a page after it, found empty.
        QCOMPARE(commands(), (QList<uint8_t>{cmdArchHead, cmdArchPage}));
        QCOMPARE(qFromLittleEndian<uint16_t>(requests[1].constData() + 4), sim->memory().head());
        QCOMPARE(log.events, QList<TOperationType>{otArchReadComplete});
        QCOMPARE(driver->Archive().size(), size_t(4));
    }

    void pages()
    {
        QVERIFY(start(25));
        QVERIFY(read());
        QCOMPARE(log.events, (QList<TOperationType>{otDevConnect, otArchReadContinue,
                                                    otArchReadContinue, otArchReadComplete}));
        QCOMPARE(log.progress, (QList<QPair<int, int>>{{25, 11}, {25, 21}}));
        QCOMPARE(driver->ArchLastReaded(), uint16_t(25));
        QCOMPARE(driver->ArchStart(), uint16_t(0));
        QCOMPARE(driver->Records(), sim->memory().bytes());
    }

    void endsWithoutRecords_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("headMismatch");
        QTest::newRow("empty instrument") << 0 << false;
        QTest::newRow("head record elsewhere") << 25 << true;
    }

    void endsWithoutRecords()
    {
        QFETCH(int, records);
        QFETCH(bool, headMismatch);
        QVERIFY(start(records));
        SimFaults faults;
        faults.headMismatch = headMismatch;
        sim->setFaults(faults);
        QVERIFY(read());
        settle();
        QCOMPARE(commands(), (QList<uint8_t>{cmdDevInfo, cmdArchHead}));
        QVERIFY(driver->Archive().empty());
        QCOMPARE(driver->ArchLastReaded(), uint16_t(0));
    }

    void restartAfterLostReply()
    {
        QVERIFY(start(25));
        SimFaults faults;
        faults.dropReply = 2; // the first page
        sim->setFaults(faults);
        driver->ReadArchive();
        QTRY_COMPARE_WITH_TIMEOUT(commands().size(), 3, Timeout);
        settle();
        QCOMPARE(log.events, QList<TOperationType>{otDevConnect});
        QCOMPARE(driver->Archive().size(), size_t(1));

        // The repeated read cannot reach its total, which counted the missing records.
        QVERIFY(read());
        QCOMPARE(log.count(otArchReadContinue), 3);
        QCOMPARE(driver->Archive().size(), size_t(26));
        const TArchDupStat stat = driver->RemoveDuplicates();
        QCOMPARE(stat.Duplicates, 1);
        QCOMPARE(stat.Uniquie, 25);
        QCOMPARE(driver->Records(), sim->memory().bytes());
    }

    void readTwice()
    {
        QVERIFY(start(25));
        QVERIFY(read());
        QVERIFY(read());
        QCOMPARE(driver->Archive().size(), size_t(50));
        QCOMPARE(driver->ArchLastReaded(), uint16_t(25));
        const TArchDupStat stat = driver->RemoveDuplicates();
        QCOMPARE(stat.Duplicates, 25);
        QCOMPARE(stat.Uniquie, 25);
        QCOMPARE(stat.New, 0);
        QCOMPARE(driver->Records(), sim->memory().bytes());
    }

    void troubledLine_data()
    {
        QTest::addColumn<int>("chunkBytes");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<bool>("paced");
        QTest::addColumn<bool>("joined");
        QTest::newRow("single bytes") << 1 << 0 << false << false;
        QTest::newRow("3 bytes, 1 ms apart") << 3 << 1 << false << false;
        QTest::newRow("7 bytes, 5 ms apart") << 7 << 5 << false << false;
        QTest::newRow("64 bytes, 20 ms apart") << 64 << 20 << false << false;
        QTest::newRow("wire pace") << 0 << 0 << true << false;
        QTest::newRow("joined replies") << 0 << 0 << false << true;
        QTest::newRow("joined and split") << 5 << 2 << false << true;
    }

    void troubledLine()
    {
        QFETCH(int, chunkBytes);
        QFETCH(int, gapMs);
        QFETCH(bool, paced);
        QFETCH(bool, joined);
        QVERIFY(start(25));
        SimFaults faults;
        faults.timing = {chunkBytes, gapMs, paced};
        faults.joinReply = joined ? 1 : 0;
        sim->setFaults(faults);
        // With joining, the clock's acknowledgement waits for the head reply.
        if (joined)
            driver->SynchronyzeClock();
        QVERIFY(read());
        QCOMPARE(log.count(otClockWrite), joined ? 1 : 0);
        QCOMPARE(log.progress, (QList<QPair<int, int>>{{25, 11}, {25, 21}}));
        QCOMPARE(driver->Records(), sim->memory().bytes());
    }

    void hangUpDuringRead()
    {
        QVERIFY(start(25));
        SimFaults faults;
        faults.hangUpAfter = 2; // the head and the first page
        sim->setFaults(faults);
        driver->ReadArchive();
        QTRY_COMPARE_WITH_TIMEOUT(log.count(otDevDisconnected), 1, Timeout);
        QTest::qWait(300);
        QCOMPARE(log.count(otDevDisconnected), 1);
        QCOMPARE(log.count(otArchReadComplete), 0);
        QCOMPARE(driver->Archive().size(), size_t(11));
        QCOMPARE(driver->Records(), sim->memory().bytes().left(11 * 96));
        QCOMPARE(driver->GetPortName(), QStringLiteral("COM?"));
    }

    void nameTable()
    {
        QVERIFY(start(1));
        driver->ReadMaterials();
        QTRY_COMPARE_WITH_TIMEOUT(log.count(otMatRead), 1, Timeout);
        QCOMPARE(driver->Table(), sim->nameTable());

        QByteArray table(288, '\0');
        for (int i = 0; i < table.size(); ++i)
            table[i] = char(255 - i);
        driver->WriteTable(table);
        QTRY_COMPARE_WITH_TIMEOUT(log.count(otMatWrite), 1, Timeout);
        QCOMPARE(sim->nameTable(), table);
        driver->ReadMaterials();
        QTRY_COMPARE_WITH_TIMEOUT(log.count(otMatRead), 2, Timeout);
        QCOMPARE(driver->Table(), table);
    }

    void clockWrite()
    {
        QVERIFY(start(1));
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
        driver->SynchronyzeClock();
        QTRY_COMPARE_WITH_TIMEOUT(log.count(otClockWrite), 1, Timeout);
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY2(sim->clock() >= before && sim->clock() <= after,
                 qPrintable(sim->clock().toString(Qt::ISODate)));
    }

    void deleteOnInstrument()
    {
        QVERIFY(start(25));
        QVERIFY(read());
        QCOMPARE(driver->RemoveDuplicates().Duplicates, 0);
        const QList<uint16_t> all = driver->Nums();
        driver->RemoveResults(2, 3, true);
        // Out of the list at once; the event waits for the instrument.
        QCOMPARE(driver->Archive().size(), size_t(22));
        QCOMPARE(log.count(otResultDelete), 0);
        QTRY_COMPARE_WITH_TIMEOUT(log.count(otResultDelete), 1, Timeout);
        QCOMPARE(sim->memory().count(), 22);

        auto fresh = std::make_shared<TestModel>();
        driver = fresh;
        log = {};
        driver->SetCallback([this](TOperationType op) { log.events << op; });
        QVERIFY(driver->Connect(sim->portName()));
        QVERIFY(read());
        QList<uint16_t> expected = all;
        expected.remove(2, 3);
        QCOMPARE(fresh->Nums(), expected);
    }
};

QTEST_GUILESS_MAIN(TestArchiveRead)
#include "tst_archive_read.moc"
