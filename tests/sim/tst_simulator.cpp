// The simulated instrument's answers as a bare serial port sees them: identification, archive
// head and pages, name table, deletion, clock, and the requests it leaves unanswered.
#include "raw_port.h"

#include "link/kadrel_base.h"
#include "models/archive_file.h"
#include "sim/archive_generator.h"
#include "sim/kadrel_simulator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <memory>

using namespace kadrel;
using namespace kadrel::sim;

Q_DECLARE_METATYPE(TKadrelType)

namespace
{

uint16_t word(const QByteArray& frame, int offset)
{
    return qFromLittleEndian<uint16_t>(frame.constData() + offset);
}

bool wellFormed(const QByteArray& frame)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame.constData());
    const int size = int(frame.size());
    return size % 4 == 0 && bytes[0] == FrameStart && word(frame, 1) == size - 2 &&
           CalcCRC(bytes, (size - 4) / 4) == qFromLittleEndian<uint32_t>(bytes + size - 4);
}

// Records newest first whose Num tells their age: the newest has Num `count`.
QByteArray numberedRecords(int count, int recordSize)
{
    QByteArray bytes(count * recordSize, '\0');
    for (int i = 0; i < count; ++i) {
        auto& base = *reinterpret_cast<TArchBase*>(bytes.data() + i * recordSize);
        base.Num = uint16_t(count - i);
        base.DateTime = {int8_t(59 - i % 60), 10, 1, 5, 24};
    }
    return bytes;
}

uint16_t absIndexOf(const QByteArray& record)
{
    return reinterpret_cast<const TArchBase*>(record.constData())->AbsIndex;
}

// An archive entry of raw bytes, for writing archive files.
struct RawEntry : TArchEntry {
    explicit RawEntry(const QByteArray& bytes) : bytes(bytes) {}
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(bytes.data()); }
    QByteArray bytes;
};

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private:
    // A simulated instrument on a fresh line with a bare port open on it.
    bool start(TKadrelType model = devAN)
    {
        sim = std::make_unique<KadrelSimulator>(model);
        if (!sim->open())
            return false;
        port = std::make_unique<RawPort>(sim->portName());
        return port->open();
    }

    std::unique_ptr<KadrelSimulator> sim;
    std::unique_ptr<RawPort> port;

private slots:
    void cleanup()
    {
        port.reset();
        sim.reset();
    }

    void identification_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<QString>("serialText");
        QTest::addColumn<int>("serial");
        QTest::newRow("AN A005") << devAN << "A005" << (1 << 11 | 5);
        QTest::newRow("TL without letter") << devTL << "0" << 0;
        QTest::newRow("EG Y2047") << devEG << "Y2047" << (23 << 11 | 2047);
        QTest::newRow("FX as a number") << devFX << "4100" << 4100;
        QTest::newRow("QM") << devQM << "b12" << (2 << 11 | 12);
    }

    void identification()
    {
        QFETCH(TKadrelType, model);
        QFETCH(QString, serialText);
        QFETCH(int, serial);
        QVERIFY(start(model));
        const auto parsed = KadrelSimulator::parseSerialNumber(serialText);
        QVERIFY(parsed);
        QCOMPARE(*parsed, serial);
        sim->setSerialNumber(*parsed);

        const QByteArray reply = port->exchange(devInfoRequest());
        QVERIFY(wellFormed(reply));
        QCOMPARE(reply.size(), 80); // the 65-byte record from byte 8, padded, then the checksum
        QCOMPARE(uint8_t(reply[3]), uint8_t(cmdDevInfo));
        const auto* info = reinterpret_cast<const TKadrelInfo*>(reply.constData() + 8);
        QCOMPARE(info->DevType, uint8_t(model));
        QCOMPARE(uint16_t(info->SerialNumber), uint16_t(serial));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(info), sizeof *info),
                 QByteArray(reinterpret_cast<const char*>(&sim->info()), sizeof *info));
        QCOMPARE(sim->requestBytes(), 12);
        QCOMPARE(sim->replyBytes(), 80);
    }

    void invalidSerialNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("letter I") << "I005";
        QTest::newRow("number past 2047") << "A2048";
        QTest::newRow("past 16 bits") << "65536";
        QTest::newRow("empty") << "";
    }

    void invalidSerialNumbers()
    {
        QFETCH(QString, text);
        QVERIFY(!KadrelSimulator::parseSerialNumber(text));
    }

    void headAndPages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("head");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("25 in pages of 10") << 25 << 24 << 10 << QList<int>{10, 10, 4, 0};
        QTest::newRow("positions across 0") << 25 << 7 << 10 << QList<int>{10, 10, 4, 0};
        QTest::newRow("one record") << 1 << 300 << 10 << QList<int>{0};
        QTest::newRow("pages of 255") << 600 << 599 << 255 << QList<int>{255, 255, 89, 0};
        QTest::newRow("exact pages") << 7 << 6 << 3 << QList<int>{3, 3, 0};
    }

    void headAndPages()
    {
        QFETCH(int, count);
        QFETCH(int, head);
        QFETCH(int, pageSize);
        QFETCH(QList<int>, pages);
        QVERIFY(start());
        const int size = sim->recordSize();
        const QByteArray records = numberedRecords(count, size);
        sim->setRecords(records, uint16_t(head));
        sim->setPageSize(pageSize);

        const QByteArray headReply = port->exchange(archHeadRequest());
        QVERIFY(wellFormed(headReply));
        QCOMPARE(headReply.size(), 12 + size);
        QCOMPARE(uint8_t(headReply[3]), uint8_t(cmdArchHead));
        QCOMPARE(word(headReply, 4), uint16_t(head));
        QCOMPARE(word(headReply, 6), uint16_t(count));
        QByteArray held = headReply.mid(8, size);
        QCOMPARE(absIndexOf(held), uint16_t(head));

        QList<int> seen;
        for (int page = 0; page < pages.size(); ++page) {
            const uint16_t last = absIndexOf(held.right(size));
            const QByteArray reply = port->exchange(archPageRequest(last));
            QVERIFY(wellFormed(reply));
            QCOMPARE(uint8_t(reply[3]), uint8_t(cmdArchPage));
            const int n = uint8_t(reply[4]);
            QCOMPARE(reply.size(), 12 + n * size);
            seen << n;
            held += reply.mid(8, n * size);
        }
        QCOMPARE(seen, pages);
        // Every record once, newest first, at consecutive positions down from the head.
        QCOMPARE(held.size(), records.size());
        for (int i = 0; i < count; ++i) {
            const QByteArray record = held.mid(i * size, size);
            QCOMPARE(absIndexOf(record), uint16_t(head - i));
            QCOMPARE(record.mid(4), records.mid(i * size + 4, size - 4));
        }
    }

    void pageRequests_data()
    {
        QTest::addColumn<int>("lastHeld");
        QTest::addColumn<int>("firstNum");
        QTest::addColumn<int>("n");
        // Eight records at positions 102 down to 95, Num 8 down to 1.
        QTest::newRow("above the head: from the head") << 103 << 8 << 3;
        QTest::newRow("after the head") << 102 << 7 << 3;
        QTest::newRow("near the end") << 97 << 2 << 2;
        QTest::newRow("after the oldest") << 95 << 0 << 0;
        QTest::newRow("below the archive") << 40 << 0 << 0;
    }

    void pageRequests()
    {
        QFETCH(int, lastHeld);
        QFETCH(int, firstNum);
        QFETCH(int, n);
        QVERIFY(start());
        sim->setRecords(numberedRecords(8, sim->recordSize()), 102);
        sim->setPageSize(3);
        const QByteArray reply = port->exchange(archPageRequest(uint16_t(lastHeld)));
        QVERIFY(wellFormed(reply));
        QCOMPARE(int(uint8_t(reply[4])), n);
        if (n > 0)
            QCOMPARE(int(reinterpret_cast<const TArchBase*>(reply.constData() + 8)->Num), firstNum);
    }

    void emptyArchiveHead()
    {
        QVERIFY(start());
        sim->setRecords({}, 0);
        const QByteArray reply = port->exchange(archHeadRequest());
        QVERIFY(wellFormed(reply));
        QCOMPARE(word(reply, 6), uint16_t(0));
        // The reader recognises the missing head by its position.
        QVERIFY(absIndexOf(reply.mid(8)) != word(reply, 4));
        const QByteArray page = port->exchange(archPageRequest(0));
        QVERIFY(wellFormed(page));
        QCOMPARE(uint8_t(page[4]), uint8_t(0));
    }

    void headMismatch()
    {
        QVERIFY(start());
        sim->setRecords(numberedRecords(5, sim->recordSize()), 20);
        SimFaults faults;
        faults.headMismatch = true;
        sim->setFaults(faults);
        const QByteArray reply = port->exchange(archHeadRequest());
        QVERIFY(wellFormed(reply));
        QCOMPARE(absIndexOf(reply.mid(8)), uint16_t(20));
        QVERIFY(word(reply, 4) != 20);
    }

    void nameTable_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<int>("size");
        QTest::newRow("AN") << devAN << 288;
        QTest::newRow("TL") << devTL << 168;
        QTest::newRow("EG") << devEG << 168;
        QTest::newRow("FX") << devFX << 168;
    }

    void nameTable()
    {
        QFETCH(TKadrelType, model);
        QFETCH(int, size);
        QVERIFY(start(model));
        const QByteArray first = port->exchange(matReadRequest());
        QVERIFY(wellFormed(first));
        QCOMPARE(first.size(), 4 + size + 4);
        QCOMPARE(first.mid(4, size), InstrumentNameTable(model));

        QByteArray table(size, '\0');
        for (int i = 0; i < size; ++i)
            table[i] = char(i * 7 + 1);
        const QByteArray ack = port->exchange(matWriteRequest(table));
        QVERIFY(wellFormed(ack));
        QCOMPARE(ack.size(), 12);
        QCOMPARE(uint8_t(ack[3]), uint8_t(cmdMatWrite));
        QCOMPARE(port->exchange(matReadRequest()).mid(4, size), table);
        QCOMPARE(sim->nameTable(), table);

        // A table set short keeps the model's size.
        sim->setNameTable(table.left(10));
        QCOMPARE(port->exchange(matReadRequest()).mid(4, size),
                 table.left(10) + QByteArray(size - 10, '\0'));
    }

    void deletion_data()
    {
        QTest::addColumn<int>("absIndex");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("numsLeft");
        // Six records at positions 11 down to 6, Num 6 down to 1.
        QTest::newRow("the head") << 11 << 1 << QList<int>{5, 4, 3, 2, 1};
        QTest::newRow("middle") << 9 << 2 << QList<int>{6, 5, 2, 1};
        QTest::newRow("past the end") << 7 << 5 << QList<int>{6, 5, 4, 3};
        QTest::newRow("all") << 11 << 6 << QList<int>{};
        QTest::newRow("no such record") << 30 << 2 << QList<int>{6, 5, 4, 3, 2, 1};
    }

    void deletion()
    {
        QFETCH(int, absIndex);
        QFETCH(int, count);
        QFETCH(QList<int>, numsLeft);
        QVERIFY(start());
        const int size = sim->recordSize();
        sim->setRecords(numberedRecords(6, size), 11);
        sim->setPageSize(255);
        const QByteArray ack =
            port->exchange(resultDeleteRequest(uint16_t(absIndex), uint16_t(count)));
        QVERIFY(wellFormed(ack));
        QCOMPARE(ack.size(), 12);
        QCOMPARE(uint8_t(ack[3]), uint8_t(cmdResultDelete));

        // Read back as a reader does: the head, then a page after it.
        const QByteArray head = port->exchange(archHeadRequest());
        QVERIFY(wellFormed(head));
        QCOMPARE(int(word(head, 6)), numsLeft.size());
        QList<int> nums;
        if (!numsLeft.isEmpty()) {
            QCOMPARE(word(head, 4), absIndexOf(head.mid(8)));
            nums << reinterpret_cast<const TArchBase*>(head.constData() + 8)->Num;
            const QByteArray page = port->exchange(archPageRequest(word(head, 4)));
            QVERIFY(wellFormed(page));
            for (int i = 0; i < uint8_t(page[4]); ++i)
                nums << reinterpret_cast<const TArchBase*>(page.constData() + 8 + i * size)->Num;
        }
        QCOMPARE(nums, numsLeft);
    }

    void pageAfterDeletedRecord()
    {
        QVERIFY(start());
        sim->setRecords(numberedRecords(6, sim->recordSize()), 11);
        QVERIFY(wellFormed(port->exchange(resultDeleteRequest(9, 2))));
        // The reader still holds the record at 9; the next older one left is at 7.
        const QByteArray page = port->exchange(archPageRequest(9));
        QVERIFY(wellFormed(page));
        QCOMPARE(uint8_t(page[4]), uint8_t(2));
        QCOMPARE(absIndexOf(page.mid(8)), uint16_t(7));
    }

    void clockWrite()
    {
        QVERIFY(start());
        QVERIFY(!sim->clock().isValid());
        const QDateTime time(QDate(2024, 2, 29), QTime(23, 58, 7));
        const QByteArray ack = port->exchange(clockWriteRequest(time));
        QVERIFY(wellFormed(ack));
        QCOMPARE(ack.size(), 12);
        QCOMPARE(uint8_t(ack[3]), uint8_t(cmdClockWrite));
        QCOMPARE(sim->clock(), time);
    }

    void unansweredRequests_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<QByteArray>("request");
        QByteArray spoiled = devInfoRequest();
        spoiled[5] = 1;
        QTest::newRow("checksum spoiled") << devAN << spoiled;
        QTest::newRow("unknown command") << devAN << buildFrame(2, 12);
        QTest::newRow("clock frame too short") << devAN << buildFrame(cmdClockWrite, 12);
        QTest::newRow("page request of 8 bytes") << devAN << buildFrame(cmdArchPage, 8);
        QTest::newRow("QM has no archive") << devQM << archHeadRequest();
        QTest::newRow("QM has no name table") << devQM << matReadRequest();
    }

    void unansweredRequests()
    {
        QFETCH(TKadrelType, model);
        QFETCH(QByteArray, request);
        QVERIFY(start(model));
        // Sent together: the first reply to arrive must be the identification's.
        port->send(request + devInfoRequest());
        QTRY_COMPARE(port->frames.size(), size_t(1));
        QCOMPARE(uint8_t(port->frames[0][3]), uint8_t(cmdDevInfo));
        QCOMPARE(sim->requestCount(), 2);
    }

    void archiveFile()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath("a.kadrel1an");
        const QByteArray records = numberedRecords(4, 96);
        TArchiveList list;
        // Stored out of order, with positions from another instrument's memory.
        for (int i : {2, 0, 3, 1}) {
            auto entry = std::make_unique<RawEntry>(records.mid(i * 96, 96));
            reinterpret_cast<TArchBase*>(entry->bytes.data())->AbsIndex = uint16_t(500 - i);
            list.push_back(std::move(entry));
        }
        TKadrelInfo info{};
        info.DevType = devAN;
        info.SerialNumber = 0x1234;
        WriteArchiveFile(fileName, info, list, 96);

        KadrelSimulator sim(devAN);
        QVERIFY(sim.loadArchiveFile(fileName));
        QCOMPARE(uint16_t(sim.info().SerialNumber), uint16_t(0x1234));
        QCOMPARE(sim.memory().count(), 4);
        QCOMPARE(sim.memory().head(), uint16_t(500));
        for (int i = 0; i < 4; ++i) {
            const QByteArray record = sim.memory().record(i);
            QCOMPARE(absIndexOf(record), uint16_t(500 - i));
            QCOMPARE(record.mid(4), records.mid(i * 96 + 4, 92));
        }
        QVERIFY(!sim.loadArchiveFile(dir.filePath("missing.kadrel1an")));
        QCOMPARE(sim.memory().count(), 4);
    }

    void linkPath()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyKADREL");
        {
            KadrelSimulator sim(devTL);
            QVERIFY(sim.open());
            QVERIFY(sim.setLinkPath(link));
            QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portName());
            RawPort port(link);
            QVERIFY(port.open());
            port.send(devInfoRequest());
            QTRY_COMPARE(port.frames.size(), size_t(1));
        }
        QVERIFY(!QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
