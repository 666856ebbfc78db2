#include "models/kadrel_eg.h"

const TObjModelTexts& TKadrelEG::Texts() const
{
    static const TObjModelTexts texts = {
        {
            {"Дата", "Date"},
            {"Время", "Time"},
            {"№", "№"},
            {"R, кПа", "R, kPa", "R, кгс/см²", "R, kgs/cm²"},
            {"E,%", "E,%"},
            {"Объект", "object"},
            {"Размер", "Size"},
            {"Возраст", "Age"},
            {"Kt", "Kt"},
        },
        {
            {"№", "№"},
            {"F, кН", "F, kN", "F, кгс", "F, kgs"},
            {"R, кПа", "R, kPa", "R, кгс/см²", "R, kgs/cm²"},
        },
        {
            {"Кирпич", "Brick"},
            {"Камень", "Stone"},
        },
    };
    return texts;
}

void TKadrelEG::CalcRecord(TCalcEG& rec)
{
    rec.Geom.W = rec.ArchRes.W;
    rec.Geom.L = rec.ArchRes.L;
    rec.Geom.Age = rec.ArchRes.Age;
    const float area = float(int64_t(rec.Geom.W) * rec.Geom.L);
    const int probes = objmodel::ProbesOf(rec.ArchRes);
    for (int i = 0; i < probes; ++i)
        rec.R_mPa[i] = float(double(rec.ArchRes.Results[i].Force) / double(area));
    objmodel::MeanAndSpread(rec.R_mPa, probes, rec.avg_R_mPa, rec.epsilon);
}

double TKadrelEG::InUnit(float value) const
{
    // Strengths are held in MPa and shown in kPa.
    return fDimension == dtkgs ? double(MPaToKgs(value)) : double(value) * 1000;
}

void TKadrelEG::FillModelColumns(TStringGrid& Grid, int row, const TCalcEG& rec) const
{
    // Joined rather than formatted with arg(): a full archive has tens of thousands of rows.
    Grid.SetCell(6, row, QString::number(rec.Geom.W) + u'✕' + QString::number(rec.Geom.L));
    Grid.SetCell(7, row, QString::number(rec.Geom.Age));
    Grid.SetCell(8, row, FormatGeneral(CalcKt(rec.Geom.Age), 3));
}

float TKadrelEG::CalcKt(uint8_t age)
{
    // Not limited: the curve has its lowest point near 31 days and rises again beyond.
    const long double a = age;
    return float(0.0010204082L * a * a - 0.064285714L * a + 2);
}
