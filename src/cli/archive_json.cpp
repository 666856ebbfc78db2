#include "cli/archive_json.h"

#include "app/comment_text.h"
#include "link/kadrel_base.h"
#include "models/cell_text.h"
#include "models/cp1251.h"
#include "models/kadrel_an.h"
#include "models/kadrel_eg.h"
#include "models/kadrel_fx.h"
#include "models/kadrel_tl.h"
#include "models/model_table.h"
#include "models/string_grid.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <charconv>
#include <cmath>

namespace cli
{

namespace
{

// A stored single-precision value as the shortest decimal that reads back to it (27.203, not
// 27.2029991149902); null when it is not a number.
QJsonValue number(float value)
{
    if (!std::isfinite(value))
        return QJsonValue();
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return QByteArray(digits, int(result.ptr - digits)).toDouble();
}

QJsonValue dateTime(const TKadrelDateTime& at)
{
    const QDate date(at.Year + 2000, at.Month, at.Day);
    const QTime time(at.Hour, at.Minute);
    if (!date.isValid() || !time.isValid())
        return QJsonValue();
    return QDateTime(date, time).toString(Qt::ISODate);
}

// Strengths: MPa, kgf/cm2 or, for model EG, kPa.
struct TUnits {
    QString Strength;
    float (*Convert)(float);
};

float same(float value)
{
    return value;
}
float thousand(float value)
{
    return float(double(value) * 1000);
}

TUnits strengthUnits(TDimensionType unit, bool kPa)
{
    if (unit == dtkgs)
        return {QStringLiteral("kgf/cm²"), MPaToKgs};
    return kPa ? TUnits{QStringLiteral("kPa"), thousand} : TUnits{QStringLiteral("MPa"), same};
}

// What every model's record holds: number, place in memory, time, probes, mean, spread and
// comment. `perProbe` adds the probe's computed value.
template <class TCalc>
QJsonObject commonFields(IKadrel& driver, int index, const TCalc& rec, const TUnits& units,
                         bool withSlip, bool perProbe)
{
    QJsonObject record;
    const TArchBase& base = rec.ArchRes.Base;
    record["num"] = base.Num;
    record["absIndex"] = base.AbsIndex;
    record["dateTime"] = dateTime(base.DateTime);
    const int probes = std::min<int>(rec.ArchRes.ProbeCount, MaxProbes);
    record["probeCount"] = rec.ArchRes.ProbeCount;
    QJsonArray list;
    for (int i = 0; i < probes; ++i) {
        QJsonObject probe;
        probe["force"] = number(rec.ArchRes.Results[i].Force);
        if (withSlip)
            probe["slip"] = number(rec.ArchRes.Results[i].Slip);
        if (perProbe)
            probe["strength"] = number(units.Convert(rec.R_mPa[i]));
        list.append(probe);
    }
    record["probes"] = list;
    record["mean"] = number(units.Convert(rec.avg_R_mPa));
    record["spread"] = number(rec.epsilon);
    record["comment"] = CommentTextToLines(driver.GetComment(index)).join(u'\n');
    return record;
}

QJsonArray coefficients(const float (&ax)[3])
{
    return QJsonArray{number(ax[0]), number(ax[1]), number(ax[2])};
}

QJsonArray recordsAN(TKadrelAN& driver, const TUnits& units)
{
    static const char* const materialTypes[] = {"heavyConcrete", "lightConcrete", "other"};
    QJsonArray records;
    for (int i = 0; i < driver.RecCount(); ++i) {
        const TCalcAN& rec = driver.Rec(i);
        QJsonObject record = commonFields(driver, i, rec, units, true, true);
        const TConditions& c = rec.Conditions;
        QJsonObject conditions;
        conditions["byte"] = rec.ArchRes.Conditions;
        conditions["anchor"] = c.Anchor == anBig ? "24x48" : "16x35";
        conditions["anchorDepth"] = AnchorDepth(c.Anchor);
        conditions["hardening"] = c.Hardening == htThermal ? "thermal" : "normal";
        conditions["aggregate"] = c.Aggregate == agBig ? "over50mm" : "upTo50mm";
        conditions["materialId"] = int(c.MaterialId);
        conditions["materialType"] =
            c.MaterialId <= mtOther ? QJsonValue(materialTypes[c.MaterialId]) : QJsonValue();
        record["conditions"] = conditions;
        QJsonObject material;
        material["name"] =
            FromCp1251(rec.ArchRes.Material.Name, int(sizeof rec.ArchRes.Material.Name));
        material["coefficients"] = coefficients(rec.ArchRes.Material.Ax);
        record["material"] = material;
        record["class"] = StrengthClass(rec.avg_R_mPa);
        records.append(record);
    }
    return records;
}

QJsonArray recordsTL(TKadrelTL& driver, const TUnits& units)
{
    QJsonArray records;
    for (int i = 0; i < driver.RecCount(); ++i) {
        const TCalcTL& rec = driver.Rec(i);
        QJsonObject record = commonFields(driver, i, rec, units, false, true);
        record["object"] = NameCell(rec.Obj());
        QJsonObject geometry;
        if (rec.Geom.GType == gtCircle) {
            geometry["shape"] = "circle";
            geometry["diameter"] = rec.Geom.DorW;
        } else {
            geometry["shape"] = "rectangle";
            geometry["width"] = rec.Geom.DorW;
            geometry["height"] = rec.Geom.H;
        }
        record["geometry"] = geometry;
        records.append(record);
    }
    return records;
}

QJsonArray recordsEG(TKadrelEG& driver, const TUnits& units)
{
    QJsonArray records;
    for (int i = 0; i < driver.RecCount(); ++i) {
        const TCalcEG& rec = driver.Rec(i);
        QJsonObject record = commonFields(driver, i, rec, units, false, true);
        record["object"] = NameCell(rec.Obj());
        record["w"] = rec.Geom.W;
        record["l"] = rec.Geom.L;
        record["age"] = rec.Geom.Age;
        record["kt"] = number(TKadrelEG::CalcKt(rec.Geom.Age));
        records.append(record);
    }
    return records;
}

QJsonArray recordsFX(TKadrelFX& driver, const TUnits& units)
{
    QJsonArray records;
    for (int i = 0; i < driver.RecCount(); ++i) {
        const TCalcFX& rec = driver.Rec(i);
        QJsonObject record = commonFields(driver, i, rec, units, false, false);
        record["fastener"] = NameCell(rec.Obj());
        record["diameter"] = rec.diam;
        records.append(record);
    }
    return records;
}

QJsonObject instrument(IKadrel& driver)
{
    const auto& base = dynamic_cast<TKadrelBase&>(driver);
    const TKadrelInfo& info = base.DevInfo();
    const TModelInfo* model = ModelInfo(info.DevType);
    QJsonObject object;
    object["type"] = info.DevType;
    object["model"] = model ? QJsonValue(model->Code) : QJsonValue();
    object["serialNumber"] = SerialNumberText(info.SerialNumber);
    object["name"] = driver.GetDevName();
    object["identification"] = QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(&info), int(sizeof(info))).toHex());
    return object;
}

} // namespace

QJsonDocument archiveJson(IKadrel& driver, TDimensionType unit)
{
    // Building the record table computes every record.
    TStringGrid basic;
    driver.UpdateBasicGrid(basic);

    QJsonObject units{{"force", "N"}, {"spread", "%"}};
    QJsonArray records;
    if (auto* an = dynamic_cast<TKadrelAN*>(&driver)) {
        const TUnits strength = strengthUnits(unit, false);
        units["slip"] = "mm";
        units["strength"] = strength.Strength;
        units["mean"] = strength.Strength;
        records = recordsAN(*an, strength);
    } else if (auto* tl = dynamic_cast<TKadrelTL*>(&driver)) {
        const TUnits strength = strengthUnits(unit, false);
        units["strength"] = strength.Strength;
        units["mean"] = strength.Strength;
        units["geometry"] = "mm";
        records = recordsTL(*tl, strength);
    } else if (auto* eg = dynamic_cast<TKadrelEG*>(&driver)) {
        const TUnits strength = strengthUnits(unit, true);
        units["strength"] = strength.Strength;
        units["mean"] = strength.Strength;
        units["size"] = "mm";
        records = recordsEG(*eg, strength);
    } else if (auto* fx = dynamic_cast<TKadrelFX*>(&driver)) {
        const TUnits force = unit == dtkgs ? TUnits{QStringLiteral("kgf"), KNToKgs}
                                           : TUnits{QStringLiteral("kN"), same};
        units["mean"] = force.Strength;
        records = recordsFX(*fx, force);
    }
    QJsonObject root;
    root["instrument"] = instrument(driver);
    root["units"] = units;
    root["records"] = records;
    return QJsonDocument(root);
}

} // namespace cli
