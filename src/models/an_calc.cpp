#include "models/an_calc.h"

#include <algorithm>

namespace
{

// Every stored step is a 32-bit float; the arithmetic between the steps runs in double.
float Rounded(double value)
{
    return static_cast<float>(value);
}

} // namespace

void DecodeConditions(uint8_t c, TConditions& conditions)
{
    conditions.Anchor = TAnchorType(c & 1);
    conditions.Hardening = THardeningType((c >> 1) & 1);
    conditions.Aggregate = TAggregateType((c >> 3) & 1);
    conditions.MaterialId = TMaterialType((c >> 4) & 3);
}

int AnchorDepth(TAnchorType anchor)
{
    return anchor == anBig ? 48 : 35;
}

float TypeFactor(TAnchorType anchor, THardeningType hardening, TMaterialType material)
{
    // Any material other than heavy concrete and "other" counts as light concrete.
    if (material == mtOther)
        return anchor == anBig ? 1.0f : 2.0f;
    if (anchor == anBig) {
        if (hardening == htThermal)
            return material == mtHeavyConcrete ? 1.1f : 1.0f;
        return material == mtHeavyConcrete ? 0.9f : 1.0f;
    }
    if (hardening == htThermal)
        return material == mtHeavyConcrete ? 2.0f : 2.2f;
    return material == mtHeavyConcrete ? 1.7f : 1.9f;
}

float AggregateFactor(TAggregateType aggregate, TMaterialType material)
{
    if (material == mtOther)
        return 1.0f;
    return aggregate == agBig ? 1.1f : 1.0f;
}

float DepthFactor(int depth, float slip)
{
    if (!(slip > 0))
        return 1.0f;
    const float q = Rounded(double(depth) / (double(depth) - double(slip)));
    return Rounded(double(q) * double(q));
}

float EvalPolynomial(const float (&ax)[3], float x)
{
    return Rounded((double(ax[2]) * x + ax[1]) * x + ax[0]);
}

int UsedProbes(const TArchAN& record)
{
    return std::min<int>(record.ProbeCount, MaxProbes);
}

void CalcRecord(TCalcAN& record)
{
    const TArchAN& arch = record.ArchRes;
    DecodeConditions(arch.Conditions, record.Conditions);
    const TConditions& cond = record.Conditions;
    const int depth = AnchorDepth(cond.Anchor);
    const float kType = TypeFactor(cond.Anchor, cond.Hardening, cond.MaterialId);
    const float kAggr = AggregateFactor(cond.Aggregate, cond.MaterialId);

    const int probes = UsedProbes(arch);
    float sum = 0;
    for (int i = 0; i < probes; ++i) {
        const float kDepth = DepthFactor(depth, arch.Results[i].Slip);
        const float f = Rounded(double(arch.Results[i].Force) / 1000);
        const float x = Rounded(((double(kDepth) * kType) * kAggr) * f);
        record.R_mPa[i] = EvalPolynomial(arch.Material.Ax, x);
        sum = Rounded(double(sum) + record.R_mPa[i]);
    }
    // No probes: 0/0, which IEEE arithmetic makes NAN.
    record.avg_R_mPa = Rounded(double(sum) / double(probes));

    float m = 0;
    for (int i = 0; i < probes; ++i) {
        float d = Rounded(double(record.R_mPa[i]) - record.avg_R_mPa);
        if (d < 0)
            d = -d;
        if (d > m)
            m = d;
    }
    record.epsilon = record.avg_R_mPa > 0 ? Rounded(double(m) * 100 / record.avg_R_mPa) : 0.0f;
}

const QString& StrengthClass(float r_mPa)
{
    struct Threshold {
        double kgs; // kgf/cm2
        QString text;
    };
    static const Threshold thresholds[] = {
        {982.26, QStringLiteral("B 75")},   {916.78, QStringLiteral("B 70")},
        {851.3, QStringLiteral("B 65")},    {785.81, QStringLiteral("B 60")},
        {720.32, QStringLiteral("B 55")},   {654.84, QStringLiteral("B 50")},
        {589.35, QStringLiteral("B 45")},   {523.87, QStringLiteral("B 40")},
        {458.39, QStringLiteral("B 35")},   {392.9, QStringLiteral("B 30")},
        {360.18, QStringLiteral("B 27.5")}, {327.42, QStringLiteral("B 25")},
        {294.68, QStringLiteral("B 22.5")}, {261.93, QStringLiteral("B 20")},
        {196.45, QStringLiteral("B 15")},   {163.71, QStringLiteral("B 12.5")},
        {130.97, QStringLiteral("B 10")},   {98.23, QStringLiteral("B 7.5")},
        {65.48, QStringLiteral("B 5")},     {45.84, QStringLiteral("B 3.5")},
        {32.74, QStringLiteral("B 2.5")},
    };
    static const QString none = QStringLiteral("???");

    const double a = Rounded(double(r_mPa) * 100 / 9.80665);
    for (const Threshold& t : thresholds) {
        if (a >= t.kgs)
            return t.text;
    }
    return none;
}
