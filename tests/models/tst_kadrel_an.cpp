// The model AN driver: its record, probe and material tables, material editing, record
// removal and the archive file round trip.
#include "link/kadrel_error.h"
#include "models/cp1251.h"
#include "models/kadrel_an.h"
#include "models/string_grid.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace
{

using Rows = QList<QStringList>;

constexpr uint8_t Big = 0x01;
constexpr uint8_t Thermal = 0x02;
constexpr uint8_t BigAggregate = 0x08;

// A driver whose record list and identification the test fills directly.
class TestDriver : public TKadrelAN
{
public:
    void Add(const TArchAN& arch, const QString& comment = QString())
    {
        auto rec = std::make_unique<TCalcAN>();
        rec->ArchRes = arch;
        rec->UserComment = comment;
        fArchive.push_back(std::move(rec));
        fArchTotal = uint16_t(fArchive.size());
    }
    void SetDevInfo(const TKadrelInfo& info) { fDevInfo = info; }
};

std::shared_ptr<TestDriver> MakeDriver(TLang lang = ruRU, TDimensionType dimension = dtMPa)
{
    auto driver = std::make_shared<TestDriver>();
    driver->SetLang(lang);
    driver->SetDimension(dimension);
    return driver;
}

void PutName(char (&field)[21], const QString& name)
{
    const QByteArray bytes = ToCp1251(name);
    std::memcpy(field, bytes.constData(), size_t(qMin<qsizetype>(bytes.size(), 21)));
}

// Heavy concrete with R = x, taken on 5 January 2024 at 9:07.
TArchAN Record(uint8_t conditions, const QList<TProbe>& probes, int probeCount = -1)
{
    TArchAN arch{};
    arch.Base.Num = 12;
    arch.Base.DateTime = {7, 9, 5, 1, 24};
    arch.Conditions = conditions;
    PutName(arch.Material.Name, QStringLiteral("Бетон тяжелый"));
    arch.Material.Ax[1] = 1.0f;
    arch.ProbeCount = uint8_t(probeCount < 0 ? probes.size() : probeCount);
    for (int i = 0; i < probes.size(); ++i)
        arch.Results[i] = probes[i];
    return arch;
}

TArchAN ThreeProbes()
{
    return Record(Big, {{30000, 0}, {32000, 0.5f}, {28000, 0}});
}

TArchAN WithAx(TArchAN arch, float a0, float a1, float a2)
{
    arch.Material.Ax[0] = a0;
    arch.Material.Ax[1] = a1;
    arch.Material.Ax[2] = a2;
    return arch;
}

QStringList RowOf(const TStringGrid& grid, int row)
{
    QStringList cells;
    for (int col = 0; col < grid.ColCount(); ++col)
        cells << grid.Cell(col, row);
    return cells;
}

// A grid as the window would hand it over after showing something else.
TStringGrid UsedGrid()
{
    TStringGrid grid;
    grid.SetColCount(7);
    grid.SetRowCount(6);
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 7; ++col)
            grid.SetCell(col, row, QStringLiteral("old"));
    return grid;
}

// Names of 21 bytes without a terminating zero, as the instrument may hold them.
TMatCfg FullNames()
{
    TMatCfg materials{};
    for (TMaterial& m : materials)
        std::memset(m.Name, 'Z', sizeof m.Name);
    return materials;
}

QByteArray NameBytes(const TMaterial& material)
{
    return QByteArray(material.Name, int(sizeof material.Name));
}

// The cyrillic capital A, which several column titles begin with.
const QString CyrA = QString(QChar(0x0410));

} // namespace

Q_DECLARE_METATYPE(TArchAN)

class TestKadrelAN : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void basicGrid_data();
    void basicGrid();
    void basicTitles_data();
    void basicTitles();
    void eachRowShowsItsOwnMaterial();
    void detailGrid_data();
    void detailGrid();
    void emptyTables();
    void materialEditsLeaveRecordsAlone();

    void materialsGrid_data();
    void materialsGrid();
    void applyNames_data();
    void applyNames();
    void applyCoefficients_data();
    void applyCoefficients();
    void applyStopsAtBadCoefficient_data();
    void applyStopsAtBadCoefficient();
    void resetMaterials_data();
    void resetMaterials();

    void removeResults();
    void archiveRoundTrip();

private:
    // Events the driver raised once the event loop had its turn; a send on the closed port
    // of a test driver shows up as otDevDisconnected.
    QList<TOperationType> EventsOf(TKadrelAN& driver, const std::function<void()>& action);
};

QList<TOperationType> TestKadrelAN::EventsOf(TKadrelAN& driver, const std::function<void()>& action)
{
    QList<TOperationType> events;
    driver.SetCallback([&events](TOperationType op) { events << op; });
    action();
    QCoreApplication::processEvents();
    driver.SetCallback(nullptr);
    return events;
}

void TestKadrelAN::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestKadrelAN::basicGrid_data()
{
    QTest::addColumn<TArchAN>("record");
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<QStringList>("cells");

    const QString heavy = QStringLiteral("Бетон тяжелый");
    QTest::newRow("three probes") << ThreeProbes() << int(ruRU) << int(dtMPa) << false
                                  << QStringList{"05.01.2024", "09:07",     "12",
                                                 "27.203",     "8.10",      "B 20",
                                                 heavy,        "НТ",        "≤ 50 мм",
                                                 "24 x 48 мм", "0.000E+00", "1.000E+00",
                                                 "0.000E+00"};
    QTest::newRow("three probes, kgf")
        << ThreeProbes() << int(ruRU) << int(dtkgs) << false
        << QStringList{"05.01.2024", "09:07",     "12",       "277.4",   "8.10",
                       "B 20",       heavy,       "НТ",       "≤ 50 мм", "24 x 48 мм",
                       "0.000E+00",  "1.000E+00", "0.000E+00"};
    QTest::newRow("three probes, English, decimal comma")
        << ThreeProbes() << int(enUS) << int(dtMPa) << true
        << QStringList{"05.01.2024", "09:07",     "12",       "27,203",  "8,10",
                       "B 20",       heavy,       "NH",       "≤ 50 mm", "24 x 48 mm",
                       "0,000E+00",  "1,000E+00", "0,000E+00"};
    QTest::newRow("one probe, English, kgf")
        << Record(Big, {{30000, 0}}) << int(enUS) << int(dtkgs) << false
        << QStringList{"05.01.2024", "09:07",     "12",       "275.32",  "0.00",
                       "B 20",       heavy,       "NH",       "≤ 50 mm", "24 x 48 mm",
                       "0.000E+00",  "1.000E+00", "0.000E+00"};
    QTest::newRow("small anchor, thermal, big aggregate")
        << Record(Thermal | BigAggregate, {{30000, 0}}) << int(ruRU) << int(dtMPa) << false
        << QStringList{"05.01.2024", "09:07",     "12",       "66",      "0.00",
                       "B 50",       heavy,       "ТО",       "> 50 мм", "16 x 35 мм",
                       "0.000E+00",  "1.000E+00", "0.000E+00"};
    QTest::newRow("same, English")
        << Record(Thermal | BigAggregate, {{30000, 0}}) << int(enUS) << int(dtMPa) << false
        << QStringList{"05.01.2024", "09:07",     "12",       "66",      "0.00",
                       "B 50",       heavy,       "HP",       "> 50 mm", "16 x 35 mm",
                       "0.000E+00",  "1.000E+00", "0.000E+00"};
    QTest::newRow("coefficients") << WithAx(Record(Big, {{30000, 0}}), 1.5f, -0.0025f, 123456)
                                  << int(enUS) << int(dtMPa) << false
                                  << QStringList{"05.01.2024", "09:07",     "12",
                                                 "8.9999E07",  "0.00",      "B 75",
                                                 heavy,        "NH",        "≤ 50 mm",
                                                 "24 x 48 mm", "1.500E+00", "-2.500E-03",
                                                 "1.235E+05"};

    // Records the instrument should never send still fill their row.
    QTest::newRow("no probes") << Record(Big, {}) << int(enUS) << int(dtMPa) << false
                               << QStringList{"05.01.2024", "09:07",      "12",        "NAN",
                                              "0.00",       "???",        heavy,       "NH",
                                              "≤ 50 mm",    "24 x 48 mm", "0.000E+00", "1.000E+00",
                                              "0.000E+00"};
    QTest::newRow("slipped out by the whole depth")
        << Record(Big, {{30000, 48}}) << int(enUS) << int(dtkgs) << false
        << QStringList{"05.01.2024", "09:07",     "12",       "NAN",     "0.00",
                       "???",        heavy,       "NH",       "≤ 50 mm", "24 x 48 mm",
                       "0.000E+00",  "1.000E+00", "0.000E+00"};
    QTest::newRow("slipped out, square calibration")
        << WithAx(Record(Big, {{30000, 48}}), 0, 0, 1) << int(enUS) << int(dtMPa) << false
        << QStringList{"05.01.2024", "09:07",     "12",       "INF",     "0.00",
                       "B 75",       heavy,       "NH",       "≤ 50 mm", "24 x 48 mm",
                       "0.000E+00",  "0.000E+00", "1.000E+00"};
}

void TestKadrelAN::basicGrid()
{
    QFETCH(TArchAN, record);
    QFETCH(int, lang);
    QFETCH(int, dimension);
    QFETCH(bool, decimalComma);
    QFETCH(QStringList, cells);

    if (decimalComma)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto driver = MakeDriver(TLang(lang), TDimensionType(dimension));
    driver->Add(record);
    TStringGrid grid = UsedGrid();
    driver->UpdateBasicGrid(grid);

    QCOMPARE(grid.ColCount(), 13);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(RowOf(grid, 1), cells);
}

void TestKadrelAN::basicTitles_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("dimension");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("Russian, MPa") << int(ruRU) << int(dtMPa)
                                  << QStringList{"Дата",    "Время", "№",        "R, МПа",
                                                 "E,%",     "Вф",    "Материал", "Тверд.",
                                                 "Заполн.", "Анкер", CyrA + "1", CyrA + "2",
                                                 CyrA + "3"};
    QTest::newRow("Russian, kgf") << int(ruRU) << int(dtkgs)
                                  << QStringList{"Дата",    "Время", "№",        "R, кгс/см²",
                                                 "E,%",     "Вф",    "Материал", "Тверд.",
                                                 "Заполн.", "Анкер", CyrA + "1", CyrA + "2",
                                                 CyrA + "3"};
    QTest::newRow("English, MPa") << int(enUS) << int(dtMPa)
                                  << QStringList{"Date",      "Time",   "№",        "R, MPa",
                                                 "E,%",       "Bx",     "Material", "Hardening",
                                                 "Aggregate", "Anchor", CyrA + "1", CyrA + "2",
                                                 CyrA + "3"};
    QTest::newRow("English, kgf") << int(enUS) << int(dtkgs)
                                  << QStringList{"Date",      "Time",   "№",        "R, kgs/cm²",
                                                 "E,%",       "Bx",     "Material", "Hardening",
                                                 "Aggregate", "Anchor", CyrA + "1", CyrA + "2",
                                                 CyrA + "3"};
}

void TestKadrelAN::basicTitles()
{
    QFETCH(int, lang);
    QFETCH(int, dimension);
    QFETCH(QStringList, titles);

    for (bool withRecords : {false, true}) {
        auto driver = MakeDriver(TLang(lang), TDimensionType(dimension));
        if (withRecords)
            driver->Add(ThreeProbes());
        TStringGrid grid;
        driver->UpdateBasicGrid(grid);
        QCOMPARE(RowOf(grid, 0), titles);
    }
}

void TestKadrelAN::eachRowShowsItsOwnMaterial()
{
    TArchAN other = WithAx(ThreeProbes(), 2, 1, 0);
    std::memset(other.Material.Name, 0, sizeof other.Material.Name);
    PutName(other.Material.Name, QStringLiteral("Кирпич"));
    auto driver = MakeDriver();
    driver->Add(ThreeProbes());
    driver->Add(other);
    driver->Add(other);
    driver->Add(ThreeProbes());
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);

    const QStringList heavy{"Бетон тяжелый", "0.000E+00", "1.000E+00", "0.000E+00"};
    const QStringList brick{"Кирпич", "2.000E+00", "1.000E+00", "0.000E+00"};
    const QList<QStringList> expected{heavy, brick, brick, heavy};
    for (int row = 1; row <= 4; ++row) {
        const QStringList cells = RowOf(grid, row);
        QCOMPARE(QStringList({cells[6], cells[10], cells[11], cells[12]}), expected[row - 1]);
    }
}

void TestKadrelAN::detailGrid_data()
{
    QTest::addColumn<TArchAN>("record");
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("dimension");
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("Russian, MPa") << ThreeProbes() << int(ruRU) << int(dtMPa) << false
                                  << Rows{{"№", "F, кН", "Проскальз., мм", "R, МПа", "Вф"},
                                          {"1", "30", "0", "27", "B 20"},
                                          {"2", "32", "0.5", "29.41", "B 22.5"},
                                          {"3", "28", "0", "25.2", "B 15"}};
    QTest::newRow("English, kgf") << ThreeProbes() << int(enUS) << int(dtkgs) << false
                                  << Rows{{"№", "F, kgs", "Slip, mm", "R, kgs/cm²", "Bx"},
                                          {"1", "3059.2", "0", "275.32", "B 20"},
                                          {"2", "3263.1", "0.5", "299.89", "B 22.5"},
                                          {"3", "2855.2", "0", "256.97", "B 15"}};
    QTest::newRow("Russian, kgf, decimal comma")
        << ThreeProbes() << int(ruRU) << int(dtkgs) << true
        << Rows{{"№", "F, кгс", "Проскальз., мм", "R, кгс/см²", "Вф"},
                {"1", "3059,2", "0", "275,32", "B 20"},
                {"2", "3263,1", "0,5", "299,89", "B 22.5"},
                {"3", "2855,2", "0", "256,97", "B 15"}};
    QTest::newRow("English, MPa") << Record(Big, {{30000, 0}}) << int(enUS) << int(dtMPa) << false
                                  << Rows{{"№", "F, kN", "Slip, mm", "R, MPa", "Bx"},
                                          {"1", "30", "0", "27", "B 20"}};

    // Records the instrument should never send: only the probes the record has room for.
    const QList<TProbe> five{{30000, 0}, {30000, 0}, {30000, 0}, {30000, 0}, {30000, 0}};
    QTest::newRow("probe count 7") << Record(Big, five, 7) << int(enUS) << int(dtMPa) << false
                                   << Rows{{"№", "F, kN", "Slip, mm", "R, MPa", "Bx"},
                                           {"1", "30", "0", "27", "B 20"},
                                           {"2", "30", "0", "27", "B 20"},
                                           {"3", "30", "0", "27", "B 20"},
                                           {"4", "30", "0", "27", "B 20"},
                                           {"5", "30", "0", "27", "B 20"}};
    QTest::newRow("no probes") << Record(Big, {}) << int(enUS) << int(dtMPa) << false
                               << Rows{{"№", "F, kN", "Slip, mm", "R, MPa", "Bx"},
                                       {"", "", "", "", ""}};
    QTest::newRow("slipped out by the whole depth")
        << Record(Big, {{30000, 48}}) << int(enUS) << int(dtkgs) << false
        << Rows{{"№", "F, kgs", "Slip, mm", "R, kgs/cm²", "Bx"},
                {"1", "3059.2", "48", "NAN", "???"}};
}

void TestKadrelAN::detailGrid()
{
    QFETCH(TArchAN, record);
    QFETCH(int, lang);
    QFETCH(int, dimension);
    QFETCH(bool, decimalComma);
    QFETCH(Rows, rows);

    if (decimalComma)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto driver = MakeDriver(TLang(lang), TDimensionType(dimension));
    driver->Add(Record(0, {{1000, 0}}));
    driver->Add(record);
    TStringGrid basic;
    driver->UpdateBasicGrid(basic);
    TStringGrid grid = UsedGrid();
    driver->UpdateDetailGrid(grid, 1);

    QCOMPARE(grid.ColCount(), 5);
    QCOMPARE(grid.RowCount(), int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        QCOMPARE(RowOf(grid, row), rows[row]);
}

void TestKadrelAN::emptyTables()
{
    const QStringList emptyBasicRow(13);
    const QStringList emptyDetailRow(5);

    auto driver = MakeDriver(enUS);
    TStringGrid basic = UsedGrid();
    driver->UpdateBasicGrid(basic);
    QCOMPARE(basic.ColCount(), 13);
    QCOMPARE(basic.RowCount(), 2);
    QCOMPARE(RowOf(basic, 0)[0], QStringLiteral("Date"));
    QCOMPARE(RowOf(basic, 1), emptyBasicRow);

    // Any index on an empty list, and indexes outside a list that has records.
    for (int records : {0, 2}) {
        for (int idx : {-1, 0, 2, 1000}) {
            if (idx >= 0 && idx < records)
                continue;
            auto withRecords = MakeDriver(enUS);
            for (int i = 0; i < records; ++i)
                withRecords->Add(ThreeProbes());
            TStringGrid detail = UsedGrid();
            withRecords->UpdateDetailGrid(detail, idx);
            QCOMPARE(detail.ColCount(), 5);
            QCOMPARE(detail.RowCount(), 2);
            QCOMPARE(RowOf(detail, 0)[1], QStringLiteral("F, kN"));
            QCOMPARE(RowOf(detail, 1), emptyDetailRow);
        }
    }
}

void TestKadrelAN::materialEditsLeaveRecordsAlone()
{
    auto driver = MakeDriver();
    driver->Add(ThreeProbes());
    TStringGrid before;
    driver->UpdateBasicGrid(before);

    TMatCfg materials{};
    for (TMaterial& m : materials) {
        PutName(m.Name, QStringLiteral("Другое"));
        m.Ax[0] = 5;
        m.Ax[2] = 2;
    }
    driver->SetMatCfg(materials);
    TStringGrid after;
    driver->UpdateBasicGrid(after);
    QCOMPARE(RowOf(after, 1), RowOf(before, 1));
}

void TestKadrelAN::materialsGrid_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("entry2");

    QTest::newRow("Russian") << int(ruRU) << false
                             << QStringList{"Материал", CyrA + "0", CyrA + "1", CyrA + "2"}
                             << QStringList{"Кирпич", "1.500E+00", "-2.500E-03", "1.235E+05"};
    QTest::newRow("English, decimal comma")
        << int(enUS) << true << QStringList{"Material", "A0", "A1", "A2"}
        << QStringList{"Кирпич", "1,500E+00", "-2,500E-03", "1,235E+05"};
}

void TestKadrelAN::materialsGrid()
{
    QFETCH(int, lang);
    QFETCH(bool, decimalComma);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, entry2);

    if (decimalComma)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto driver = MakeDriver(TLang(lang));
    TMatCfg materials = FullNames();
    std::memset(materials[2].Name, 0, sizeof materials[2].Name);
    PutName(materials[2].Name, QStringLiteral("Кирпич"));
    materials[2].Ax[0] = 1.5f;
    materials[2].Ax[1] = -0.0025f;
    materials[2].Ax[2] = 123456;
    driver->SetMatCfg(materials);

    TStringGrid grid = UsedGrid();
    grid.SetFixedRows(1);
    driver->UpdateMaterialsGrid(grid);

    QCOMPARE(grid.ColCount(), 4);
    QCOMPARE(grid.RowCount(), 9);
    QCOMPARE(grid.FixedRows(), 3);
    QCOMPARE(RowOf(grid, 0), titles);
    QCOMPARE(RowOf(grid, 3), entry2);
    // A name of all 21 bytes, without a terminating zero, shows whole.
    QCOMPARE(grid.Cell(0, 1), QString(21, QLatin1Char('Z')));
    QCOMPARE(grid.Cell(1, 1), decimalComma ? QStringLiteral("0,000E+00") : "0.000E+00");
    const QList<int> widths{grid.ColWidth(0), grid.ColWidth(1), grid.ColWidth(2), grid.ColWidth(3)};
    QCOMPARE(widths, (QList<int>{128, 70, 70, 70}));
}

void TestKadrelAN::applyNames_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("typed"); // a null text leaves the cell as shown
    QTest::addColumn<QByteArray>("stored");

    const QByteArray z20(20, 'Z');
    QTest::newRow("21 bytes shown, 19 written back")
        << 4 << QString() << QByteArray(19, 'Z') + '\0' + 'Z';
    QTest::newRow("fixed row cut alike") << 0 << QString() << QByteArray(19, 'Z') + '\0' + 'Z';
    QTest::newRow("25 characters")
        << 5 << QString(25, QLatin1Char('n')) << QByteArray(19, 'n') + '\0' + 'Z';
    QTest::newRow("20 characters")
        << 6 << QString(20, QLatin1Char('n')) << QByteArray(19, 'n') + '\0' + 'Z';
    QTest::newRow("19 characters")
        << 7 << QString(19, QLatin1Char('n')) << QByteArray(19, 'n') + '\0' + 'Z';
    QTest::newRow("short Cyrillic name, the rest keeps its bytes")
        << 2 << QStringLiteral("Кирпич")
        << ToCp1251(QStringLiteral("Кирпич")) + '\0' + z20.left(14);
    QTest::newRow("empty") << 3 << QStringLiteral("") << '\0' + z20;
    QTest::newRow("outside the code page")
        << 1 << QStringLiteral("a€\u4e2db") << QByteArray("a\x88?b", 4) + '\0' + z20.left(16);
}

void TestKadrelAN::applyNames()
{
    QFETCH(int, entry);
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);

    auto driver = MakeDriver();
    driver->SetMatCfg(FullNames());
    TStringGrid grid;
    driver->UpdateMaterialsGrid(grid);
    if (!typed.isNull())
        grid.SetCell(0, entry + 1, typed);
    driver->ApplyMaterials(grid);

    QCOMPARE(NameBytes(driver->MatCfg()[size_t(entry)]), stored);
}

void TestKadrelAN::applyCoefficients_data()
{
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<QString>("typed"); // a null text leaves the cell as shown
    QTest::addColumn<float>("stored");

    QTest::newRow("shown with 4 digits") << false << QString() << 1.235f;
    QTest::newRow("shown with 4 digits, decimal comma") << true << QString() << 1.235f;
    QTest::newRow("typed") << false << QStringLiteral(" -2.5e-3 ") << -0.0025f;
    QTest::newRow("typed, decimal comma") << true << QStringLiteral("12,75") << 12.75f;
}

void TestKadrelAN::applyCoefficients()
{
    QFETCH(bool, decimalComma);
    QFETCH(QString, typed);
    QFETCH(float, stored);

    if (decimalComma)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto driver = MakeDriver();
    TMatCfg materials{};
    for (TMaterial& m : materials)
        m.Ax[1] = 1.23456f;
    driver->SetMatCfg(materials);
    TStringGrid grid;
    driver->UpdateMaterialsGrid(grid);
    if (!typed.isNull())
        grid.SetCell(2, 6, typed);

    const auto events = EventsOf(*driver, [&] { driver->ApplyMaterials(grid); });

    const TMatCfg applied = driver->MatCfg();
    QCOMPARE(applied[5].Ax[1], stored);
    QCOMPARE(applied[0].Ax[1], 1.235f);
    QCOMPARE(applied[5].Ax[0], 0.0f);
    // The table went out: on the closed port of a test driver that is a disconnection.
    QVERIFY(events.contains(otDevDisconnected));
}

void TestKadrelAN::applyStopsAtBadCoefficient_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("decimalComma");

    QTest::newRow("letters") << QStringLiteral("abc") << false;
    QTest::newRow("empty") << QStringLiteral("") << false;
    QTest::newRow("comma in a full-stop locale") << QStringLiteral("1,5") << false;
    QTest::newRow("full stop in a comma locale") << QStringLiteral("1.5") << true;
}

void TestKadrelAN::applyStopsAtBadCoefficient()
{
    QFETCH(QString, typed);
    QFETCH(bool, decimalComma);

    if (decimalComma)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto driver = MakeDriver();
    driver->SetMatCfg(FullNames());
    TStringGrid grid;
    driver->UpdateMaterialsGrid(grid);
    // Entry 3 (row 4): its name and Ax[0] come before the bad Ax[1].
    for (int row = 1; row <= 8; ++row) {
        grid.SetCell(0, row, QStringLiteral("m%1").arg(row));
        grid.SetCell(1, row, QStringLiteral("7"));
    }
    grid.SetCell(2, 4, typed);

    QString message;
    const auto events = EventsOf(*driver, [&] {
        try {
            driver->ApplyMaterials(grid);
        } catch (const KadrelError& e) {
            message = e.message();
        }
    });

    QCOMPARE(message, QStringLiteral("'%1' is not a valid floating point value").arg(typed));
    const TMatCfg applied = driver->MatCfg();
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(QByteArray(applied[k].Name), "m" + QByteArray::number(k + 1));
        QCOMPARE(applied[k].Ax[0], 7.0f);
    }
    QCOMPARE(QByteArray(applied[3].Name), QByteArray("m4"));
    QCOMPARE(applied[3].Ax[0], 7.0f);
    QCOMPARE(applied[3].Ax[1], 0.0f);
    QCOMPARE(NameBytes(applied[4]), QByteArray(21, 'Z'));
    QCOMPARE(applied[4].Ax[0], 0.0f);
    QVERIFY2(events.isEmpty(), "nothing is sent");
}

void TestKadrelAN::resetMaterials_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("English") << int(enUS)
                             << QStringList{"Hard concrete", "Light concrete", "No name-1",
                                            "No name-2",     "No name-3",      "No name-4",
                                            "No name-5",     "No name-6"};
    QTest::newRow("Russian") << int(ruRU)
                             << QStringList{"Бетон тяжелый", "Бетон легкий", "Без имени-1",
                                            "Без имени-2",   "Без имени-3",  "Без имени-4",
                                            "Без имени-5",   "Без имени-6"};
}

void TestKadrelAN::resetMaterials()
{
    QFETCH(int, lang);
    QFETCH(QStringList, names);

    auto driver = MakeDriver(TLang(lang));
    TMatCfg materials = FullNames();
    for (TMaterial& m : materials)
        m.Ax[0] = m.Ax[1] = m.Ax[2] = 9;
    driver->SetMatCfg(materials);

    const auto events = EventsOf(*driver, [&] { driver->ResetMaterials(); });

    const TMatCfg reset = driver->MatCfg();
    for (int k = 0; k < MaterialCount; ++k) {
        const QByteArray bytes = ToCp1251(names[k]);
        QCOMPARE(NameBytes(reset[size_t(k)]),
                 bytes + '\0' + QByteArray(20 - int(bytes.size()), 'Z'));
        QCOMPARE(reset[size_t(k)].Ax[0], 0.0f);
        QCOMPARE(reset[size_t(k)].Ax[1], 1.0f);
        QCOMPARE(reset[size_t(k)].Ax[2], 0.0f);
    }
    QVERIFY2(events.isEmpty(), "nothing is sent");
}

void TestKadrelAN::removeResults()
{
    auto driver = MakeDriver();
    for (uint16_t num = 1; num <= 5; ++num) {
        TArchAN arch = ThreeProbes();
        arch.Base.Num = num;
        driver->Add(arch);
    }

    const auto events = EventsOf(*driver, [&] { driver->RemoveResults(3, 2, false); });

    QCOMPARE(driver->RecCount(), 3);
    QCOMPARE(driver->ArchTotal(), uint16_t(3));
    QCOMPARE(events, QList<TOperationType>{otResultDelete});
    for (int i = 0; i < 3; ++i)
        QCOMPARE(driver->Rec(i).ArchRes.Base.Num, uint16_t(i + 1));
}

void TestKadrelAN::archiveRoundTrip()
{
    auto source = MakeDriver();
    TKadrelInfo info{};
    info.DevType = devAN;
    info.SerialNumber = 0x0805;
    std::memset(info.HardVersion, 0xA5, sizeof info.HardVersion);
    source->SetDevInfo(info);

    const QStringList comments{QString(), QStringLiteral("line 1\r\nline 2\r"),
                               QStringLiteral("\"quoted\", with, commas")};
    for (int i = 0; i < comments.size(); ++i) {
        TArchAN arch = ThreeProbes();
        arch.Base.Num = uint16_t(i + 1);
        arch.Base.AbsIndex = uint16_t(100 + i);
        arch.Reserved1[0] = 0x5A; // reserved bytes and the checksum travel unchanged
        arch.crc = 0xDEADBEEF + uint32_t(i);
        source->Add(arch, comments[i]);
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("archive.kadrel1an"));
    source->SaveToFile(fileName);

    auto loaded = MakeDriver();
    QVERIFY(loaded->LoadFromFile(fileName));

    QCOMPARE(loaded->RecCount(), comments.size());
    QCOMPARE(loaded->ArchLastReaded(), uint16_t(comments.size()));
    QVERIFY(std::memcmp(&loaded->DevInfo(), &info, sizeof info) == 0);
    QCOMPARE(loaded->GetDevName(), source->GetDevName());
    for (int i = 0; i < comments.size(); ++i) {
        QVERIFY(std::memcmp(&loaded->Rec(i).ArchRes, &source->Rec(i).ArchRes, sizeof(TArchAN)) ==
                0);
        QCOMPARE(loaded->GetComment(i), comments[i]);
    }
    TStringGrid saved, restored;
    source->UpdateBasicGrid(saved);
    loaded->UpdateBasicGrid(restored);
    for (int row = 0; row <= comments.size(); ++row)
        QCOMPARE(RowOf(restored, row), RowOf(saved, row));
}

QTEST_GUILESS_MAIN(TestKadrelAN)
#include "tst_kadrel_an.moc"
