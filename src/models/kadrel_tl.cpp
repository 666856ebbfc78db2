#include "models/kadrel_tl.h"

namespace
{

constexpr double Pi = 3.14159265358979323846;

// Bit 0 the shape, bits 1-15 one side, bits 16-31 the diameter or the other side.
TBreakawayGeometry DecodeGeometry(uint32_t geometry)
{
    TBreakawayGeometry geom;
    geom.GType = TGeometryType(geometry & 1);
    geom.H = uint16_t((geometry & 0xFFFE) >> 1);
    geom.DorW = uint16_t(geometry >> 16);
    return geom;
}

} // namespace

const TObjModelTexts& TKadrelTL::Texts() const
{
    static const TObjModelTexts texts = {
        {
            {"Дата", "Date"},
            {"Время", "Time"},
            {"№", "№"},
            {"R, МПа", "R, MPa", "R, кгс/см²", "R, kgs/cm²"},
            {"E,%", "E,%"},
            {"Объект", "object"},
            {"Геометрия отрыва", "Breakaway geometry"},
        },
        {
            {"№", "№"},
            {"F, кН", "F, kN", "F, кгс", "F, kgs"},
            {"R, МПа", "R, MPa", "R, кгс/см²", "R, kgs/cm²"},
        },
        {
            {"Облицов. плитка", "Facing tile"},
            {"Тротуарная плитка", "Paving flag"},
            {"Лакокрас. покрытие", "Lacquer coat."},
            {"Штукатурка", "Plaster"},
        },
    };
    return texts;
}

void TKadrelTL::CalcRecord(TCalcTL& rec)
{
    rec.Geom = DecodeGeometry(rec.ArchRes.Geometry);
    const double radius = rec.Geom.DorW / 2.0;
    const double area = rec.Geom.GType == gtRectangle
                            ? double(float(int64_t(rec.Geom.H) * rec.Geom.DorW))
                            : radius * radius * Pi;
    const int probes = objmodel::ProbesOf(rec.ArchRes);
    for (int i = 0; i < probes; ++i)
        rec.R_mPa[i] = float(double(rec.ArchRes.Results[i].Force) / area);
    objmodel::MeanAndSpread(rec.R_mPa, probes, rec.avg_R_mPa, rec.epsilon);
}

double TKadrelTL::InUnit(float value) const
{
    return fDimension == dtkgs ? double(MPaToKgs(value)) : double(value);
}

void TKadrelTL::FillModelColumns(TStringGrid& Grid, int row, const TCalcTL& rec) const
{
    Grid.SetCell(6, row, GeometryText(rec.Geom));
}

QString TKadrelTL::GeometryText(const TGeometry& geom) const
{
    const QString unit = fLang == ruRU ? QStringLiteral("мм") : QStringLiteral("mm");
    // Joined rather than formatted with arg(): a full archive has tens of thousands of rows.
    if (geom.GType == gtCircle)
        return QStringLiteral("◯ ") + QString::number(geom.DorW) + u' ' + unit;
    return QStringLiteral("▯ ") + QString::number(geom.DorW) + u'✕' + QString::number(geom.H) +
           u' ' + unit;
}
