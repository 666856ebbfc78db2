// Generated archives: the same for the same seed, and plausible for every model (dates going
// back, numbers counting down, names from the instrument's table, strengths of the right kind).
#include "link/frame.h"
#include "link/kadrel_base.h"
#include "models/an_calc.h"
#include "models/cp1251.h"
#include "models/model_table.h"
#include "models/records.h"
#include "sim/archive_generator.h"

#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>

using namespace kadrel;
using namespace kadrel::sim;

Q_DECLARE_METATYPE(TKadrelType)

namespace
{

QDateTime measuredAt(const TArchBase& base)
{
    const TKadrelDateTime& t = base.DateTime;
    return QDateTime(QDate(2000 + t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute), Qt::UTC);
}

bool nameInTable(const char* name, const QByteArray& table, int stride)
{
    for (int i = 0; i < 8; ++i) {
        if (std::memcmp(name, table.constData() + i * stride, 21) == 0)
            return FromCp1251(name, 21).size() > 0;
    }
    return false;
}

template <class TArch> float meanForce(const TArch& r)
{
    float sum = 0;
    for (int i = 0; i < r.ProbeCount; ++i)
        sum += r.Results[i].Force;
    return sum / r.ProbeCount;
}

// The record's mean strength in MPa (mean force in kN for model FX), as the model computes it.
double strengthOf(TKadrelType model, const uint8_t* raw)
{
    switch (model) {
    case devAN: {
        TCalcAN calc;
        std::memcpy(&calc.ArchRes, raw, sizeof calc.ArchRes);
        CalcRecord(calc);
        return calc.avg_R_mPa;
    }
    case devTL: {
        const auto& r = *reinterpret_cast<const TArchTL*>(raw);
        const int h = (r.Geometry & 0xFFFE) >> 1;
        const int d = int(r.Geometry >> 16);
        const double area = (r.Geometry & 1) ? M_PI * d * d / 4 : double(h) * d;
        return meanForce(r) / area;
    }
    case devEG: {
        const auto& r = *reinterpret_cast<const TArchEG*>(raw);
        return meanForce(r) / (double(r.W) * r.L);
    }
    case devFX:
        return meanForce(*reinterpret_cast<const TArchFX*>(raw)) / 1000.0;
    default:
        return 0;
    }
}

// Where the model keeps the probe count and the forces.
struct ProbeView {
    int count;
    const TProbe* results;
};

ProbeView probesOf(TKadrelType model, const uint8_t* raw)
{
    switch (model) {
    case devAN: {
        const auto& r = *reinterpret_cast<const TArchAN*>(raw);
        return {r.ProbeCount, r.Results};
    }
    case devTL: {
        const auto& r = *reinterpret_cast<const TArchTL*>(raw);
        return {r.ProbeCount, r.Results};
    }
    case devEG: {
        const auto& r = *reinterpret_cast<const TArchEG*>(raw);
        return {r.ProbeCount, r.Results};
    }
    default: {
        const auto& r = *reinterpret_cast<const TArchFX*>(raw);
        return {r.ProbeCount, r.Results};
    }
    }
}

bool nameFromTable(TKadrelType model, const uint8_t* raw, const QByteArray& table)
{
    switch (model) {
    case devAN:
        return nameInTable(reinterpret_cast<const TArchAN*>(raw)->Material.Name, table,
                           sizeof(TMaterial));
    case devTL:
        return nameInTable(reinterpret_cast<const TArchTL*>(raw)->ObjTL.Name, table, 21);
    case devEG:
        return nameInTable(reinterpret_cast<const TArchEG*>(raw)->ObjEG.Name, table, 21);
    default:
        return nameInTable(reinterpret_cast<const TArchFX*>(raw)->ObjFX.Name, table, 21);
    }
}

} // namespace

class TestArchiveGenerator : public QObject
{
    Q_OBJECT

private slots:
    void sameSeedSameArchive()
    {
        const QByteArray table = InstrumentNameTable(devTL);
        const QByteArray first = GenerateRecords(devTL, 300, 11, table);
        QCOMPARE(GenerateRecords(devTL, 300, 11, table), first);
        QVERIFY(GenerateRecords(devTL, 300, 12, table) != first);
    }

    void plausible_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("AN") << devAN << 3000 << 1.5 << 70.0;
        QTest::newRow("AN, a full archive") << devAN << 65535 << 1.5 << 70.0;
        QTest::newRow("TL") << devTL << 3000 << 0.1 << 8.0;
        QTest::newRow("EG") << devEG << 3000 << 0.2 << 3.5;
        QTest::newRow("FX, kN") << devFX << 3000 << 2.0 << 35.0;
    }

    void plausible()
    {
        QFETCH(TKadrelType, model);
        QFETCH(int, count);
        QFETCH(double, low);
        QFETCH(double, high);
        const QByteArray table = InstrumentNameTable(model);
        const QByteArray records = GenerateRecords(model, count, 5, table);
        const int size = ModelInfo(model)->RecordSize;
        QCOMPARE(records.size(), count * size);

        QDateTime newer;
        for (int i = 0; i < count; ++i) {
            const auto* raw = reinterpret_cast<const uint8_t*>(records.constData() + i * size);
            const auto& base = *reinterpret_cast<const TArchBase*>(raw);
            QCOMPARE(int(base.Num), count - i);
            const QDateTime at = measuredAt(base);
            QVERIFY2(at.isValid() && at.date().year() > 2000, qPrintable(QString::number(i)));
            if (i == 0)
                QCOMPARE(at, DefaultNewestMeasurement());
            else
                QVERIFY(at < newer);
            newer = at;

            const ProbeView probes = probesOf(model, raw);
            QVERIFY(probes.count >= 1 && probes.count <= MaxProbes);
            for (int p = 0; p < MaxProbes; ++p)
                QCOMPARE(probes.results[p].Force > 0, p < probes.count);
            const double strength = strengthOf(model, raw);
            QVERIFY2(strength >= low && strength <= high, qPrintable(QString::number(strength)));
            QVERIFY(nameFromTable(model, raw, table));
            QCOMPARE(qFromLittleEndian<uint32_t>(raw + size - 4), CalcCRC(raw, (size - 4) / 4));
        }
    }

    void nameTables()
    {
        const QByteArray an = InstrumentNameTable(devAN);
        QCOMPARE(an.size(), 288);
        const auto* materials = reinterpret_cast<const TMaterial*>(an.constData());
        QCOMPARE(FromCp1251(materials[0].Name, 21), QStringLiteral("Бетон тяжелый"));
        QCOMPARE(FromCp1251(materials[1].Name, 21), QStringLiteral("Бетон легкий"));
        QCOMPARE(materials[0].Ax[1], 1.0f);
        const QByteArray tl = InstrumentNameTable(devTL);
        QCOMPARE(tl.size(), 168);
        QCOMPARE(FromCp1251(tl.constData(), 21), QStringLiteral("Облицов. плитка"));
        QVERIFY(InstrumentNameTable(devQM).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestArchiveGenerator)
#include "tst_archive_generator.moc"
