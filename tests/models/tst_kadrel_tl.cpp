// Model TL: strengths over rectangular and circular breakaway areas, the three tables in
// both languages, units and decimal separators, malformed records, the object-name table as
// it reaches the instrument, and removing records.
#include "models/kadrel_tl.h"
#include "objmodel_fixture.h"

#include <QtTest>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace
{

uint32_t rectangle(int h, int w)
{
    return uint32_t(w) << 16 | uint32_t(h) << 1;
}

uint32_t circle(int diameter)
{
    return uint32_t(diameter) << 16 | 1;
}

// 05.03.2021 09:07, measurement 12, on "Плитка".
TArchTL record(uint32_t geometry, const QList<float>& forces, int probeCount = -1)
{
    TArchTL rec{};
    rec.Base.Num = 12;
    rec.Base.AbsIndex = 400;
    rec.Base.DateTime = {7, 9, 5, 3, 21};
    rec.Geometry = geometry;
    putObjName(rec.ObjTL, QStringLiteral("Плитка"));
    putProbes(rec, forces, probeCount);
    return rec;
}

QByteArray entryBytes(const TObjName& entry)
{
    return QByteArray(entry.Name, int(sizeof entry.Name));
}

// A name field: the text, its zero byte, then `rest` up to 21 bytes.
QByteArray field(const QString& text, char rest)
{
    QByteArray bytes = ToCp1251(text) + '\0';
    return bytes + QByteArray(21 - bytes.size(), rest);
}

} // namespace

Q_DECLARE_METATYPE(TArchTL)

class TestKadrelTL : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { useLocale(false); }

    void basicRow_data();
    void basicRow();
    void titles_data();
    void titles();
    void detailRows_data();
    void detailRows();
    void malformedRecords_data();
    void malformedRecords();
    void emptyListLeavesEmptyRows_data();
    void emptyListLeavesEmptyRows();
    void namesReachInstrumentCut();
    void objectNameOfEveryRecord();
    void namesGrid();
    void factoryNames_data();
    void factoryNames();
    void removeWithoutInstrument();
    void comments();
};

void TestKadrelTL::basicRow_data()
{
    QTest::addColumn<uint32_t>("geometry");
    QTest::addColumn<QList<float>>("forces");
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<QString>("spread");
    QTest::addColumn<QString>("geometryText");

    const QList<float> three = {5000, 5500, 4500};
    QTest::newRow("rectangle, MPa")
        << rectangle(50, 50) << three << int(enUS) << int(dtMPa) << false << "2"
        << "10.00"
        << "▯ 50✕50 mm";
    QTest::newRow("rectangle, kgf/cm2")
        << rectangle(50, 50) << three << int(enUS) << int(dtkgs) << false << "20.394"
        << "10.00"
        << "▯ 50✕50 mm";
    QTest::newRow("rectangle, comma")
        << rectangle(50, 50) << three << int(ruRU) << int(dtkgs) << true << "20,394"
        << "10,00"
        << "▯ 50✕50 мм";
    // The width is written first, then the side held in bits 1-15.
    QTest::newRow("unequal sides")
        << rectangle(20, 30) << QList<float>{600} << int(enUS) << int(dtMPa) << false << "1"
        << "0.00"
        << "▯ 30✕20 mm";
    QTest::newRow("circle") << circle(50) << QList<float>{5000} << int(ruRU) << int(dtMPa) << false
                            << "2.5465"
                            << "0.00"
                            << "◯ 50 мм";
    QTest::newRow("circle, comma")
        << circle(50) << QList<float>{5000} << int(ruRU) << int(dtMPa) << true << "2,5465"
        << "0,00"
        << "◯ 50 мм";
    // Over 1 mm2 the forces are the strengths: deviations of 5.678 % and 12.34 %.
    QTest::newRow("spread 5.678") << rectangle(1, 1) << QList<float>{1.05678f, 0.94322f}
                                  << int(enUS) << int(dtMPa) << false << "1"
                                  << "5.70"
                                  << "▯ 1✕1 mm";
    QTest::newRow("spread 12.34") << rectangle(1, 1) << QList<float>{1.1234f, 0.8766f} << int(enUS)
                                  << int(dtMPa) << false << "1"
                                  << "12.00"
                                  << "▯ 1✕1 mm";
}

void TestKadrelTL::basicRow()
{
    QFETCH(uint32_t, geometry);
    QFETCH(QList<float>, forces);
    QFETCH(int, lang);
    QFETCH(int, dimension);
    QFETCH(bool, comma);
    QFETCH(QString, mean);
    QFETCH(QString, spread);
    QFETCH(QString, geometryText);
    useLocale(comma, QLocale(QLocale::Russian, QLocale::Russia));

    const auto driver = newDriver<TKadrelTL>(TLang(lang), TDimensionType(dimension));
    driver->Append(record(geometry, forces));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.ColCount(), 7);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(rowTexts(grid, 1), (QStringList{"05.03.2021", "09:07", "12", mean, spread,
                                             QStringLiteral("Плитка"), geometryText}));
}

void TestKadrelTL::titles_data()
{
    addTitleColumns();

    QTest::newRow("ru, MPa") << int(ruRU) << int(dtMPa)
                             << QStringList{"Дата",   "Время",           "№", "R, МПа", "E,%",
                                            "Объект", "Геометрия отрыва"}
                             << QStringList{"№", "F, кН", "R, МПа"};
    QTest::newRow("ru, kgf") << int(ruRU) << int(dtkgs)
                             << QStringList{"Дата",   "Время",           "№", "R, кгс/см²", "E,%",
                                            "Объект", "Геометрия отрыва"}
                             << QStringList{"№", "F, кгс", "R, кгс/см²"};
    QTest::newRow("en, MPa")
        << int(enUS) << int(dtMPa)
        << QStringList{"Date", "Time", "№", "R, MPa", "E,%", "object", "Breakaway geometry"}
        << QStringList{"№", "F, kN", "R, MPa"};
    QTest::newRow("en, kgf")
        << int(enUS) << int(dtkgs)
        << QStringList{"Date", "Time", "№", "R, kgs/cm²", "E,%", "object", "Breakaway geometry"}
        << QStringList{"№", "F, kgs", "R, kgs/cm²"};
}

void TestKadrelTL::titles()
{
    checkTitles<TKadrelTL>();
}

void TestKadrelTL::detailRows_data()
{
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("probe1");
    QTest::addColumn<QStringList>("probe2");

    QTest::newRow("kN, MPa") << int(dtMPa) << false << QStringList{"1", "5", "2"}
                             << QStringList{"2", "5.5", "2.2"};
    QTest::newRow("kgf, kgf/cm2") << int(dtkgs) << false << QStringList{"1", "509.86", "20.394"}
                                  << QStringList{"2", "560.85", "22.434"};
    QTest::newRow("comma") << int(dtkgs) << true << QStringList{"1", "509,86", "20,394"}
                           << QStringList{"2", "560,85", "22,434"};
}

void TestKadrelTL::detailRows()
{
    QFETCH(int, dimension);
    QFETCH(bool, comma);
    QFETCH(QStringList, probe1);
    QFETCH(QStringList, probe2);
    useLocale(comma, QLocale(QLocale::Russian, QLocale::Russia));

    const auto driver = newDriver<TKadrelTL>(enUS, TDimensionType(dimension));
    driver->Append(record(rectangle(50, 50), {1000}));
    driver->Append(record(rectangle(50, 50), {5000, 5500, 4500}));
    TStringGrid grid;
    // The strengths are those of the latest record table.
    driver->UpdateBasicGrid(grid);
    driver->UpdateDetailGrid(grid, 1);
    QCOMPARE(grid.ColCount(), 3);
    QCOMPARE(grid.RowCount(), 4);
    QCOMPARE(rowTexts(grid, 1), probe1);
    QCOMPARE(rowTexts(grid, 2), probe2);
}

void TestKadrelTL::malformedRecords_data()
{
    QTest::addColumn<TArchTL>("rec");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<QString>("spread");
    QTest::addColumn<QStringList>("probe1");
    QTest::addColumn<int>("detailRows");

    const QList<float> five = {5000, 5000, 5000, 5000, 5000};
    QTest::newRow("no probes") << record(rectangle(50, 50), {}) << "NAN"
                               << "0.00" << QStringList{"", "", ""} << 2;
    QTest::newRow("count beyond the record") << record(rectangle(50, 50), five, 7) << "2"
                                             << "0.00" << QStringList{"1", "5", "2"} << 6;
    QTest::newRow("count 255") << record(rectangle(50, 50), five, 255) << "2"
                               << "0.00" << QStringList{"1", "5", "2"} << 6;
    QTest::newRow("zero side") << record(rectangle(0, 50), {5000}) << "INF"
                               << "0.00" << QStringList{"1", "5", "INF"} << 2;
    QTest::newRow("zero diameter") << record(circle(0), {-5000}) << "-INF"
                                   << "0.00" << QStringList{"1", "-5", "-INF"} << 2;
    QTest::newRow("zero force over zero area") << record(rectangle(50, 0), {0, 5000}) << "NAN"
                                               << "0.00" << QStringList{"1", "0", "NAN"} << 3;
}

void TestKadrelTL::malformedRecords()
{
    QFETCH(TArchTL, rec);
    QFETCH(QString, mean);
    QFETCH(QString, spread);
    QFETCH(QStringList, probe1);
    QFETCH(int, detailRows);

    const auto driver = newDriver<TKadrelTL>();
    driver->Append(rec);
    driver->Append(record(rectangle(50, 50), {5000}));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.RowCount(), 3);
    QCOMPARE(grid.Cell(3, 1), mean);
    QCOMPARE(grid.Cell(4, 1), spread);
    // The record after it is filled as usual.
    QCOMPARE(grid.Cell(3, 2), QStringLiteral("2"));

    driver->UpdateDetailGrid(grid, 0);
    QCOMPARE(grid.RowCount(), detailRows);
    QCOMPARE(rowTexts(grid, 1), probe1);
}

void TestKadrelTL::emptyListLeavesEmptyRows_data()
{
    QTest::addColumn<int>("idx");
    QTest::newRow("no selection") << -1;
    QTest::newRow("first") << 0;
    QTest::newRow("far beyond") << 100;
}

void TestKadrelTL::emptyListLeavesEmptyRows()
{
    QFETCH(int, idx);
    checkEmptyTables<TKadrelTL>(7, 3, idx);
}

// Records in a row on one object share its cell; a change of object shows at once.
void TestKadrelTL::objectNameOfEveryRecord()
{
    const QStringList names = {"Плитка", "Плитка", "Кирпич", "Плитка", "Плитка №2"};
    const auto driver = newDriver<TKadrelTL>();
    for (const QString& name : names) {
        TArchTL rec = record(rectangle(50, 50), {5000});
        putObjName(rec.ObjTL, name);
        driver->Append(rec);
    }
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QStringList shown;
    for (int r = 1; r < grid.RowCount(); ++r)
        shown << grid.Cell(5, r);
    QCOMPARE(shown, names);
}

void TestKadrelTL::namesReachInstrumentCut()
{
    // A pseudo terminal stands in for the instrument.
    int master = -1;
    int slave = -1;
    char name[256] = {};
    QCOMPARE(openpty(&master, &slave, name, nullptr, nullptr), 0);

    const auto driver = newDriver<TKadrelTL>();
    driver->FillNameTable(0xEE);
    QVERIFY(driver->Connect(QString::fromLocal8Bit(name)));
    TStringGrid grid;
    driver->UpdateMaterialsGrid(grid);
    const QString latin25 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY");
    const QString cyrillic25 = QStringLiteral("Облицовочная плитка серая");
    QCOMPARE(cyrillic25.size(), 25);
    grid.SetCell(0, 1, latin25);
    grid.SetCell(0, 2, cyrillic25);
    grid.SetCell(0, 3, QStringLiteral("Штукатурка"));
    grid.SetCell(0, 4, QString());
    driver->ApplyMaterials(grid);

    // Nineteen bytes and a zero; the byte behind the zero keeps its content.
    QCOMPARE(entryBytes(driver->ObjCfg(0)), ToCp1251(latin25.left(19)) + '\0' + '\xEE');
    QCOMPARE(entryBytes(driver->ObjCfg(1)), ToCp1251(cyrillic25.left(19)) + '\0' + '\xEE');
    QCOMPARE(entryBytes(driver->ObjCfg(2)), field(QStringLiteral("Штукатурка"), '\xEE'));
    QCOMPARE(entryBytes(driver->ObjCfg(3)), field(QString(), '\xEE'));

    QByteArray sent;
    pollfd wait = {master, POLLIN, 0};
    while (poll(&wait, 1, 200) > 0) {
        char buffer[512];
        const ssize_t count = read(master, buffer, sizeof buffer);
        if (count <= 0)
            break;
        sent.append(buffer, int(count));
    }
    driver->Disconnect();
    ::close(slave);
    ::close(master);

    // The identification request, then the name-table write.
    QCOMPARE(sent.size(), 12 + 304);
    const QByteArray frame = sent.mid(12);
    QCOMPARE(frame.left(4), QByteArray("\x80\x2E\x01\x04", 4));
    const auto& table = driver->NameTableBytesView();
    QCOMPARE(frame.mid(4, 168), QByteArray(reinterpret_cast<const char*>(table.data()), 168));
    QCOMPARE(frame.mid(4, 21), ToCp1251(latin25.left(19)) + '\0' + '\xEE');
}

void TestKadrelTL::namesGrid()
{
    const auto driver = newDriver<TKadrelTL>(ruRU);
    driver->ResetMaterials();
    TStringGrid grid;
    grid.SetFixedRows(0);
    driver->UpdateMaterialsGrid(grid);
    QCOMPARE(grid.ColCount(), 1);
    QCOMPARE(grid.RowCount(), 9);
    QCOMPARE(grid.FixedRows(), 1);
    QCOMPARE(grid.ColWidth(0), 260);
    QCOMPARE(grid.Cell(0, 0), QStringLiteral("Объект"));
    QCOMPARE(grid.Cell(0, 1), QStringLiteral("Облицов. плитка"));
    QCOMPARE(grid.Cell(0, 8), QStringLiteral("Без имени-4"));
    driver->SetLang(enUS);
    driver->UpdateMaterialsGrid(grid);
    QCOMPARE(grid.Cell(0, 0), QStringLiteral("Object"));
}

void TestKadrelTL::factoryNames_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("en") << int(enUS)
                        << QStringList{"Facing tile", "Paving flag", "Lacquer coat.", "Plaster",
                                       "No name-1",   "No name-2",   "No name-3",     "No name-4"};
    QTest::newRow("ru") << int(ruRU)
                        << QStringList{"Облицов. плитка", "Тротуарная плитка", "Лакокрас. покрытие",
                                       "Штукатурка",      "Без имени-1",       "Без имени-2",
                                       "Без имени-3",     "Без имени-4"};
}

void TestKadrelTL::factoryNames()
{
    QFETCH(int, lang);
    QFETCH(QStringList, names);

    const auto driver = newDriver<TKadrelTL>(TLang(lang));
    driver->FillNameTable(0xEE);
    QList<TOperationType> events;
    driver->SetCallback([&events](TOperationType op) { events << op; });
    driver->ResetMaterials();
    // Switching the language afterwards leaves the table as it is.
    driver->SetLang(lang == enUS ? ruRU : enUS);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(entryBytes(driver->ObjCfg(i)), field(names[i], '\xEE'));
    // Nothing is sent: a send without a port would be reported as a lost connection.
    QCoreApplication::processEvents();
    QVERIFY(events.isEmpty());
}

void TestKadrelTL::removeWithoutInstrument()
{
    const auto driver = newDriver<TKadrelTL>();
    for (int i = 0; i < 3; ++i) {
        TArchTL rec = record(rectangle(50, 50), {1000});
        rec.Base.Num = uint16_t(i + 1);
        driver->Append(rec, QString::number(i + 1));
    }
    QList<TOperationType> events;
    driver->SetCallback([&events](TOperationType op) { events << op; });
    driver->RemoveResults(0, 1, false);
    QCOMPARE(int(driver->Archive().size()), 2);
    QCOMPARE(driver->ArchTotal(), uint16_t(2));
    QCOMPARE(driver->GetComment(0), QStringLiteral("2"));
    QCOMPARE(events, QList<TOperationType>{otResultDelete});
    QCoreApplication::processEvents();
    QCOMPARE(events, QList<TOperationType>{otResultDelete});
}

void TestKadrelTL::comments()
{
    const auto driver = newDriver<TKadrelTL>();
    driver->Append(record(rectangle(50, 50), {1000}), QStringLiteral("first"));
    driver->Append(record(rectangle(50, 50), {1000}));
    driver->SetComment(1, QStringLiteral("second"));
    QCOMPARE(driver->GetComment(0), QStringLiteral("first"));
    QCOMPARE(driver->GetComment(1), QStringLiteral("second"));
    QCOMPARE(driver->GetComment(2), QString());
}

QTEST_GUILESS_MAIN(TestKadrelTL)
#include "tst_kadrel_tl.moc"
