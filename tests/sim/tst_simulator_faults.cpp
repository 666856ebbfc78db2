// The simulated instrument's faults as a bare serial port sees them: split, joined, noisy,
// dropped and missing replies, the wire's pace and an unplugged line.
#include "raw_port.h"

#include "sim/kadrel_simulator.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace kadrel;
using namespace kadrel::sim;

class TestSimulatorFaults : public QObject
{
    Q_OBJECT

private:
    bool start()
    {
        sim = std::make_unique<KadrelSimulator>(devAN);
        sim->generateArchive(40, 7);
        if (!sim->open())
            return false;
        port = std::make_unique<RawPort>(sim->portName());
        return port->open();
    }

    // What the instrument answers to `requests` without faults, byte for byte.
    QByteArray faultlessReplies(const QList<QByteArray>& requests)
    {
        KadrelSimulator clean(devAN);
        clean.generateArchive(40, 7);
        if (!clean.open())
            return {};
        RawPort cleanPort(clean.portName());
        if (!cleanPort.open())
            return {};
        for (const QByteArray& request : requests) {
            if (cleanPort.exchange(request).isEmpty())
                return {};
        }
        return cleanPort.received;
    }

    // Lets the event loop run long enough for a reply sent at once to arrive.
    static void settle() { QTest::qWait(100); }

    std::unique_ptr<KadrelSimulator> sim;
    std::unique_ptr<RawPort> port;

private slots:
    void cleanup()
    {
        port.reset();
        sim.reset();
    }

    void timing_data()
    {
        QTest::addColumn<int>("chunkBytes");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<bool>("paced");
        QTest::newRow("single bytes") << 1 << 0 << false;
        QTest::newRow("chunks of 5 with gaps") << 5 << 3 << false;
        QTest::newRow("chunks of 17 with gaps") << 17 << 10 << false;
        QTest::newRow("wire pace") << 0 << 0 << true;
        QTest::newRow("wire pace in chunks of 64") << 64 << 2 << true;
    }

    void timing()
    {
        QFETCH(int, chunkBytes);
        QFETCH(int, gapMs);
        QFETCH(bool, paced);
        const QList<QByteArray> requests = {devInfoRequest(), archHeadRequest(),
                                            archPageRequest(39)};
        const QByteArray expected = faultlessReplies(requests);
        QVERIFY(!expected.isEmpty());

        QVERIFY(start());
        SimFaults faults;
        faults.timing = {chunkBytes, gapMs, paced};
        sim->setFaults(faults);
        // Sent at once: the replies queue up behind each other and keep their order.
        port->send(requests[0] + requests[1] + requests[2]);
        QTRY_COMPARE_WITH_TIMEOUT(port->received.size(), expected.size(), 10000);
        QCOMPARE(port->received, expected);
        QCOMPARE(port->frames.size(), size_t(3));
    }

    void joinedReplies()
    {
        const QByteArray expected = faultlessReplies({devInfoRequest(), matReadRequest()});
        QVERIFY(start());
        SimFaults faults;
        faults.joinReply = 1;
        sim->setFaults(faults);
        port->send(devInfoRequest());
        QTRY_COMPARE(sim->requestCount(), 1);
        settle();
        QVERIFY(port->received.isEmpty());
        port->send(matReadRequest());
        QTRY_COMPARE(port->frames.size(), size_t(2));
        QCOMPARE(port->received, expected);
    }

    void garbageBeforeReplies()
    {
        const QByteArray expected = faultlessReplies({devInfoRequest()});
        QVERIFY(start());
        SimFaults faults;
        faults.garbage = QByteArray("\x01\x80\x05\x00 noise", 10);
        sim->setFaults(faults);
        port->send(devInfoRequest());
        QTRY_COMPARE(port->received.size(), faults.garbage.size() + expected.size());
        QCOMPARE(port->received, faults.garbage + expected);
        QCOMPARE(port->frames.size(), size_t(1));
    }

    void droppedReply()
    {
        QVERIFY(start());
        SimFaults faults;
        faults.dropReply = 2;
        sim->setFaults(faults);
        port->send(devInfoRequest());
        QTRY_COMPARE(port->frames.size(), size_t(1));
        port->send(matReadRequest());
        port->send(archHeadRequest());
        QTRY_COMPARE(port->frames.size(), size_t(2));
        QCOMPARE(uint8_t(port->frames[0][3]), uint8_t(cmdDevInfo));
        QCOMPARE(uint8_t(port->frames[1][3]), uint8_t(cmdArchHead));
        QCOMPARE(sim->requestCount(), 3);
    }

    void silent()
    {
        QVERIFY(start());
        SimFaults faults;
        faults.silent = true;
        sim->setFaults(faults);
        port->send(devInfoRequest());
        QTRY_COMPARE(sim->requestCount(), 1);
        settle();
        QVERIFY(port->received.isEmpty());
        // Speaking again, the instrument answers the next request.
        sim->setFaults({});
        port->send(devInfoRequest());
        QTRY_COMPARE(port->frames.size(), size_t(1));
    }

    void hangUp_data()
    {
        QTest::addColumn<int>("after");
        QTest::newRow("at the first request") << 0;
        QTest::newRow("after two replies") << 2;
    }

    void hangUp()
    {
        QFETCH(int, after);
        QTemporaryDir dir;
        QVERIFY(start());
        const QString link = dir.filePath("ttyKADREL");
        QVERIFY(sim->setLinkPath(link));
        QSignalSpy hungUp(sim.get(), &KadrelSimulator::hungUp);
        SimFaults faults;
        faults.hangUpAfter = after;
        sim->setFaults(faults);
        for (int i = 0; i < after; ++i) {
            port->send(devInfoRequest());
            QTRY_COMPARE(port->frames.size(), size_t(i + 1));
        }
        QCOMPARE(port->errors, 0);
        port->send(devInfoRequest());
        QTRY_VERIFY(port->errors > 0);
        QCOMPARE(hungUp.size(), 1);
        QVERIFY(!sim->isOpen());
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(port->frames.size(), size_t(after));
    }
};

QTEST_GUILESS_MAIN(TestSimulatorFaults)
#include "tst_simulator_faults.moc"
