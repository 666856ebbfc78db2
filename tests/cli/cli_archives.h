// Archive files the tests of kadrel-cli read: generated archives of every model, two AN
// archives that share records, an empty one, and one small archive per model whose values
// are known.
#pragma once

#include "cli_fixture.h"

#include "models/cp1251.h"
#include "models/model_table.h"
#include "models/records.h"
#include "sim/archive_generator.h"

#include <QDir>
#include <cstring>
#include <initializer_list>

namespace cliarchives
{

constexpr uint16_t SerialA005 = 1 << 11 | 5;

// A comment as files store it: the first line quoted, since it holds blanks.
inline QString storedComment()
{
    return QStringLiteral("'first, \"quoted\" line'\rsecond");
}

template <class TArch> QByteArray bytesOf(const TArch& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), int(sizeof record));
}

template <class TArch> void setHead(TArch& record, uint16_t num, int day)
{
    record.Base.Num = num;
    record.Base.AbsIndex = num;
    record.Base.DateTime = {7, 9, int8_t(day), 1, 24}; // 9:07, January 2024
}

template <class TArch> void setForces(TArch& record, std::initializer_list<float> forces)
{
    record.ProbeCount = uint8_t(forces.size());
    int i = 0;
    for (float force : forces)
        record.Results[i++].Force = force;
}

inline void setName(char (&field)[21], const QString& name)
{
    const QByteArray bytes = ToCp1251(name);
    std::memcpy(field, bytes.constData(), size_t(bytes.size()));
}

// Heavy concrete, anchor 24 x 48, three probes: strengths 27, 29.41 and 25.2 MPa, mean 27.203,
// spread 8.11 %, class B 20. Then an older record without probes, whose mean is no number.
inline QByteArray knownAN()
{
    TArchAN first{};
    setHead(first, 3, 5);
    first.Conditions = 0x01;
    setName(first.Material.Name, QStringLiteral("Бетон тяжелый"));
    first.Material.Ax[1] = 1;
    setForces(first, {30000, 32000, 28000});
    first.Results[1].Slip = 0.5f;
    TArchAN second = first;
    setHead(second, 2, 4);
    second.ProbeCount = 0;
    return bytesOf(first) + bytesOf(second);
}

// A circle of 50 mm and one probe of 1963.5 N: about 1 MPa.
inline QByteArray knownTL()
{
    TArchTL record{};
    setHead(record, 1, 5);
    record.Geometry = 1 | 50u << 16;
    setName(record.ObjTL.Name, QStringLiteral("Плитка"));
    setForces(record, {1963.5f});
    return bytesOf(record);
}

// 40 x 40 mm, 28 days, one probe of 800 N: 500 kPa and Kt 1.
inline QByteArray knownEG()
{
    TArchEG record{};
    setHead(record, 1, 5);
    record.W = 40;
    record.L = 40;
    record.Age = 28;
    setName(record.ObjEG.Name, QStringLiteral("Кирпич"));
    setForces(record, {800});
    return bytesOf(record);
}

// Diameter 12, forces 2, 2.5 and 3 kN: mean 2.5 kN, spread 20 %.
inline QByteArray knownFX()
{
    TArchFX record{};
    setHead(record, 1, 5);
    record.diameter = 12;
    setName(record.ObjFX.Name, QStringLiteral("Дюбель"));
    setForces(record, {2000, 2500, 3000});
    return bytesOf(record);
}

inline QByteArray generated(TKadrelType model, int count, quint32 seed)
{
    return kadrel::sim::GenerateRecords(model, count, seed,
                                        kadrel::sim::InstrumentNameTable(model));
}

// Writes every archive of the tests into `folder`:
// an1 and an2 (12 generated records each, 6 of them shared; an1 with comments), tl, eg, fx,
// empty.kadrel1an, and known.kadrel1an/tl/eg/fx.
inline bool writeArchives(const QDir& folder)
{
    const auto write = [&](const QString& name, TKadrelType model, const QByteArray& records,
                           const QStringList& comments = {}) {
        const int size = ModelInfo(model)->RecordSize;
        return writeBytes(folder.filePath(name),
                          archiveBytes(testInfo(model, SerialA005), records, size, comments));
    };
    const QByteArray an = generated(devAN, 18, 7);
    return write("an1.kadrel1an", devAN, an.left(12 * 96),
                 {storedComment(), QString(), QStringLiteral("''")}) &&
           write("an2.kadrel1an", devAN, an.right(12 * 96)) &&
           write("tl.kadrel1tl", devTL, generated(devTL, 6, 3)) &&
           write("eg.kadrel1eg", devEG, generated(devEG, 6, 4)) &&
           write("fx.kadrel1fx", devFX, generated(devFX, 6, 5)) &&
           write("empty.kadrel1an", devAN, QByteArray()) &&
           write("known.kadrel1an", devAN, knownAN(), {storedComment()}) &&
           write("known.kadrel1tl", devTL, knownTL()) &&
           write("known.kadrel1eg", devEG, knownEG()) && write("known.kadrel1fx", devFX, knownFX());
}

} // namespace cliarchives
