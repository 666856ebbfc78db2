// The kadrel_sim program as scripts and demonstrations use it: the port and the link on
// standard output, an instrument answering on them, a clean end on SIGTERM, and refused
// options.
#include "raw_port.h"

#include "link/kadrel_types.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace kadrel;

class TestSimProgram : public QObject
{
    Q_OBJECT

private slots:
    void answersAndEndsCleanly()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyKADREL");
        QProcess sim;
        sim.start(KADREL_SIM_PROGRAM,
                  {"--model", "fx", "--serial", "C017", "--count", "30", "--link", link});
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY(sim.peek(4096).count('\n') >= 2);
        const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QCOMPARE(QString::fromLocal8Bit(sim.readLine()).trimmed(), link);
        QCOMPARE(QFileInfo(link).symLinkTarget(), port);

        RawPort raw(link);
        QVERIFY(raw.open());
        raw.send(devInfoRequest());
        raw.send(archHeadRequest());
        QTRY_COMPARE(raw.frames.size(), size_t(2));
        const auto* info = reinterpret_cast<const TKadrelInfo*>(raw.frames[0].constData() + 8);
        QCOMPARE(info->DevType, uint8_t(devFX));
        QCOMPARE(uint16_t(info->SerialNumber), uint16_t(3 << 11 | 17));
        QCOMPARE(raw.frames[1].size(), 12 + 76);
        QCOMPARE(uint8_t(raw.frames[1][6]), uint8_t(30));

        ::kill(pid_t(sim.processId()), SIGTERM);
        QVERIFY(sim.waitForFinished());
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void refusedOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown model") << QStringList{"--model", "xx"};
        QTest::newRow("serial letter O") << QStringList{"--serial", "O001"};
        QTest::newRow("too many records") << QStringList{"--count", "65536"};
        QTest::newRow("page of 256") << QStringList{"--page-size", "256"};
        QTest::newRow("missing file") << QStringList{"--file", "/nonexistent/a.kadrel1an"};
        QTest::newRow("file of no model") << QStringList{"--file", "archive.txt"};
    }

    void refusedOptions()
    {
        QFETCH(QStringList, arguments);
        QProcess sim;
        sim.start(KADREL_SIM_PROGRAM, arguments);
        QVERIFY(sim.waitForFinished());
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardOutput().isEmpty());
        QVERIFY(sim.readAllStandardError().startsWith("kadrel_sim: "));
    }
};

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_sim_program.moc"
