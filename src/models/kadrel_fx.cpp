#include "models/kadrel_fx.h"

const TObjModelTexts& TKadrelFX::Texts() const
{
    static const TObjModelTexts texts = {
        {
            {"Дата", "Date"},
            {"Время", "Time"},
            {"№", "№"},
            {"F, кН", "F, kN", "F, кгс", "F, kgs"},
            {"E,%", "E,%"},
            {"Крепёж", "Fastener"},
            {"Диаметр", "Diameter"},
        },
        {
            {"№", "№"},
            {"F, кН", "F, kN", "F, кгс", "F, kgs"},
        },
        {
            {"Кирпич", "Brick"},
            {"Камень", "Stone"},
        },
    };
    return texts;
}

void TKadrelFX::CalcRecord(TCalcFX& rec)
{
    rec.diam = rec.ArchRes.diameter;
    const int probes = objmodel::ProbesOf(rec.ArchRes);
    for (int i = 0; i < probes; ++i)
        rec.R_mPa[i] = float(double(rec.ArchRes.Results[i].Force) / 1000);
    objmodel::MeanAndSpread(rec.R_mPa, probes, rec.avg_R_mPa, rec.epsilon);
}

double TKadrelFX::InUnit(float value) const
{
    return fDimension == dtkgs ? double(KNToKgs(value)) : double(value);
}

void TKadrelFX::FillModelColumns(TStringGrid& Grid, int row, const TCalcFX& rec) const
{
    Grid.SetCell(6, row, QString::number(rec.diam));
}
