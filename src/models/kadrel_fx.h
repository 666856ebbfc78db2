// The driver of model FX, the pull-out tester for fasteners: it shows the probe forces, their
// mean and spread, and the fastener's diameter; no strength is computed.
#pragma once

#include "models/kadrel_objmodel.h"

struct TCalcFX : TArchEntryOf<TArchFX> {
    float R_mPa[MaxProbes] = {}; // forces in kN, named as the strengths of the other models
    float avg_R_mPa = 0;         // kN
    float epsilon = 0;           // percent
    uint8_t diam = 0;

    const TObjName& Obj() const { return ArchRes.ObjFX; }
};

class TKadrelFX : public TKadrelObjModel<TCalcFX>
{
protected:
    const TObjModelTexts& Texts() const override;
    void CalcRecord(TCalcFX& rec) override;
    double InUnit(float value) const override;
    void FillModelColumns(TStringGrid& Grid, int row, const TCalcFX& rec) const override;
};
