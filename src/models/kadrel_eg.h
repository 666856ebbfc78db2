// The driver of model EG, the tester for brick and stone: strength is the probe force over
// the tested area W x L, shown in kPa, with the age coefficient Kt beside it.
#pragma once

#include "models/kadrel_objmodel.h"

// The tested area of an EG record in millimetres and the age its Kt is computed from.
struct TTestedArea {
    uint16_t W = 0;
    uint16_t L = 0;
    uint8_t Age = 0;
};

struct TCalcEG : TArchEntryOf<TArchEG> {
    float R_mPa[MaxProbes] = {};
    float avg_R_mPa = 0;
    float epsilon = 0; // percent
    TTestedArea Geom;

    const TObjName& Obj() const { return ArchRes.ObjEG; }
};

class TKadrelEG : public TKadrelObjModel<TCalcEG>
{
public:
    using TGeometry = TTestedArea;

    // The age coefficient shown beside the strength; it does not enter the strengths.
    static float CalcKt(uint8_t age);

protected:
    const TObjModelTexts& Texts() const override;
    void CalcRecord(TCalcEG& rec) override;
    double InUnit(float value) const override;
    void FillModelColumns(TStringGrid& Grid, int row, const TCalcEG& rec) const override;
};
