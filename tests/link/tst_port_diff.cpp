// Which port came or went between the listed ports and the present ones.
#include "link/port_diff.h"

#include <QtTest>

class TestPortDiff : public QObject
{
    Q_OBJECT

private slots:
    void diff_data()
    {
        QTest::addColumn<QStringList>("known");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("port");

        QTest::newRow("nothing at all") << QStringList() << QStringList() << 0 << QString();
        QTest::newRow("same ports")
            << QStringList{"COM3", "COM7"} << QStringList{"COM7", "COM3"} << 0 << QString();
        QTest::newRow("same count, other names")
            << QStringList{"COM3"} << QStringList{"COM4"} << 0 << QString();
        QTest::newRow("first port") << QStringList() << QStringList{"COM5"} << +1 << "COM5";
        QTest::newRow("added at the end")
            << QStringList{"COM3"} << QStringList{"COM3", "COM4"} << +1 << "COM4";
        QTest::newRow("added in the middle")
            << QStringList{"COM2", "COM4"} << QStringList{"COM4", "COM3", "COM2"} << +1 << "COM3";
        // As text COM10 sorts before COM3, so it is the first difference.
        QTest::newRow("COM10 sorts before COM3")
            << QStringList{"COM3"} << QStringList{"COM3", "COM10"} << +1 << "COM10";
        QTest::newRow("removed, COM10 first")
            << QStringList{"COM3", "COM10"} << QStringList{"COM3"} << -1 << "COM10";
        QTest::newRow("last port removed") << QStringList{"COM7"} << QStringList() << -1 << "COM7";
        QTest::newRow("removed at the end")
            << QStringList{"COM2", "COM9"} << QStringList{"COM2"} << -1 << "COM9";
        QTest::newRow("case does not decide the order")
            << QStringList{"com2"} << QStringList{"COM1", "com2"} << +1 << "COM1";
        QTest::newRow("paths among port names")
            << QStringList{"ttyACM0"} << QStringList{"ttyACM0", "/tmp/sim/an"} << +1
            << "/tmp/sim/an";
    }

    void diff()
    {
        QFETCH(QStringList, known);
        QFETCH(QStringList, present);
        QFETCH(int, change);
        QFETCH(QString, port);

        const TPortDiff diff = DiffPorts(known, present);
        QCOMPARE(diff.Change, change);
        QCOMPARE(diff.Port, port);
    }
};

QTEST_APPLESS_MAIN(TestPortDiff)
#include "tst_port_diff.moc"
