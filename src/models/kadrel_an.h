// The driver of model AN, the anchor pull-out tester for concrete: its record and material
// tables as string grids, and the editing of the instrument's material table.
#pragma once

#include "models/an_calc.h"
#include "models/kadrel_model.h"

#include <array>

constexpr int MaterialCount = 8;
using TMatCfg = std::array<TMaterial, MaterialCount>;

class TKadrelAN : public TKadrelModel<TCalcAN, int(sizeof(TMatCfg))>
{
public:
    void UpdateBasicGrid(TStringGrid& Grid) override;
    void UpdateDetailGrid(TStringGrid& Grid, int Idx) override;
    void UpdateMaterialsGrid(TStringGrid& Grid) override;
    void ApplyMaterials(TStringGrid& Grid) override;
    void ResetMaterials() override;

    // The driver's copy of the instrument's material table, in the instrument's order.
    TMatCfg MatCfg() const;
    void SetMatCfg(const TMatCfg& materials);

private:
    int LangIndex() const { return fLang == ruRU ? 0 : 1; }
    QString StrengthTitle() const;
    // A strength in MPa in the unit the tables show.
    float StrengthInUnit(float r_mPa) const;
};

static_assert(sizeof(TMatCfg) == 288, "the material table is 8 entries of 36 bytes");
