// Faults on the line and at the instrument, each survived without losing a record: replies
// split anywhere, joined, surrounded by noise or lost, an instrument unplugged in the middle
// of a read, silent, busy or vanishing during the scan, and a burst of plugging.
#include "reliability_fixture.h"

#include "link/frame.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"
#include "models/kadrel_an.h"
#include "models/kadrel_eg.h"
#include "models/kadrel_fx.h"
#include "models/kadrel_tl.h"
#include "sim/archive_generator.h"

#include <QComboBox>
#include <QSerialPort>

using namespace kadrel;

namespace
{

// A model driver whose receive handler is reached without a port.
template <class TDriver> class TReceiving : public TDriver
{
public:
    using TDriver::ComPortRxBuf;
};

struct TReceiver {
    IKadrelPtr Driver;
    std::function<void(const QByteArray&)> Receive;
};

template <class TDriver> TReceiver Receiver()
{
    const auto driver = std::make_shared<TReceiving<TDriver>>();
    TReceiving<TDriver>* receiving = driver.get();
    return {driver, [receiving](const QByteArray& frame) {
                receiving->ComPortRxBuf(frame);
            }};
}

TReceiver ReceiverOf(TKadrelType model)
{
    switch (model) {
    case devAN:
        return Receiver<TKadrelAN>();
    case devTL:
        return Receiver<TKadrelTL>();
    case devEG:
        return Receiver<TKadrelEG>();
    default:
        return Receiver<TKadrelFX>();
    }
}

// The head reply and one page of `records` (newest first, the head at AbsIndex `count` - 1)
// back to back, as one stream.
QByteArray HeadAndPage(const QByteArray& records, int recordSize)
{
    const int count = int(records.size()) / recordSize;
    QByteArray numbered = records;
    for (int i = 0; i < count; ++i)
        qToLittleEndian<uint16_t>(uint16_t(count - 1 - i), numbered.data() + i * recordSize + 2);
    QByteArray head(4, '\0');
    qToLittleEndian<uint16_t>(uint16_t(count - 1), head.data());
    qToLittleEndian<uint16_t>(uint16_t(count), head.data() + 2);
    head.append(numbered.left(recordSize));
    QByteArray page(4, '\0');
    page[0] = char(count - 1);
    page.append(numbered.mid(recordSize));
    return buildFrame(cmdArchHead, 12 + recordSize, head) +
           buildFrame(cmdArchPage, 12 + (count - 1) * recordSize, page);
}

// The instrument's archive as a driver holds it after a read.
QByteArray Numbered(const QByteArray& stream, int recordSize, int count)
{
    QByteArray records = stream.mid(8, recordSize);
    records.append(stream.mid(12 + recordSize + 8, (count - 1) * recordSize));
    return records;
}

} // namespace

class TestLineFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<TRig> m_rig;

    // The window's records against the instrument's archive, with one copy in the backup.
    void expectWholeArchive(KadrelSimulator* instrument, const QString& backupFolder)
    {
        const int size = instrument->recordSize();
        QCOMPARE(HeldRecords(ActiveDriver, size), instrument->memory().bytes());
        QCOMPARE(m_rig->Window->BasicGridCells().RowCount(), instrument->memory().count() + 1);
        QVERIFY(m_rig->tablesShown());
        const QStringList backups = m_rig->backups(backupFolder);
        QCOMPARE(backups.size(), 1);
        IKadrelPtr copy = CreateModelDriver(instrument->model());
        QVERIFY(copy->LoadFromFile(m_rig->backupPath(backupFolder, backups.first())));
        QCOMPARE(HeldRecords(copy, size), instrument->memory().bytes());
    }

private slots:
    void init() { m_rig = std::make_unique<TRig>(); }
    void cleanup() { m_rig.reset(); }

    void replySplitAtEveryByte_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::newRow("AN") << devAN;
        QTest::newRow("TL") << devTL;
        QTest::newRow("EG") << devEG;
        QTest::newRow("FX") << devFX;
    }

    // The head reply and a page, as one stream cut in two at every byte and as single bytes,
    // through the reassembly the port layer does.
    void replySplitAtEveryByte()
    {
        QFETCH(TKadrelType, model);
        const int size = ModelInfo(model)->RecordSize;
        const int count = 4;
        const QByteArray stream = HeadAndPage(
            sim::GenerateRecords(model, count, 5, sim::InstrumentNameTable(model)), size);
        const QByteArray expected = Numbered(stream, size, count);

        for (int cut = 0; cut <= stream.size(); ++cut) {
            QList<QByteArray> chunks = {stream.left(cut), stream.mid(cut)};
            if (cut == stream.size()) {
                chunks.clear();
                for (char byte : stream)
                    chunks << QByteArray(1, byte);
            }
            TReceiver receiver = ReceiverOf(model);
            int completed = 0;
            receiver.Driver->SetCallback(
                [&completed](TOperationType op) { completed += op == otArchReadComplete; });
            receiver.Driver->ReadArchive();
            FrameAssembler assembler;
            for (const QByteArray& chunk : chunks)
                for (const QByteArray& frame : assembler.feed(chunk))
                    receiver.Receive(frame);
            QVERIFY2(completed == 1, qPrintable(QString("cut at %1").arg(cut)));
            QCOMPARE(HeldRecords(receiver.Driver, size), expected);
        }
    }

    void readThroughFaults_data()
    {
        QTest::addColumn<int>("chunkBytes");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<bool>("paced");
        QTest::addColumn<QByteArray>("garbage");
        QTest::addColumn<int>("dropReply");
        QTest::addColumn<int>("joinReply");
        // Replies count from 1: the scan's identification, the connection's, the head, then
        // the pages of 10, 10 and 4 records.
        static const char noiseBytes[] = "\x00\xFF line noise \x80\x03\x00\x13\x80\x0A";
        const QByteArray noise(noiseBytes, sizeof noiseBytes - 1);
        QTest::newRow("replies byte by byte") << 1 << 0 << false << QByteArray() << 0 << 0;
        QTest::newRow("chunks of 7, 3 ms apart") << 7 << 3 << false << QByteArray() << 0 << 0;
        QTest::newRow("the wire's pace") << 0 << 0 << true << QByteArray() << 0 << 0;
        QTest::newRow("noise before and between replies") << 0 << 0 << false << noise << 0 << 0;
        QTest::newRow("a page lost, read again") << 0 << 0 << false << QByteArray() << 5 << 0;
        QTest::newRow("the first page lost in a split line, read again")
            << 5 << 1 << false << QByteArray() << 4 << 0;
        QTest::newRow("the head reply joined to the next, read again")
            << 0 << 0 << false << QByteArray() << 0 << 3;
        QTest::newRow("noise and a lost page, read again") << 0 << 0 << false << noise << 6 << 0;
    }

    void readThroughFaults()
    {
        QFETCH(int, chunkBytes);
        QFETCH(int, gapMs);
        QFETCH(bool, paced);
        QFETCH(QByteArray, garbage);
        QFETCH(int, dropReply);
        QFETCH(int, joinReply);
        KadrelSimulator* instrument = m_rig->addInstrument(devAN, SerialA(5), 25, 1);
        SimFaults faults;
        faults.timing = {chunkBytes, gapMs, paced};
        faults.garbage = garbage;
        faults.dropReply = dropReply;
        faults.joinReply = joinReply;
        instrument->setFaults(faults);

        m_rig->start();
        const int stalledAt = std::max(dropReply, joinReply);
        if (stalledAt > 0) {
            // The read waits for a reply that does not come; nothing is shown meanwhile.
            QVERIFY(m_rig->waitFor([&] { return instrument->requestCount() >= stalledAt; }));
            QTest::qWait(300);
            QCOMPARE(m_rig->Shown->count(), 0);
            QCOMPARE(m_rig->status(), QStringLiteral("Archive is being read..."));
            m_rig->trigger("ActionRead");
        }
        QVERIFY(m_rig->waitForArchives(1));
        QVERIFY2(m_rig->status().startsWith("Archive readed: "), qPrintable(m_rig->status()));
        expectWholeArchive(instrument, "AN-A005");
    }

    // The records already read stay on show and can be saved; the port reports one failure.
    void hangUpDuringRead()
    {
        KadrelSimulator* instrument = m_rig->addInstrument(devTL, SerialA(7), 25, 1);
        SimFaults faults;
        faults.hangUpAfter = 4; // identification twice, the head and the first page
        instrument->setFaults(faults);
        const QByteArray firstEleven = instrument->memory().bytes().left(11 * 84);

        m_rig->start();
        QVERIFY(m_rig->waitFor([&] { return m_rig->status() == "Device disconnected"; }));
        QTest::qWait(500);
        QCOMPARE(m_rig->events(otDevDisconnected), 1);
        QCOMPARE(m_rig->events(otArchReadComplete), 0);
        QCOMPARE(HeldRecords(ActiveDriver, 84), firstEleven);
        QVERIFY(m_rig->tablesShown());
        QCOMPARE(m_rig->Window->BasicGridCells().RowCount(), 12);

        const QString saved = m_rig->file("partial.kadrel1tl");
        m_rig->Prompts->SaveFiles << saved;
        m_rig->trigger("ActionSaveAs");
        QCOMPARE(m_rig->Prompts->Errors, QStringList());
        QCOMPARE(m_rig->status(), QStringLiteral("File saved"));
        IKadrelPtr copy = CreateModelDriver(devTL);
        QVERIFY(copy->LoadFromFile(saved));
        QCOMPARE(HeldRecords(copy, 84), firstEleven);
    }

    void silentInstrument_data()
    {
        QTest::addColumn<bool>("answersScan");
        QTest::newRow("silent from the start") << false;
        QTest::newRow("silent once identified") << true;
    }

    // Start-up ends whatever an instrument does; a silent one holds up nothing else, and once
    // it speaks again choosing it reads it whole.
    void silentInstrument()
    {
        QFETCH(bool, answersScan);
        KadrelSimulator* mute = m_rig->addInstrument(devAN, SerialA(1), 8, 1);
        KadrelSimulator* other = m_rig->addInstrument(devFX, SerialA(2), 6, 2);
        connect(mute, &KadrelSimulator::requestReceived, mute, [mute, answersScan] {
            SimFaults faults;
            faults.silent = !answersScan || mute->requestCount() > 1;
            mute->setFaults(faults);
        });

        m_rig->start();
        auto* box = m_rig->Window->findChild<QComboBox*>(QStringLiteral("sDevSelectBox"));
        QVERIFY(box);
        if (!answersScan) {
            QCOMPARE(box->count(), 1);
            QCOMPARE(box->itemText(0), QStringLiteral("Кадрель-1.ФХ № A002"));
            QVERIFY(m_rig->waitForArchives(1));
            QCOMPARE(HeldRecords(ActiveDriver, 76), other->memory().bytes());
            return;
        }
        // The first instrument answered the scan and was chosen; its connection waits.
        QCOMPARE(box->count(), 2);
        QTest::qWait(500);
        QCOMPARE(m_rig->Shown->count(), 0);
        QCOMPARE(int(ActiveDriver->GetDevType()), int(devUnknown));

        disconnect(mute, &KadrelSimulator::requestReceived, mute, nullptr);
        mute->setFaults({});
        box->setCurrentIndex(0);
        emit box->activated(0);
        QVERIFY(m_rig->waitForArchives(1));
        QCOMPARE(HeldRecords(ActiveDriver, 96), mute->memory().bytes());
    }

    // Another program holds the port: the choice is refused with a message, and the records
    // on show before are in their backup.
    void busyPort()
    {
        KadrelSimulator* first = m_rig->addInstrument(devAN, SerialA(1), 12, 1);
        KadrelSimulator* busy = m_rig->addInstrument(devEG, SerialA(2), 3, 2);
        m_rig->start();
        QVERIFY(m_rig->waitForArchives(1));
        QSerialPort holder;
        holder.setPortName(m_rig->port(2));
        QVERIFY(holder.open(QIODevice::ReadWrite));

        auto* box = m_rig->Window->findChild<QComboBox*>(QStringLiteral("sDevSelectBox"));
        box->setCurrentIndex(1);
        emit box->activated(1);

        QCOMPARE(m_rig->status(), QStringLiteral("Failed to connect - port busy"));
        const QStringList backups = m_rig->backups("AN-A001");
        QCOMPARE(backups.size(), 1);
        IKadrelPtr copy = CreateModelDriver(devAN);
        QVERIFY(copy->LoadFromFile(m_rig->backupPath("AN-A001", backups.first())));
        QCOMPARE(HeldRecords(copy, 96), first->memory().bytes());

        // Free again, the port is chosen and read.
        holder.close();
        emit box->activated(1);
        QVERIFY(m_rig->waitForArchives(2));
        QCOMPARE(HeldRecords(ActiveDriver, 84), busy->memory().bytes());
    }

    // An instrument unplugged by the identification request itself is left out of the list,
    // the others are listed, and it is listed again when it comes back.
    void portVanishesDuringScan()
    {
        KadrelSimulator* leaving = m_rig->addInstrument(devTL, SerialA(1), 4, 1);
        KadrelSimulator* staying = m_rig->addInstrument(devFX, SerialA(2), 5, 2);
        SimFaults faults;
        faults.hangUpAfter = 0;
        leaving->setFaults(faults);

        m_rig->start();
        auto* box = m_rig->Window->findChild<QComboBox*>(QStringLiteral("sDevSelectBox"));
        QCOMPARE(box->count(), 1);
        QVERIFY(m_rig->waitForArchives(1));
        QCOMPARE(HeldRecords(ActiveDriver, 76), staying->memory().bytes());
        QTest::qWait(500);
        QCOMPARE(box->count(), 1);

        m_rig->addInstrument(devTL, SerialA(1), 4, 1);
        QVERIFY(m_rig->waitFor([box] { return box->count() == 2; }));
        QCOMPARE(box->itemText(1), QStringLiteral("Kadrel-1.TL № A001"));
        QCOMPARE(HeldRecords(ActiveDriver, 76), staying->memory().bytes());
    }

    // A hundred plug and unplug events in a row: the list ends with exactly the instruments
    // attached, each once.
    void plugBurst()
    {
        std::vector<KadrelSimulator*> instruments = {m_rig->addInstrument(devAN, SerialA(1), 3, 0),
                                                     m_rig->addInstrument(devTL, SerialA(2), 3, 0),
                                                     m_rig->addInstrument(devFX, SerialA(3), 3, 0)};
        m_rig->start();
        auto* box = m_rig->Window->findChild<QComboBox*>(QStringLiteral("sDevSelectBox"));
        QCOMPARE(box->count(), 0);

        std::vector<bool> attached(instruments.size(), false);
        for (int event = 0; event < 100; ++event) {
            const size_t i = size_t(event) % instruments.size();
            const QString link = m_rig->port(int(i) + 1);
            attached[i] = !attached[i];
            if (attached[i])
                QVERIFY(QFile::link(instruments[i]->portName(), link));
            else
                QVERIFY(QFile::remove(link));
            if (event % 10 == 0)
                QTest::qWait(30);
        }

        const QStringList expected = {"Kadrel-1.FX № A003", "Kadrel-1.TL № A002"};
        const auto listed = [box] {
            QStringList texts;
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
            texts.sort();
            return texts;
        };
        QVERIFY2(m_rig->waitFor([&] { return listed() == expected; }),
                 qPrintable(listed().join(", ")));
        QTest::qWait(1000);
        QCOMPARE(listed(), expected);
    }
};

QTEST_MAIN(TestLineFaults)
#include "tst_line_faults.moc"
