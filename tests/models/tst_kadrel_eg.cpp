// Model EG: strengths over the tested area shown in kPa or kgf/cm2, the age coefficient Kt,
// the tables in both languages and with both decimal separators, malformed records and the
// factory names.
#include "models/kadrel_eg.h"
#include "objmodel_fixture.h"

#include <QtTest>

namespace
{

// 31.01.2024 23:59, measurement 3, on "Кирпич".
TArchEG record(int w, int l, int age, const QList<float>& forces, int probeCount = -1)
{
    TArchEG rec{};
    rec.Base.Num = 3;
    rec.Base.DateTime = {59, 23, 31, 1, 24};
    rec.W = uint16_t(w);
    rec.L = uint16_t(l);
    rec.Age = uint8_t(age);
    putObjName(rec.ObjEG, QStringLiteral("Кирпич"));
    putProbes(rec, forces, probeCount);
    return rec;
}

} // namespace

Q_DECLARE_METATYPE(TArchEG)

class TestKadrelEG : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { useLocale(false); }

    void basicRow_data();
    void basicRow();
    void ageCoefficient_data();
    void ageCoefficient();
    void titles_data();
    void titles();
    void detailRow_data();
    void detailRow();
    void malformedRecords_data();
    void malformedRecords();
    void emptyList();
    void factoryNames();
};

void TestKadrelEG::basicRow_data()
{
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<QString>("spread");

    QTest::newRow("kPa") << int(dtMPa) << false << "500"
                         << "0.00";
    QTest::newRow("kgf/cm2") << int(dtkgs) << false << "5.0986"
                             << "0.00";
    QTest::newRow("kgf/cm2, comma") << int(dtkgs) << true << "5,0986"
                                    << "0,00";
}

void TestKadrelEG::basicRow()
{
    QFETCH(int, dimension);
    QFETCH(bool, comma);
    QFETCH(QString, mean);
    QFETCH(QString, spread);
    useLocale(comma);

    const auto driver = newDriver<TKadrelEG>(ruRU, TDimensionType(dimension));
    driver->Append(record(40, 40, 28, {800}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.ColCount(), 9);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(rowTexts(grid, 1), (QStringList{"31.01.2024", "23:59", "3", mean, spread,
                                             QStringLiteral("Кирпич"), "40✕40", "28", "1"}));
}

void TestKadrelEG::ageCoefficient_data()
{
    QTest::addColumn<int>("age");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("kt");

    QTest::newRow("0") << 0 << false << "2";
    QTest::newRow("7") << 7 << false << "1.6";
    QTest::newRow("14") << 14 << false << "1.3";
    QTest::newRow("28") << 28 << false << "1";
    QTest::newRow("31, lowest") << 31 << false << "0.988";
    QTest::newRow("31, comma") << 31 << true << "0,988";
    QTest::newRow("60, rising again") << 60 << false << "1.82";
    QTest::newRow("255, not limited") << 255 << false << "52";
}

void TestKadrelEG::ageCoefficient()
{
    QFETCH(int, age);
    QFETCH(bool, comma);
    QFETCH(QString, kt);
    useLocale(comma);

    const auto driver = newDriver<TKadrelEG>();
    driver->Append(record(40, 40, age, {800}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.Cell(7, 1), QString::number(age));
    QCOMPARE(grid.Cell(8, 1), kt);
    // Kt is shown only; the strength stays that of force over area.
    QCOMPARE(grid.Cell(3, 1), QStringLiteral("500"));
}

void TestKadrelEG::titles_data()
{
    addTitleColumns();

    QTest::newRow("ru, kPa") << int(ruRU) << int(dtMPa)
                             << QStringList{"Дата",   "Время",  "№",       "R, кПа", "E,%",
                                            "Объект", "Размер", "Возраст", "Kt"}
                             << QStringList{"№", "F, кН", "R, кПа"};
    QTest::newRow("ru, kgf") << int(ruRU) << int(dtkgs)
                             << QStringList{"Дата",   "Время",  "№",       "R, кгс/см²", "E,%",
                                            "Объект", "Размер", "Возраст", "Kt"}
                             << QStringList{"№", "F, кгс", "R, кгс/см²"};
    QTest::newRow("en, kPa") << int(enUS) << int(dtMPa)
                             << QStringList{"Date",   "Time", "№",   "R, kPa", "E,%",
                                            "object", "Size", "Age", "Kt"}
                             << QStringList{"№", "F, kN", "R, kPa"};
    QTest::newRow("en, kgf") << int(enUS) << int(dtkgs)
                             << QStringList{"Date",   "Time", "№",   "R, kgs/cm²", "E,%",
                                            "object", "Size", "Age", "Kt"}
                             << QStringList{"№", "F, kgs", "R, kgs/cm²"};
}

void TestKadrelEG::titles()
{
    checkTitles<TKadrelEG>();
}

void TestKadrelEG::detailRow_data()
{
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("probe");

    QTest::newRow("kN, kPa") << int(dtMPa) << false << QStringList{"1", "0.8", "500"};
    QTest::newRow("kgf, kgf/cm2") << int(dtkgs) << false << QStringList{"1", "81.578", "5.0986"};
    QTest::newRow("comma") << int(dtkgs) << true << QStringList{"1", "81,578", "5,0986"};
}

void TestKadrelEG::detailRow()
{
    QFETCH(int, dimension);
    QFETCH(bool, comma);
    QFETCH(QStringList, probe);
    useLocale(comma);

    const auto driver = newDriver<TKadrelEG>(enUS, TDimensionType(dimension));
    driver->Append(record(40, 40, 28, {800}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    driver->UpdateDetailGrid(grid, 0);
    QCOMPARE(grid.ColCount(), 3);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(rowTexts(grid, 1), probe);
}

void TestKadrelEG::malformedRecords_data()
{
    QTest::addColumn<TArchEG>("rec");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<int>("detailRows");
    QTest::addColumn<QString>("probeStrength");

    QTest::newRow("no probes") << record(40, 40, 28, {}) << "NAN" << 2 << "";
    QTest::newRow("count beyond the record")
        << record(40, 40, 28, {800, 800, 800, 800, 800}, 7) << "500" << 6 << "500";
    QTest::newRow("zero width") << record(0, 40, 28, {800}) << "INF" << 2 << "INF";
    QTest::newRow("zero force over zero area") << record(40, 0, 28, {0}) << "NAN" << 2 << "NAN";
}

void TestKadrelEG::malformedRecords()
{
    QFETCH(TArchEG, rec);
    QFETCH(QString, mean);
    QFETCH(int, detailRows);
    QFETCH(QString, probeStrength);

    const auto driver = newDriver<TKadrelEG>();
    driver->Append(rec);
    driver->Append(record(40, 40, 28, {800}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.RowCount(), 3);
    QCOMPARE(grid.Cell(3, 1), mean);
    QCOMPARE(grid.Cell(4, 1), QStringLiteral("0.00"));
    QCOMPARE(grid.Cell(3, 2), QStringLiteral("500"));

    driver->UpdateDetailGrid(grid, 0);
    QCOMPARE(grid.RowCount(), detailRows);
    QCOMPARE(grid.Cell(2, 1), probeStrength);
}

void TestKadrelEG::emptyList()
{
    checkEmptyTables<TKadrelEG>(9, 3, 0);
}

void TestKadrelEG::factoryNames()
{
    const QStringList names = {"Кирпич",      "Камень",      "Без имени-1", "Без имени-2",
                               "Без имени-3", "Без имени-4", "Без имени-5", "Без имени-6"};
    checkFactoryNamesGrid<TKadrelEG>(ruRU, QStringLiteral("Объект"), names);
}

QTEST_GUILESS_MAIN(TestKadrelEG)
#include "tst_kadrel_eg.moc"
