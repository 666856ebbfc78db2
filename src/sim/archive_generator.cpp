#include "sim/archive_generator.h"

#include "link/frame.h"
#include "models/an_calc.h"
#include "models/cp1251.h"
#include "models/model_table.h"
#include "models/records.h"

#include <QStringList>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <random>

namespace kadrel::sim
{

namespace
{

// Random choices built on the fully specified Mersenne twister, so a seed gives the same
// archive with every standard library.
class Dice
{
public:
    explicit Dice(quint32 seed) : m_engine(seed) {}

    int between(int low, int high) { return low + int(m_engine() % uint32_t(high - low + 1)); }
    double real(double low, double high)
    {
        return low + (high - low) * (m_engine() / 4294967296.0);
    }
    bool chance(double p) { return real(0, 1) < p; }
    // Roughly normal around 0 with the given spread (the sum of three uniform values).
    double scatter(double sigma) { return sigma * (real(-1, 1) + real(-1, 1) + real(-1, 1)); }
    // An index drawn with the given weights.
    template <size_t N> int weighted(const int (&weights)[N])
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int pick = between(0, total - 1);
        for (size_t i = 0; i < N; ++i) {
            if (pick < weights[i])
                return int(i);
            pick -= weights[i];
        }
        return 0;
    }

private:
    std::mt19937 m_engine;
};

void setName(char (&field)[21], const QString& name)
{
    std::memset(field, 0, sizeof field);
    const QByteArray bytes = ToCp1251(name).left(19);
    std::memcpy(field, bytes.constData(), size_t(bytes.size()));
}

// A name of an 8 x 21-byte object table.
void copyTableName(const QByteArray& table, int entry, TObjName& to)
{
    std::memcpy(to.Name, table.constData() + entry * int(sizeof(TObjName)), sizeof to.Name);
}

QByteArray objectTable(const QStringList& names)
{
    TObjName entries[8] = {};
    for (int i = 0; i < 8; ++i)
        setName(entries[i].Name, names.value(i));
    return QByteArray(reinterpret_cast<const char*>(entries), sizeof entries);
}

// The user's materials of an AN instrument: entries 2 to 4 renamed and calibrated.
struct MaterialSpec {
    const char* name;
    float ax[3];
    TMaterialType type;
    double lowMPa, highMPa; // strengths the material is found at
};

const MaterialSpec AnMaterials[8] = {
    {"Бетон тяжелый", {0.0f, 1.0f, 0.0f}, mtHeavyConcrete, 15, 55},
    {"Бетон легкий", {0.0f, 1.0f, 0.0f}, mtLightConcrete, 6, 22},
    {"Бетон B25 ЖБИ-2", {1.85f, 0.92f, 0.0021f}, mtHeavyConcrete, 25, 42},
    {"Раствор М150", {-0.6f, 1.08f, -0.0009f}, mtOther, 8, 18},
    {"Пенобетон D600", {0.35f, 0.81f, 0.0f}, mtLightConcrete, 2.5, 6},
    {"Без имени-4", {0.0f, 1.0f, 0.0f}, mtOther, 10, 30},
    {"Без имени-5", {0.0f, 1.0f, 0.0f}, mtOther, 10, 30},
    {"Без имени-6", {0.0f, 1.0f, 0.0f}, mtOther, 10, 30},
};

// What stays the same within one session of measurements on one object.
struct Session {
    int entry = 0;          // of the name table
    double strength = 0;    // MPa, or kN for model FX
    uint8_t conditions = 0; // AN
    uint32_t geometry = 0;  // TL
    uint16_t w = 0, l = 0;  // EG
    uint8_t age = 0;        // EG
    uint8_t diameter = 0;   // FX
};

uint32_t packGeometry(bool circle, int h, int dOrW)
{
    return uint32_t(circle ? 1 : 0) | uint32_t(h) << 1 | uint32_t(dOrW) << 16;
}

Session newSession(TKadrelType model, Dice& dice)
{
    Session s;
    switch (model) {
    case devAN: {
        s.entry = dice.weighted({50, 15, 15, 10, 10});
        const MaterialSpec& m = AnMaterials[s.entry];
        const bool concrete = m.type != mtOther;
        s.conditions =
            uint8_t((dice.chance(0.35) ? 1 : 0) | (concrete && dice.chance(0.25) ? 2 : 0) |
                    (m.type == mtHeavyConcrete && dice.chance(0.15) ? 8 : 0) | m.type << 4);
        s.strength = dice.real(m.lowMPa, m.highMPa);
        break;
    }
    case devTL: {
        // Tiles on rectangles of their size, coatings and plaster on round dollies.
        static const struct {
            bool circle;
            int side;
            double low, high;
        } objects[5] = {{false, 50, 0.6, 2.0},
                        {false, 100, 1.5, 4.0},
                        {true, 20, 1.0, 6.0},
                        {true, 50, 0.2, 1.2},
                        {true, 50, 0.8, 2.5}};
        s.entry = dice.weighted({35, 15, 20, 20, 10});
        const auto& o = objects[s.entry];
        const int side = o.circle && dice.chance(0.3) ? 50 : o.side;
        s.geometry = packGeometry(o.circle, side, side);
        s.strength = dice.real(o.low, o.high);
        break;
    }
    case devEG: {
        static const int sides[] = {40, 50, 25};
        s.entry = dice.weighted({60, 30, 10});
        const int side = sides[dice.weighted({60, 30, 10})];
        s.w = uint16_t(side);
        s.l = uint16_t(dice.chance(0.8) ? side : side + 10);
        s.age = uint8_t(dice.chance(0.5) ? 28 : dice.between(3, 90));
        s.strength = s.entry == 1 ? dice.real(0.6, 2.5) : dice.real(0.3, 1.5);
        break;
    }
    case devFX: {
        static const int diameters[] = {6, 8, 10, 12, 16};
        s.entry = dice.weighted({45, 30, 25});
        s.diameter = uint8_t(diameters[dice.between(0, 4)]);
        // Pull-out forces grow with the fastener's cross-section.
        s.strength = 0.09 * s.diameter * s.diameter * (s.entry == 1 ? 1.3 : 1.0);
        break;
    }
    default:
        break;
    }
    return s;
}

int probeCount(Dice& dice)
{
    return 1 + dice.weighted({10, 15, 45, 10, 20});
}

// The force that makes the model AN driver compute strength `r` for this record's material.
float anForce(const TArchAN& record, double r, float slip)
{
    TConditions c;
    DecodeConditions(record.Conditions, c);
    const float* ax = record.Material.Ax;
    double x = (r - ax[0]) / ax[1];
    if (ax[2] != 0.0f) {
        const double disc = double(ax[1]) * ax[1] - 4.0 * ax[2] * (ax[0] - r);
        x = (-ax[1] + std::sqrt(std::max(0.0, disc))) / (2.0 * ax[2]);
    }
    const double k = double(DepthFactor(AnchorDepth(c.Anchor), slip)) *
                     TypeFactor(c.Anchor, c.Hardening, c.MaterialId) *
                     AggregateFactor(c.Aggregate, c.MaterialId);
    return float(std::round(std::max(0.0, x) / k * 1000.0));
}

void fillAN(uint8_t* raw, const Session& s, Dice& dice, const QByteArray& table)
{
    auto& r = *reinterpret_cast<TArchAN*>(raw);
    r.Conditions = s.conditions;
    std::memcpy(&r.Material, table.constData() + s.entry * int(sizeof(TMaterial)),
                sizeof r.Material);
    r.ProbeCount = uint8_t(probeCount(dice));
    for (int i = 0; i < r.ProbeCount; ++i) {
        const float slip = dice.chance(0.5) ? 0.0f : float(std::round(dice.real(5, 160)) / 100.0);
        r.Results[i].Slip = slip;
        r.Results[i].Force = anForce(r, s.strength * (1.0 + dice.scatter(0.04)), slip);
    }
}

double tlArea(uint32_t geometry)
{
    const int h = (geometry & 0xFFFE) >> 1;
    const int dOrW = int(geometry >> 16);
    return (geometry & 1) ? M_PI * (dOrW / 2.0) * (dOrW / 2.0) : double(h) * dOrW;
}

template <class TArch> void fillForces(TArch& r, double perProbe, Dice& dice, double relativeSpread)
{
    r.ProbeCount = uint8_t(probeCount(dice));
    for (int i = 0; i < r.ProbeCount; ++i)
        r.Results[i].Force = float(std::round(perProbe * (1.0 + dice.scatter(relativeSpread))));
}

void fillRecord(TKadrelType model, uint8_t* raw, const Session& s, Dice& dice,
                const QByteArray& table)
{
    switch (model) {
    case devAN:
        fillAN(raw, s, dice, table);
        break;
    case devTL: {
        auto& r = *reinterpret_cast<TArchTL*>(raw);
        r.Geometry = s.geometry;
        copyTableName(table, s.entry, r.ObjTL);
        fillForces(r, s.strength * tlArea(s.geometry), dice, 0.05);
        break;
    }
    case devEG: {
        auto& r = *reinterpret_cast<TArchEG*>(raw);
        r.W = s.w;
        r.L = s.l;
        r.Age = s.age;
        copyTableName(table, s.entry, r.ObjEG);
        fillForces(r, s.strength * s.w * s.l, dice, 0.05);
        break;
    }
    case devFX: {
        auto& r = *reinterpret_cast<TArchFX*>(raw);
        r.diameter = s.diameter;
        copyTableName(table, s.entry, r.ObjFX);
        fillForces(r, s.strength * 1000.0, dice, 0.06);
        break;
    }
    default:
        break;
    }
}

// The last measurement of a working day when `t` falls outside 9:00 to 19:00.
QDateTime duringWorkingHours(const QDateTime& t, Dice& dice)
{
    const int hour = t.time().hour();
    if (hour >= 9 && hour < 19)
        return t;
    const QDate day = hour < 9 ? t.date().addDays(-1) : t.date();
    return QDateTime(day, QTime(dice.between(15, 18), dice.between(0, 59)), Qt::UTC);
}

void stampHead(uint8_t* raw, uint16_t num, const QDateTime& when)
{
    auto& base = *reinterpret_cast<TArchBase*>(raw);
    const QDate date = when.date();
    const QTime time = when.time();
    base.Num = num;
    base.DateTime = {int8_t(time.minute()), int8_t(time.hour()), int8_t(date.day()),
                     int8_t(date.month()), int8_t(date.year() - 2000)};
}

} // namespace

QByteArray InstrumentNameTable(TKadrelType model)
{
    switch (model) {
    case devAN: {
        TMaterial table[8] = {};
        for (int i = 0; i < 8; ++i) {
            setName(table[i].Name, QString::fromUtf8(AnMaterials[i].name));
            std::memcpy(table[i].Ax, AnMaterials[i].ax, sizeof table[i].Ax);
        }
        return QByteArray(reinterpret_cast<const char*>(table), sizeof table);
    }
    case devTL:
        return objectTable({"Облицов. плитка", "Тротуарная плитка", "Лакокрас. покрытие",
                            "Штукатурка", "Гидроизоляция", "Без имени-2", "Без имени-3",
                            "Без имени-4"});
    case devEG:
        return objectTable({"Кирпич", "Камень", "Кирпич М150", "Без имени-2", "Без имени-3",
                            "Без имени-4", "Без имени-5", "Без имени-6"});
    case devFX:
        return objectTable({"Кирпич", "Камень", "Газобетон", "Без имени-2", "Без имени-3",
                            "Без имени-4", "Без имени-5", "Без имени-6"});
    default:
        return {};
    }
}

QByteArray GenerateRecords(TKadrelType model, int count, quint32 seed, const QByteArray& nameTable,
                           const QDateTime& newest)
{
    const TModelInfo* info = ModelInfo(model);
    if (!info || info->RecordSize == 0 || count <= 0)
        return {};
    const int size = info->RecordSize;
    const int wordsCovered = (size - 4) / 4;
    QByteArray out(count * size, '\0');
    Dice dice(seed);
    const QDateTime oldestAllowed(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    QDateTime when = newest;
    Session session;
    int sessionLeft = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            // A few minutes between the probes of one object; hours or days between objects.
            const QDateTime earlier =
                sessionLeft > 0
                    ? when.addSecs(-60 * dice.between(1, 6))
                    : duringWorkingHours(when.addSecs(-60 * dice.between(20, 1800)), dice);
            when = earlier < oldestAllowed ? when.addSecs(-60) : earlier;
        }
        if (sessionLeft == 0) {
            session = newSession(model, dice);
            sessionLeft = dice.between(3, 25);
        }
        auto* raw = reinterpret_cast<uint8_t*>(out.data() + i * size);
        fillRecord(model, raw, session, dice, nameTable);
        stampHead(raw, uint16_t(count - i), when);
        // The instrument seals every record with the frame checksum over its own words.
        qToLittleEndian<uint32_t>(CalcCRC(raw, wordsCovered), raw + size - 4);
        --sessionLeft;
    }
    return out;
}

} // namespace kadrel::sim
