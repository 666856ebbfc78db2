// Strength computation of model AN: factors, rounding steps, mean, spread and class.
#include "models/an_calc.h"

#include <QtTest>
#include <cmath>
#include <cstring>

namespace
{

using Floats = QList<float>;

constexpr uint8_t Big = 0x01;
constexpr uint8_t Thermal = 0x02;
constexpr uint8_t Bit2 = 0x04;
constexpr uint8_t BigAggregate = 0x08;
constexpr uint8_t Light = 0x10;
constexpr uint8_t Other = 0x20;
constexpr uint8_t Unnamed = 0x30;
constexpr uint8_t Bits67 = 0xC0;

TCalcAN MakeRecord(uint8_t conditions, const Floats& forces, const Floats& slips, const Floats& ax,
                   int probeCount)
{
    TCalcAN rec;
    rec.ArchRes.Conditions = conditions;
    for (int i = 0; i < 3; ++i)
        rec.ArchRes.Material.Ax[i] = ax[i];
    rec.ArchRes.ProbeCount = uint8_t(probeCount);
    for (int i = 0; i < forces.size(); ++i) {
        rec.ArchRes.Results[i].Force = forces[i];
        rec.ArchRes.Results[i].Slip = slips[i];
    }
    return rec;
}

// Every rounding step shows in the last bits, so results are compared bit for bit; a NAN
// matches any NAN, whatever its sign and payload.
bool SameBits(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestAnCalc : public QObject
{
    Q_OBJECT
private slots:
    void decodeConditions_data();
    void decodeConditions();
    void typeFactor_data();
    void typeFactor();
    void aggregateFactor_data();
    void aggregateFactor();
    void depthFactor_data();
    void depthFactor();
    void calcRecord_data();
    void calcRecord();
    void strengthClass_data();
    void strengthClass();
};

void TestAnCalc::decodeConditions_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("hardening");
    QTest::addColumn<int>("aggregate");
    QTest::addColumn<int>("material");

    QTest::newRow("zero") << 0x00 << 0 << 0 << 0 << 0;
    QTest::newRow("big anchor") << 0x01 << 1 << 0 << 0 << 0;
    QTest::newRow("thermal") << 0x02 << 0 << 1 << 0 << 0;
    QTest::newRow("big aggregate") << 0x08 << 0 << 0 << 1 << 0;
    QTest::newRow("light") << 0x10 << 0 << 0 << 0 << 1;
    QTest::newRow("other") << 0x20 << 0 << 0 << 0 << 2;
    QTest::newRow("material 3") << 0x30 << 0 << 0 << 0 << 3;
    QTest::newRow("bits 2, 6, 7 mean nothing") << 0xC4 << 0 << 0 << 0 << 0;
    QTest::newRow("all") << 0xFF << 1 << 1 << 1 << 3;
}

void TestAnCalc::decodeConditions()
{
    QFETCH(int, byte);
    QFETCH(int, anchor);
    QFETCH(int, hardening);
    QFETCH(int, aggregate);
    QFETCH(int, material);

    TConditions cond;
    cond.ExpectedStrength = htThermal;
    DecodeConditions(uint8_t(byte), cond);
    QCOMPARE(int(cond.Anchor), anchor);
    QCOMPARE(int(cond.Hardening), hardening);
    QCOMPARE(int(cond.Aggregate), aggregate);
    QCOMPARE(int(cond.MaterialId), material);
    QCOMPARE(cond.ExpectedStrength, htThermal);
}

void TestAnCalc::typeFactor_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("hardening");
    QTest::addColumn<QList<float>>("byMaterial"); // materials 0, 1, 2 and 3

    QTest::newRow("big, normal") << int(anBig) << int(htNormal) << Floats{0.9f, 1.0f, 1.0f, 1.0f};
    QTest::newRow("big, thermal") << int(anBig) << int(htThermal) << Floats{1.1f, 1.0f, 1.0f, 1.0f};
    QTest::newRow("small, normal")
        << int(anSmall) << int(htNormal) << Floats{1.7f, 1.9f, 2.0f, 1.9f};
    QTest::newRow("small, thermal")
        << int(anSmall) << int(htThermal) << Floats{2.0f, 2.2f, 2.0f, 2.2f};
}

void TestAnCalc::typeFactor()
{
    QFETCH(int, anchor);
    QFETCH(int, hardening);
    QFETCH(Floats, byMaterial);

    for (int material = 0; material < 4; ++material)
        QVERIFY2(SameBits(TypeFactor(TAnchorType(anchor), THardeningType(hardening),
                                     TMaterialType(material)),
                          byMaterial[material]),
                 qPrintable(QStringLiteral("material %1").arg(material)));
}

void TestAnCalc::aggregateFactor_data()
{
    QTest::addColumn<int>("aggregate");
    QTest::addColumn<QList<float>>("byMaterial"); // materials 0, 1, 2 and 3

    QTest::newRow("small") << int(agSmall) << Floats{1.0f, 1.0f, 1.0f, 1.0f};
    QTest::newRow("big") << int(agBig) << Floats{1.1f, 1.1f, 1.0f, 1.1f};
}

void TestAnCalc::aggregateFactor()
{
    QFETCH(int, aggregate);
    QFETCH(Floats, byMaterial);

    for (int material = 0; material < 4; ++material)
        QVERIFY2(SameBits(AggregateFactor(TAggregateType(aggregate), TMaterialType(material)),
                          byMaterial[material]),
                 qPrintable(QStringLiteral("material %1").arg(material)));
}

void TestAnCalc::depthFactor_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<float>("slip");
    QTest::addColumn<float>("factor");

    QTest::newRow("no slip") << 35 << 0.0f << 1.0f;
    QTest::newRow("negative slip") << 48 << -3.0f << 1.0f;
    QTest::newRow("1 mm of 35: (35/34)^2") << 35 << 1.0f << 1.059688687324524f;
    QTest::newRow("0.5 mm of 48") << 48 << 0.5f << 1.0211633443832397f;
    QTest::newRow("slipped out entirely") << 48 << 48.0f << INFINITY;
}

void TestAnCalc::depthFactor()
{
    QFETCH(int, depth);
    QFETCH(float, slip);
    QFETCH(float, factor);
    QVERIFY(SameBits(DepthFactor(depth, slip), factor));
}

void TestAnCalc::calcRecord_data()
{
    QTest::addColumn<int>("conditions");
    QTest::addColumn<QList<float>>("forces");
    QTest::addColumn<QList<float>>("slips");
    QTest::addColumn<QList<float>>("ax");
    QTest::addColumn<int>("probeCount");
    QTest::addColumn<QList<float>>("strengths");
    QTest::addColumn<float>("mean");
    QTest::addColumn<float>("spread");

    const Floats identity{0, 1, 0};
    const Floats threeForces{30000, 32000, 28000};
    const Floats threeSlips{0, 0.5f, 0};
    const Floats threeStrengths{27.0f, 29.409503936767578f, 25.19999885559082f};

    QTest::newRow("one probe") << int(Big) << Floats{30000} << Floats{0} << identity << 1
                               << Floats{27.0f} << 27.0f << 0.0f;
    QTest::newRow("three probes") << int(Big) << threeForces << threeSlips << identity << 3
                                  << threeStrengths << 27.203168869018555f << 8.110581398010254f;
    QTest::newRow("bits 2, 6, 7 change nothing")
        << int(Big | Bit2 | Bits67) << threeForces << threeSlips << identity << 3 << threeStrengths
        << 27.203168869018555f << 8.110581398010254f;
    QTest::newRow("calibration polynomial")
        << int(Big) << Floats{30000} << Floats{0} << Floats{1, 2, 0.5f} << 1 << Floats{419.5f}
        << 419.5f << 0.0f;
    QTest::newRow("slip 1 mm, small anchor")
        << 0 << Floats{30000} << Floats{1} << identity << 1 << Floats{54.044124603271484f}
        << 54.044124603271484f << 0.0f;
    QTest::newRow("thermal, big aggregate")
        << int(Big | Thermal | BigAggregate) << Floats{30000} << Floats{0} << identity << 1
        << Floats{36.30000305175781f} << 36.30000305175781f << 0.0f;
    QTest::newRow("light, small anchor, thermal")
        << int(Light | Thermal) << Floats{30000} << Floats{0} << identity << 1 << Floats{66.0f}
        << 66.0f << 0.0f;
    QTest::newRow("other ignores the aggregate")
        << int(Other | Big | BigAggregate) << Floats{30000} << Floats{0} << identity << 1
        << Floats{30.0f} << 30.0f << 0.0f;
    QTest::newRow("other, small anchor, thermal")
        << int(Other | Thermal) << Floats{30000} << Floats{0} << identity << 1 << Floats{60.0f}
        << 60.0f << 0.0f;
    QTest::newRow("material 3: light type, concrete aggregate")
        << int(Unnamed | BigAggregate) << Floats{30000} << Floats{0} << identity << 1
        << Floats{62.70000076293945f} << 62.70000076293945f << 0.0f;
    QTest::newRow("mean not positive: no spread")
        << int(Big) << Floats{30000, 10000} << Floats{0, 0} << Floats{-5, 0, 0} << 2
        << Floats{-5.0f, -5.0f} << -5.0f << 0.0f;

    // Records the instrument should never send: they must compute without reading past
    // the record, to IEEE results the tables can show.
    QTest::newRow("no probes") << int(Big) << Floats{} << Floats{} << identity << 0 << Floats{}
                               << NAN << 0.0f;
    QTest::newRow("probe count 7 uses the 5 probes there are")
        << int(Big) << Floats{30000, 30000, 30000, 30000, 30000} << Floats{0, 0, 0, 0, 0}
        << identity << 7 << Floats{27, 27, 27, 27, 27} << 27.0f << 0.0f;
    QTest::newRow("slip equal to the depth, linear")
        << int(Big) << Floats{30000} << Floats{48} << identity << 1 << Floats{NAN} << NAN << 0.0f;
    QTest::newRow("slip equal to the depth, square")
        << int(Big) << Floats{30000} << Floats{48} << Floats{0, 0, 1} << 1 << Floats{INFINITY}
        << INFINITY << 0.0f;
}

void TestAnCalc::calcRecord()
{
    QFETCH(int, conditions);
    QFETCH(Floats, forces);
    QFETCH(Floats, slips);
    QFETCH(Floats, ax);
    QFETCH(int, probeCount);
    QFETCH(Floats, strengths);
    QFETCH(float, mean);
    QFETCH(float, spread);

    TCalcAN rec = MakeRecord(uint8_t(conditions), forces, slips, ax, probeCount);
    const TArchAN before = rec.ArchRes;
    CalcRecord(rec);

    for (int i = 0; i < strengths.size(); ++i)
        QVERIFY2(SameBits(rec.R_mPa[i], strengths[i]),
                 qPrintable(QStringLiteral("probe %1: %2").arg(i).arg(rec.R_mPa[i], 0, 'g', 9)));
    QVERIFY2(SameBits(rec.avg_R_mPa, mean), qPrintable(QString::number(rec.avg_R_mPa, 'g', 9)));
    QVERIFY2(SameBits(rec.epsilon, spread), qPrintable(QString::number(rec.epsilon, 'g', 9)));
    QVERIFY(std::memcmp(&before, &rec.ArchRes, sizeof before) == 0);
}

void TestAnCalc::strengthClass_data()
{
    QTest::addColumn<float>("strength");
    QTest::addColumn<QString>("text");

    QTest::newRow("27 MPa") << 27.0f << "B 20";
    QTest::newRow("mean of three probes") << 27.203168869018555f << "B 20";
    // The smallest strengths whose kgf/cm2 value reaches a threshold, and the float just
    // below each. 851.3 and 261.93 lie above their nearest float, so a comparison in single
    // precision would give their class one float too early.
    QTest::newRow("at 982.26") << 0x1.814ea6p+6f << "B 75";
    QTest::newRow("below 982.26") << 0x1.814ea4p+6f << "B 70";
    QTest::newRow("at 851.3") << 0x1.4defa2p+6f << "B 65";
    QTest::newRow("below 851.3") << 0x1.4defa0p+6f << "B 60";
    QTest::newRow("at 261.93") << 0x1.9afc26p+4f << "B 20";
    QTest::newRow("below 261.93") << 0x1.9afc24p+4f << "B 15";
    QTest::newRow("at 45.84") << 0x1.1fb41ep+2f << "B 3.5";
    QTest::newRow("at 32.74") << 0x1.9af822p+1f << "B 2.5";
    QTest::newRow("below 32.74") << 0x1.9af820p+1f << "???";
    QTest::newRow("zero") << 0.0f << "???";
    QTest::newRow("negative") << -27.0f << "???";
    QTest::newRow("not a number") << NAN << "???";
    QTest::newRow("huge") << 1e30f << "B 75";
}

void TestAnCalc::strengthClass()
{
    QFETCH(float, strength);
    QFETCH(QString, text);
    QCOMPARE(StrengthClass(strength), text);
}

QTEST_APPLESS_MAIN(TestAnCalc)
#include "tst_an_calc.moc"
