// Model FX: forces of fasteners in kN or kgf, their mean and spread, the diameter, the
// tables in both languages and with both decimal separators, malformed records and the
// factory names.
#include "models/kadrel_fx.h"
#include "objmodel_fixture.h"

#include <QtTest>

namespace
{

// 01.05.2024 10:00, measurement 9, fastener "Анкер 12", diameter 12.
TArchFX record(const QList<float>& forces, int probeCount = -1)
{
    TArchFX rec{};
    rec.Base.Num = 9;
    rec.Base.DateTime = {0, 10, 1, 5, 24};
    rec.diameter = 12;
    putObjName(rec.ObjFX, QStringLiteral("Анкер 12"));
    putProbes(rec, forces, probeCount);
    return rec;
}

} // namespace

class TestKadrelFX : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { useLocale(false); }

    void tables_data();
    void tables();
    void titles_data();
    void titles();
    void malformedRecords_data();
    void malformedRecords();
    void emptyList();
    void factoryNames();
};

void TestKadrelFX::tables_data()
{
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<QString>("spread");
    QTest::addColumn<QString>("firstForce");

    QTest::newRow("kN") << int(dtMPa) << false << "2.5"
                        << "20.00"
                        << "2";
    QTest::newRow("kgf") << int(dtkgs) << false << "254.93"
                         << "20.00"
                         << "203.94";
    QTest::newRow("kgf, comma") << int(dtkgs) << true << "254,93"
                                << "20,00"
                                << "203,94";
}

void TestKadrelFX::tables()
{
    QFETCH(int, dimension);
    QFETCH(bool, comma);
    QFETCH(QString, mean);
    QFETCH(QString, spread);
    QFETCH(QString, firstForce);
    useLocale(comma);

    const auto driver = newDriver<TKadrelFX>(enUS, TDimensionType(dimension));
    driver->Append(record({2000, 2500, 3000}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.ColCount(), 7);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(rowTexts(grid, 1), (QStringList{"01.05.2024", "10:00", "9", mean, spread,
                                             QStringLiteral("Анкер 12"), "12"}));

    driver->UpdateDetailGrid(grid, 0);
    QCOMPARE(grid.ColCount(), 2);
    QCOMPARE(grid.RowCount(), 4);
    QCOMPARE(rowTexts(grid, 1), (QStringList{"1", firstForce}));
}

void TestKadrelFX::titles_data()
{
    addTitleColumns();

    QTest::newRow("ru, kN") << int(ruRU) << int(dtMPa)
                            << QStringList{"Дата", "Время",  "№",      "F, кН",
                                           "E,%",  "Крепёж", "Диаметр"}
                            << QStringList{"№", "F, кН"};
    QTest::newRow("ru, kgf") << int(ruRU) << int(dtkgs)
                             << QStringList{"Дата", "Время",  "№",      "F, кгс",
                                            "E,%",  "Крепёж", "Диаметр"}
                             << QStringList{"№", "F, кгс"};
    QTest::newRow("en, kN") << int(enUS) << int(dtMPa)
                            << QStringList{"Date", "Time",     "№",       "F, kN",
                                           "E,%",  "Fastener", "Diameter"}
                            << QStringList{"№", "F, kN"};
    QTest::newRow("en, kgf") << int(enUS) << int(dtkgs)
                             << QStringList{"Date", "Time",     "№",       "F, kgs",
                                            "E,%",  "Fastener", "Diameter"}
                             << QStringList{"№", "F, kgs"};
}

void TestKadrelFX::titles()
{
    checkTitles<TKadrelFX>();
}

void TestKadrelFX::malformedRecords_data()
{
    QTest::addColumn<int>("probeCount");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<int>("detailRows");

    QTest::newRow("no probes") << 0 << "NAN" << 2;
    QTest::newRow("count beyond the record") << 7 << "2" << 6;
    QTest::newRow("count 255") << 255 << "2" << 6;
}

void TestKadrelFX::malformedRecords()
{
    QFETCH(int, probeCount);
    QFETCH(QString, mean);
    QFETCH(int, detailRows);

    const auto driver = newDriver<TKadrelFX>();
    driver->Append(record({2000, 2000, 2000, 2000, 2000}, probeCount));
    driver->Append(record({3000}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.RowCount(), 3);
    QCOMPARE(grid.Cell(3, 1), mean);
    QCOMPARE(grid.Cell(4, 1), QStringLiteral("0.00"));
    QCOMPARE(grid.Cell(3, 2), QStringLiteral("3"));

    driver->UpdateDetailGrid(grid, 0);
    QCOMPARE(grid.RowCount(), detailRows);
    QCOMPARE(grid.Cell(1, 1), detailRows > 2 ? QStringLiteral("2") : QString());
}

void TestKadrelFX::emptyList()
{
    checkEmptyTables<TKadrelFX>(7, 2, -1);
}

void TestKadrelFX::factoryNames()
{
    const QStringList names = {"Brick",     "Stone",     "No name-1", "No name-2",
                               "No name-3", "No name-4", "No name-5", "No name-6"};
    checkFactoryNamesGrid<TKadrelFX>(enUS, QStringLiteral("Object"), names);
}

QTEST_GUILESS_MAIN(TestKadrelFX)
#include "tst_kadrel_fx.moc"
