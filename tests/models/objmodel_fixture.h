// Shared by the tests of the object-name models TL, EG and FX: drivers whose records a test
// sets directly, the record fields the models have in common, and the checks of their tables.
#pragma once

#include "models/cp1251.h"
#include "models/kadrel_objmodel.h"

#include <QtTest>
#include <algorithm>
#include <cstring>
#include <memory>

// A driver of model TDriver whose records and name table a test can set directly.
template <class TDriver> class TTestable : public TDriver
{
public:
    using TArch = decltype(TDriver::Record::ArchRes);

    void Append(const TArch& record, const QString& comment = {})
    {
        auto entry = std::make_unique<typename TDriver::Record>();
        entry->ArchRes = record;
        entry->UserComment = comment;
        this->fArchive.push_back(std::move(entry));
        this->fArchTotal = uint16_t(this->fArchive.size());
    }
    void FillNameTable(uint8_t byte) { this->fNameTable.fill(byte); }
};

template <class TDriver>
std::shared_ptr<TTestable<TDriver>> newDriver(TLang lang = enUS, TDimensionType dimension = dtMPa)
{
    auto driver = std::make_shared<TTestable<TDriver>>();
    driver->SetLang(lang);
    driver->SetDimension(dimension);
    return driver;
}

// Sets a record's object name, the bytes after it zero.
inline void putObjName(TObjName& field, const QString& name)
{
    const QByteArray bytes = ToCp1251(name);
    std::memset(field.Name, 0, sizeof field.Name);
    std::memcpy(field.Name, bytes.constData(), std::min(sizeof field.Name, size_t(bytes.size())));
}

// Sets a record's probe forces and the count it claims: that of the forces unless given.
template <class TArch> void putProbes(TArch& rec, const QList<float>& forces, int probeCount = -1)
{
    rec.ProbeCount = uint8_t(probeCount < 0 ? forces.size() : probeCount);
    for (int i = 0; i < forces.size() && i < MaxProbes; ++i)
        rec.Results[i].Force = forces[i];
}

inline QStringList rowTexts(const TStringGrid& grid, int r)
{
    QStringList cells;
    for (int c = 0; c < grid.ColCount(); ++c)
        cells << grid.Cell(c, r);
    return cells;
}

// Numbers with the decimal comma of `commaLocale`, or with the point of the United States.
inline void useLocale(bool comma,
                      const QLocale& commaLocale = QLocale(QLocale::German, QLocale::Germany))
{
    QLocale::setDefault(comma ? commaLocale : QLocale(QLocale::English, QLocale::UnitedStates));
}

// Rows of language, unit and the title rows expected of both tables.
inline void addTitleColumns()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("dimension");
    QTest::addColumn<QStringList>("basic");
    QTest::addColumn<QStringList>("detail");
}

// The title rows of the record and probe tables, as the current row of addTitleColumns has them.
template <class TDriver> void checkTitles()
{
    QFETCH(int, lang);
    QFETCH(int, dimension);
    QFETCH(QStringList, basic);
    QFETCH(QStringList, detail);

    const auto driver = newDriver<TDriver>(TLang(lang), TDimensionType(dimension));
    TStringGrid grid;
    driver->UpdateBasicGrid(grid);
    QCOMPARE(rowTexts(grid, 0), basic);
    driver->UpdateDetailGrid(grid, 0);
    QCOMPARE(rowTexts(grid, 0), detail);
}

// Without records both tables keep one empty row: none of the earlier archive a grid still
// shows, whatever the probe table is asked for.
template <class TDriver> void checkEmptyTables(int basicCols, int detailCols, int idx)
{
    const auto driver = newDriver<TDriver>();
    TStringGrid grid;
    grid.SetColCount(basicCols + 2);
    grid.SetRowCount(5);
    for (int c = 0; c < grid.ColCount(); ++c)
        grid.SetCell(c, 1, QStringLiteral("old"));

    driver->UpdateBasicGrid(grid);
    QCOMPARE(grid.ColCount(), basicCols);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(rowTexts(grid, 1), QStringList(basicCols, QString()));

    grid.SetCell(0, 1, QStringLiteral("old"));
    driver->UpdateDetailGrid(grid, idx);
    QCOMPARE(grid.ColCount(), detailCols);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(rowTexts(grid, 1), QStringList(detailCols, QString()));
}

// The names table after a reset to the factory names: its title and the eight names.
template <class TDriver>
void checkFactoryNamesGrid(TLang lang, const QString& title, const QStringList& names)
{
    const auto driver = newDriver<TDriver>(lang);
    driver->ResetMaterials();
    TStringGrid grid;
    driver->UpdateMaterialsGrid(grid);
    QCOMPARE(grid.Cell(0, 0), title);
    for (int i = 0; i < ObjNameCount; ++i)
        QCOMPARE(grid.Cell(0, i + 1), names[i]);
}
