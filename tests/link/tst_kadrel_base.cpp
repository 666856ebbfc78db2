// The driver base without a port: identification, display names, record order, duplicate
// removal, removal of results, comments, counters and connecting to unusable ports.
#include "link/frame.h"
#include "test_model.h"

#include <QSerialPort>
#include <QtTest>
#include <pty.h>
#include <unistd.h>

namespace
{

// The test model with records and counters a test sets directly and frames fed as received.
class TestModel : public TTestModel
{
public:
    using TKadrelBase::ComPortRxBuf;

    void Add(uint16_t num, uint16_t absIndex, int year, int month, int day, int hour, int minute,
             uint8_t payload = 0)
    {
        auto entry = std::make_unique<TArchEntryOf<TestRecord>>();
        entry->ArchRes.Base = {
            num,
            absIndex,
            {int8_t(minute), int8_t(hour), int8_t(day), int8_t(month), int8_t(year - 2000)}};
        entry->ArchRes.Payload[0] = payload;
        fArchive.push_back(std::move(entry));
        fArchTotal = uint16_t(fArchive.size());
    }
    void SetLastReaded(uint16_t count) { fArchLastReaded = count; }
};

QByteArray identification(uint8_t type, uint16_t serial)
{
    TKadrelInfo info{};
    info.DevType = type;
    info.SerialNumber = serial;
    QByteArray payload(4, '\0');
    payload.append(reinterpret_cast<const char*>(&info), sizeof info);
    return kadrel::buildFrame(kadrel::cmdDevInfo, 76, payload);
}

} // namespace

class TestKadrelBase : public QObject
{
    Q_OBJECT

private slots:
    void devName_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("serial");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("name");

        QTest::newRow("AN A005 en") << int(devAN) << 0x0805 << int(enUS) << "Kadrel-1.AN № A005";
        QTest::newRow("AN A005 ru") << int(devAN) << 0x0805 << int(ruRU) << "Кадрель-1.АН № A005";
        QTest::newRow("TL serial 0") << int(devTL) << 0 << int(enUS) << "Kadrel-1.TL №  000";
        QTest::newRow("four digits")
            << int(devEG) << (1 << 11 | 1234) << int(enUS) << "Kadrel-1.EG № A1234";
        QTest::newRow("last letter")
            << int(devFX) << (23 << 11 | 7) << int(ruRU) << "Кадрель-1.ФХ № Y007";
        QTest::newRow("QM") << int(devQM) << 0x1001 << int(ruRU) << "Кадрель-1.КМ № B001";
        QTest::newRow("unknown type") << int(devUnknown) << 0x0805 << int(enUS) << "";
        QTest::newRow("type beyond the table") << 9 << 0x0805 << int(enUS) << "Kadrel-1.? № A005";
        QTest::newRow("letter beyond the table")
            << int(devAN) << (24 << 11 | 5) << int(enUS) << "Kadrel-1.AN № ?005";
    }

    void devName()
    {
        QFETCH(int, type);
        QFETCH(int, serial);
        QFETCH(int, lang);
        QFETCH(QString, name);
        TestModel driver;
        driver.SetLang(TLang(lang));
        driver.ComPortRxBuf(identification(uint8_t(type), uint16_t(serial)));
        QCOMPARE(driver.GetDevName(), name);
        QCOMPARE(int(driver.GetDevType()), type);
    }

    void identificationWithoutCallbackRaisesNothing()
    {
        TestModel driver;
        QCOMPARE(int(driver.GetDevType()), int(devUnknown));
        driver.ComPortRxBuf(identification(devTL, 1));
        QCOMPARE(int(driver.GetDevType()), int(devTL));
    }

    void rejectedAndShortRepliesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QByteArray wrongLength = identification(devAN, 1);
        wrongLength[1] = 0;
        QTest::newRow("fails the acceptance rule") << wrongLength;
        QTest::newRow("identification too short")
            << kadrel::buildFrame(kadrel::cmdDevInfo, 24, QByteArray(20, '\x01'));
        QTest::newRow("page shorter than its count")
            << kadrel::buildFrame(kadrel::cmdArchPage, 12, QByteArray(1, '\x03'));
        QTest::newRow("name table too short")
            << kadrel::buildFrame(kadrel::cmdMatRead, 100, QByteArray(90, '\x01'));
        QTest::newRow("head without a record")
            << kadrel::buildFrame(kadrel::cmdArchHead, 12, QByteArray(4, '\x01'));
        QTest::newRow("unknown command") << kadrel::buildFrame(2, 12);
    }

    void rejectedAndShortRepliesChangeNothing()
    {
        QFETCH(QByteArray, frame);
        TestModel driver;
        QList<TOperationType> events;
        driver.SetCallback([&](TOperationType op) { events << op; });
        driver.ComPortRxBuf(frame);
        QVERIFY(events.isEmpty());
        QCOMPARE(int(driver.GetDevType()), int(devUnknown));
        QVERIFY(driver.Archive().empty());
    }

    void acknowledgementsRaiseTheirEvents_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("event");
        QTest::newRow("name table write") << int(kadrel::cmdMatWrite) << int(otMatWrite);
        QTest::newRow("delete") << int(kadrel::cmdResultDelete) << int(otResultDelete);
        QTest::newRow("clock") << int(kadrel::cmdClockWrite) << int(otClockWrite);
        QTest::newRow("name table read") << int(kadrel::cmdMatRead) << int(otMatRead);
    }

    void acknowledgementsRaiseTheirEvents()
    {
        QFETCH(int, command);
        QFETCH(int, event);
        TestModel driver;
        QList<TOperationType> events;
        driver.SetCallback([&](TOperationType op) { events << op; });
        driver.ComPortRxBuf(kadrel::buildFrame(uint8_t(command), command == 3 ? 296 : 12));
        QCOMPARE(events, QList<TOperationType>{TOperationType(event)});
    }

    void sortOrder()
    {
        TestModel driver;
        driver.Add(9, 1, 2024, 4, 30, 23, 59);
        driver.Add(2, 2, 2024, 5, 1, 10, 0);
        driver.Add(3, 3, 2024, 5, 1, 10, 0);
        driver.RemoveDuplicates();
        QCOMPARE(driver.Nums(), (QList<uint16_t>{3, 2, 9}));
    }

    void compareKeys_data()
    {
        QTest::addColumn<QList<int>>("a"); // num, year, month, day, hour, minute
        QTest::addColumn<QList<int>>("b");
        QTest::addColumn<int>("result");
        QTest::newRow("later year first")
            << QList<int>{1, 2025, 1, 1, 0, 0} << QList<int>{2, 2024, 12, 31, 23, 59} << -1;
        QTest::newRow("earlier minute last")
            << QList<int>{1, 2024, 1, 1, 0, 0} << QList<int>{2, 2024, 1, 1, 0, 1} << 1;
        QTest::newRow("higher number first")
            << QList<int>{40000, 2024, 1, 1, 0, 0} << QList<int>{2, 2024, 1, 1, 0, 0} << -1;
        QTest::newRow("duplicates")
            << QList<int>{7, 2024, 1, 1, 0, 0} << QList<int>{7, 2024, 1, 1, 0, 0} << 0;
        // The keys are signed bytes: a year before 2000 is older than 2000.
        QTest::newRow("year before 2000 last")
            << QList<int>{1, 1999, 12, 31, 23, 59} << QList<int>{2, 2000, 1, 1, 0, 0} << 1;
        QTest::newRow("negative minute before the hour")
            << QList<int>{5, 2024, 1, 1, 0, 0} << QList<int>{6, 2024, 1, 1, 0, -1} << -1;
    }

    void compareKeys()
    {
        QFETCH(QList<int>, a);
        QFETCH(QList<int>, b);
        QFETCH(int, result);
        auto base = [](const QList<int>& v) {
            return TArchBase{
                uint16_t(v[0]),
                0,
                {int8_t(v[5]), int8_t(v[4]), int8_t(v[3]), int8_t(v[2]), int8_t(v[1] - 2000)}};
        };
        QCOMPARE(CompareArchRecords(base(a), base(b)), result);
        QCOMPARE(CompareArchRecords(base(b), base(a)), -result);

        // Removing duplicates orders the list the same way.
        TestModel driver;
        for (const QList<int>& v : {b, a})
            driver.Add(uint16_t(v[0]), 0, v[1], v[2], v[3], v[4], v[5]);
        driver.RemoveDuplicates();
        const QList<uint16_t> expected = result == 0 ? QList<uint16_t>{uint16_t(a[0])}
                                         : result < 0
                                             ? QList<uint16_t>{uint16_t(a[0]), uint16_t(b[0])}
                                             : QList<uint16_t>{uint16_t(b[0]), uint16_t(a[0])};
        QCOMPARE(driver.Nums(), expected);
    }

    // Records that differ only in AbsIndex or model fields are duplicates; the statistics
    // count them and every removal is reported.
    void duplicatesAreRemoved()
    {
        TestModel driver;
        driver.Add(1, 10, 2024, 1, 1, 8, 0, 1);
        driver.Add(2, 11, 2024, 1, 1, 9, 0, 1);
        driver.Add(1, 99, 2024, 1, 1, 8, 0, 2);
        driver.Add(2, 11, 2024, 1, 1, 9, 0, 1);
        driver.Add(2, 12, 2024, 1, 1, 9, 0, 3);
        driver.SetLastReaded(3);
        int deletions = 0;
        driver.SetCallback([&](TOperationType op) { deletions += op == otResultDelete; });
        const TArchDupStat stat = driver.RemoveDuplicates();
        QCOMPARE(stat.Duplicates, 3);
        QCOMPARE(stat.Uniquie, 2);
        QCOMPARE(stat.New, 0);
        QCOMPARE(deletions, 3);
        QCOMPARE(driver.Nums(), (QList<uint16_t>{2, 1}));
        QCOMPARE(int(driver.ArchTotal()), 2);
    }

    void removeResults_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<uint16_t>>("left");
        QTest::newRow("more than the list holds") << 2 << 0 << 3 << QList<uint16_t>{};
        QTest::newRow("last two of five") << 5 << 3 << 2 << QList<uint16_t>{5, 4, 3};
        QTest::newRow("run past the end") << 5 << 4 << 9 << QList<uint16_t>{5, 4, 3, 2};
        QTest::newRow("start at the end") << 3 << 3 << 1 << QList<uint16_t>{3, 2, 1};
        QTest::newRow("negative start") << 3 << -1 << 1 << QList<uint16_t>{3, 2, 1};
    }

    void removeResults()
    {
        QFETCH(int, size);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(QList<uint16_t>, left);
        TestModel driver;
        for (int i = size; i >= 1; --i)
            driver.Add(uint16_t(i), uint16_t(i), 2024, 1, 1, 0, i);
        int deletions = 0;
        driver.SetCallback([&](TOperationType op) { deletions += op == otResultDelete; });
        driver.RemoveResults(start, count, false);
        QCOMPARE(driver.Nums(), left);
        QCOMPARE(int(driver.ArchTotal()), left.size());
        QCOMPARE(deletions, 1);
    }

    void comments()
    {
        TestModel driver;
        driver.Add(1, 1, 2024, 1, 1, 0, 0);
        driver.SetComment(0, "first\rsecond");
        driver.SetComment(1, "beyond the list");
        QCOMPARE(driver.GetComment(0), QString("first\rsecond"));
        QCOMPARE(driver.GetComment(1), QString());
        QCOMPARE(driver.GetComment(-1), QString());
    }

    void closedPortNameAndCommands()
    {
        TestModel driver;
        QCOMPARE(driver.GetPortName(), QString("COM?"));
        int disconnects = 0;
        driver.SetCallback([&](TOperationType op) { disconnects += op == otDevDisconnected; });
        driver.SynchronyzeClock();
        QCOMPARE(disconnects, 0); // reported from the event loop, not from inside the call
        QTRY_COMPARE(disconnects, 1);
    }

    void connectToAbsentPort()
    {
        TestModel driver;
        QVERIFY(!driver.Connect("/dev/kadrel-no-such-port"));
        QCOMPARE(driver.GetPortName(), QString("COM?"));
        QCOMPARE(int(driver.GetDevType()), int(devUnknown));
    }

    void connectToBusyPort()
    {
        int master = -1;
        int slave = -1;
        char name[256] = {};
        QCOMPARE(openpty(&master, &slave, name, nullptr, nullptr), 0);
        QSerialPort holder(QString::fromLocal8Bit(name));
        QVERIFY(holder.open(QIODevice::ReadWrite));
        TestModel driver;
        QVERIFY(!driver.Connect(QString::fromLocal8Bit(name)));
        holder.close();
        QVERIFY(driver.Connect(QString::fromLocal8Bit(name)));
        QCOMPARE(driver.GetPortName(), QString::fromLocal8Bit(name));
        driver.Disconnect();
        QCOMPARE(driver.GetPortName(), QString("COM?"));
        ::close(slave);
        ::close(master);
    }

    void unitConversions()
    {
        QCOMPARE(MPaToKgs(27.0f), float(27.0L * 10.19716212978L));
        QCOMPARE(KNToKgs(30.0f), float(30.0L * 101.972L));
    }
};

QTEST_GUILESS_MAIN(TestKadrelBase)
#include "tst_kadrel_base.moc"
