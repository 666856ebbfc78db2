// Date, time and number cells of the record tables, from ordinary records and from records
// whose fields hold what no clock gives.
#include "models/cell_text.h"

#include <QtTest>

class TestCellText : public QObject
{
    Q_OBJECT

private slots:
    void cells_data();
    void cells();
};

void TestCellText::cells_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("num");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("number");

    QTest::newRow("ordinary") << 31 << 1 << 24 << 23 << 59 << 3 << "31.01.2024"
                              << "23:59"
                              << "3";
    QTest::newRow("single digits padded") << 5 << 6 << 7 << 9 << 5 << 12 << "05.06.2007"
                                          << "09:05"
                                          << "12";
    QTest::newRow("zeros") << 0 << 0 << 0 << 0 << 0 << 0 << "00.00.2000"
                           << "00:00"
                           << "0";
    QTest::newRow("largest fields") << 127 << 127 << 127 << 127 << 127 << 65535 << "127.127.2127"
                                    << "127:127"
                                    << "65535";
    QTest::newRow("negative fields") << -5 << -128 << -1 << -7 << -10 << 1 << "-05.-128.1999"
                                     << "-07:-10"
                                     << "1";
}

void TestCellText::cells()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, num);
    TArchBase base{};
    base.Num = uint16_t(num);
    base.DateTime = {int8_t(minute), int8_t(hour), int8_t(day), int8_t(month), int8_t(year)};
    QTEST(DateCell(base), "date");
    QTEST(TimeCell(base), "time");
    QTEST(NumCell(base), "number");
}

QTEST_GUILESS_MAIN(TestCellText)
#include "tst_cell_text.moc"
