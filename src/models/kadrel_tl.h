// The driver of model TL, the pull-off tester for coatings and tiles: strength is the probe
// force over the breakaway area, a rectangle of two sides or a circle of one diameter.
#pragma once

#include "models/kadrel_objmodel.h"

enum TGeometryType : uint8_t { gtRectangle = 0, gtCircle = 1 };

// The breakaway geometry packed into a TL record: millimetres.
struct TBreakawayGeometry {
    TGeometryType GType = gtRectangle;
    uint16_t H = 0;
    uint16_t DorW = 0; // the diameter of a circle, the other side of a rectangle
};

struct TCalcTL : TArchEntryOf<TArchTL> {
    float R_mPa[MaxProbes] = {};
    float avg_R_mPa = 0;
    float epsilon = 0; // percent
    TBreakawayGeometry Geom;

    const TObjName& Obj() const { return ArchRes.ObjTL; }
};

class TKadrelTL : public TKadrelObjModel<TCalcTL>
{
public:
    using TGeometryType = ::TGeometryType;
    using TGeometry = TBreakawayGeometry;

protected:
    const TObjModelTexts& Texts() const override;
    void CalcRecord(TCalcTL& rec) override;
    double InUnit(float value) const override;
    void FillModelColumns(TStringGrid& Grid, int row, const TCalcTL& rec) const override;

private:
    QString GeometryText(const TGeometry& geom) const;
};
