#include "models/kadrel_an.h"

#include "models/cell_text.h"
#include "models/cp1251.h"
#include "models/number_format.h"
#include "models/string_grid.h"

#include <algorithm>
#include <cstring>

namespace
{

constexpr int BasicColumns = 13;
constexpr int DetailColumns = 5;
constexpr int MaterialColumns = 4;
constexpr int MaterialFixedRows = 3; // the header and the two concretes
constexpr int MaterialColWidths[MaterialColumns] = {128, 70, 70, 70};
// Room for the text and its terminating zero in the 21-byte name field.
constexpr int MaxNameBytes = 19;

// Texts indexed by language: Russian first, English second.
using TTexts = const char* const[2];

QString Text(const TTexts& texts, int lang)
{
    return QString::fromUtf8(texts[lang]);
}

void ClearRow(TStringGrid& grid, int row)
{
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.SetCell(col, row, QString());
}

void SetName(TMaterial& material, const QByteArray& bytes)
{
    const int length = std::min(int(bytes.size()), MaxNameBytes);
    std::memcpy(material.Name, bytes.constData(), size_t(length));
    material.Name[length] = 0;
}

QString NameText(const TMaterial& material)
{
    return FromCp1251(material.Name, int(sizeof material.Name));
}

// The name and coefficient cells of a record's material. Records in a row mostly share
// their material, so the cells are made again only when it changes.
class TMaterialCells
{
public:
    void Update(const TMaterial& material)
    {
        if (m_valid && std::memcmp(&m_key, &material, sizeof material) == 0)
            return;
        m_key = material;
        m_valid = true;
        Name = NameText(material);
        for (int i = 0; i < 3; ++i)
            Ax[i] = FormatExp4(material.Ax[i]);
    }

    QString Name;
    QString Ax[3];

private:
    bool m_valid = false;
    TMaterial m_key{};
};

} // namespace

TMatCfg TKadrelAN::MatCfg() const
{
    TMatCfg materials;
    std::memcpy(materials.data(), fNameTable.data(), fNameTable.size());
    return materials;
}

void TKadrelAN::SetMatCfg(const TMatCfg& materials)
{
    std::memcpy(fNameTable.data(), materials.data(), fNameTable.size());
}

QString TKadrelAN::StrengthTitle() const
{
    static const TTexts mpa = {"R, МПа", "R, MPa"};
    static const TTexts kgs = {"R, кгс/см²", "R, kgs/cm²"};
    return Text(fDimension == dtkgs ? kgs : mpa, LangIndex());
}

float TKadrelAN::StrengthInUnit(float r_mPa) const
{
    return fDimension == dtkgs ? MPaToKgs(r_mPa) : r_mPa;
}

void TKadrelAN::UpdateBasicGrid(TStringGrid& Grid)
{
    const int lang = LangIndex();
    static const TTexts titles[BasicColumns] = {
        {"Дата", "Date"},
        {"Время", "Time"},
        {"№", "№"},
        {"", ""},
        {"E,%", "E,%"},
        {"Вф", "Bx"},
        {"Материал", "Material"},
        {"Тверд.", "Hardening"},
        {"Заполн.", "Aggregate"},
        {"Анкер", "Anchor"},
        {"А1", "А1"},
        {"А2", "А2"},
        {"А3", "А3"},
    };
    // The rows come first: a fresh grid has no row 0 to hold the titles.
    Grid.SetColCount(BasicColumns);
    Grid.SetRowCount(std::max(RecCount(), 1) + 1);
    for (int col = 0; col < BasicColumns; ++col)
        Grid.SetCell(col, 0, Text(titles[col], lang));
    Grid.SetCell(3, 0, StrengthTitle());
    if (fArchive.empty()) {
        ClearRow(Grid, 1);
        return;
    }

    static const TTexts hardening[2] = {{"НТ", "NH"}, {"ТО", "HP"}};
    static const TTexts unit = {"мм", "mm"};
    const QString hardeningText[2] = {Text(hardening[htNormal], lang),
                                      Text(hardening[htThermal], lang)};
    const QString mm = Text(unit, lang);
    const QString aggregateText[2] = {QStringLiteral("≤ 50 ") + mm, QStringLiteral("> 50 ") + mm};
    const QString anchorText[2] = {QStringLiteral("16 x 35 ") + mm,
                                   QStringLiteral("24 x 48 ") + mm};

    TMaterialCells material;
    for (int r = 0; r < RecCount(); ++r) {
        TCalcAN& rec = Rec(r);
        CalcRecord(rec);
        const TArchAN& arch = rec.ArchRes;
        const TConditions& cond = rec.Conditions;
        const int row = r + 1;
        Grid.SetCell(0, row, DateCell(arch.Base));
        Grid.SetCell(1, row, TimeCell(arch.Base));
        Grid.SetCell(2, row, NumCell(arch.Base));
        Grid.SetCell(3, row, FormatGeneral(StrengthInUnit(rec.avg_R_mPa), 5));
        Grid.SetCell(4, row, FormatFixed2(rec.epsilon));
        Grid.SetCell(5, row, StrengthClass(rec.avg_R_mPa));
        material.Update(arch.Material);
        Grid.SetCell(6, row, material.Name);
        Grid.SetCell(7, row, hardeningText[cond.Hardening]);
        Grid.SetCell(8, row, aggregateText[cond.Aggregate]);
        Grid.SetCell(9, row, anchorText[cond.Anchor]);
        for (int i = 0; i < 3; ++i)
            Grid.SetCell(10 + i, row, material.Ax[i]);
    }
}

void TKadrelAN::UpdateDetailGrid(TStringGrid& Grid, int Idx)
{
    const int lang = LangIndex();
    static const TTexts forceMpa = {"F, кН", "F, kN"};
    static const TTexts forceKgs = {"F, кгс", "F, kgs"};
    static const TTexts titles[DetailColumns] = {
        {"№", "№"}, {"", ""}, {"Проскальз., мм", "Slip, mm"}, {"", ""}, {"Вф", "Bx"},
    };
    // The probes that exist, at most as many as the record has room for.
    const int probes = Idx >= 0 && Idx < RecCount() ? UsedProbes(Rec(Idx).ArchRes) : 0;
    Grid.SetColCount(DetailColumns);
    Grid.SetRowCount(std::max(probes, 1) + 1);
    for (int col = 0; col < DetailColumns; ++col)
        Grid.SetCell(col, 0, Text(titles[col], lang));
    Grid.SetCell(1, 0, Text(fDimension == dtkgs ? forceKgs : forceMpa, lang));
    Grid.SetCell(3, 0, StrengthTitle());
    if (probes == 0) {
        ClearRow(Grid, 1);
        return;
    }
    const TCalcAN& rec = Rec(Idx);
    for (int i = 0; i < probes; ++i) {
        const TProbe& probe = rec.ArchRes.Results[i];
        const double kN = double(probe.Force) / 1000;
        const double force = fDimension == dtkgs ? KNToKgs(float(kN)) : kN;
        const int row = i + 1;
        Grid.SetCell(0, row, QString::number(row));
        Grid.SetCell(1, row, FormatGeneral(force, 5));
        Grid.SetCell(2, row, FormatGeneral(probe.Slip, 5));
        Grid.SetCell(3, row, FormatGeneral(StrengthInUnit(rec.R_mPa[i]), 5));
        Grid.SetCell(4, row, StrengthClass(rec.R_mPa[i]));
    }
}

void TKadrelAN::UpdateMaterialsGrid(TStringGrid& Grid)
{
    const int lang = LangIndex();
    static const TTexts titles[MaterialColumns] = {
        {"Материал", "Material"}, {"А0", "A0"}, {"А1", "A1"}, {"А2", "A2"}};
    Grid.SetColCount(MaterialColumns);
    Grid.SetRowCount(MaterialCount + 1);
    Grid.SetFixedRows(MaterialFixedRows);
    for (int col = 0; col < MaterialColumns; ++col)
        Grid.SetCell(col, 0, Text(titles[col], lang));

    const TMatCfg materials = MatCfg();
    for (int k = 0; k < MaterialCount; ++k) {
        const TMaterial& material = materials[size_t(k)];
        Grid.SetCell(0, k + 1, NameText(material));
        for (int i = 0; i < 3; ++i)
            Grid.SetCell(i + 1, k + 1, FormatExp4(material.Ax[i]));
    }
    for (int col = 0; col < MaterialColumns; ++col)
        Grid.SetColWidth(col, MaterialColWidths[col]);
}

void TKadrelAN::ApplyMaterials(TStringGrid& Grid)
{
    TMatCfg materials = MatCfg();
    try {
        for (int k = 0; k < MaterialCount; ++k) {
            TMaterial& material = materials[size_t(k)];
            SetName(material, ToCp1251(Grid.Cell(0, k + 1)));
            for (int i = 0; i < 3; ++i)
                material.Ax[i] = float(ReadFloat(Grid.Cell(i + 1, k + 1)));
        }
    } catch (...) {
        // What was read before the bad cell is kept; the instrument hears of none of it.
        SetMatCfg(materials);
        throw;
    }
    SetMatCfg(materials);
    SendMatWrite();
}

void TKadrelAN::ResetMaterials()
{
    static const TTexts concretes[2] = {{"Бетон тяжелый", "Hard concrete"},
                                        {"Бетон легкий", "Light concrete"}};
    static const TTexts noName = {"Без имени-", "No name-"};
    const int lang = LangIndex();
    TMatCfg materials = MatCfg();
    for (int k = 0; k < MaterialCount; ++k) {
        const QString name =
            k < 2 ? Text(concretes[k], lang) : Text(noName, lang) + QString::number(k - 1);
        TMaterial& material = materials[size_t(k)];
        SetName(material, ToCp1251(name));
        material.Ax[0] = 0.0f;
        material.Ax[1] = 1.0f;
        material.Ax[2] = 0.0f;
    }
    SetMatCfg(materials);
}
