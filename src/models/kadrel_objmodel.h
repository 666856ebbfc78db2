// The shape models TL, EG and FX share: eight object names as the name table, a record table
// of mean and spread per record and a probe table of forces. A model adds its calculation,
// the columns of its own and its texts as data.
#pragma once

#include "models/cell_text.h"
#include "models/cp1251.h"
#include "models/kadrel_model.h"
#include "models/number_format.h"
#include "models/records.h"
#include "models/string_grid.h"

#include <array>
#include <cstring>
#include <vector>

constexpr int ObjNameCount = 8;
constexpr int ObjCfgBytes = ObjNameCount * int(sizeof(TObjName));

// A column title in Russian and English, and in kgf units when the title names its unit.
struct TColumnTitle {
    const char* Ru;
    const char* En;
    const char* RuKgs = nullptr;
    const char* EnKgs = nullptr;
};

// What sets one object-name model apart from the others, as plain data.
struct TObjModelTexts {
    std::vector<TColumnTitle> BasicTitles;
    std::vector<TColumnTitle> DetailTitles;
    // The first entries of the factory name table, {Russian, English}; the entries after
    // them are numbered "Без имени-1"/"No name-1" onwards.
    std::vector<std::array<const char*, 2>> FactoryNames;
};

namespace objmodel
{

// One column per title, `rows` rows, and row 0 the titles in the driver's language and unit.
void SetShape(TStringGrid& grid, const std::vector<TColumnTitle>& titles, int rows, TLang lang,
              TDimensionType dimension);
void ClearRow(TStringGrid& grid, int row);
// Writes at most 19 bytes of `text` and a zero byte; the bytes after it keep their content.
void PutName(TObjName& entry, const QByteArray& text);
// The factory name of entry `index` in the language `lang`, as Windows-1251 bytes.
QByteArray FactoryName(const TObjModelTexts& texts, int index, TLang lang);
// The mean of `count` values (IEEE: 0/0 gives NAN for no values) and the spread: the largest
// deviation of a value from the mean in percent of the mean, 0 unless the mean is positive.
void MeanAndSpread(const float* values, int count, float& mean, float& spread);

// The probes a record holds; never more than it has room for.
template <class TArch> int ProbesOf(const TArch& record)
{
    return record.ProbeCount < MaxProbes ? int(record.ProbeCount) : MaxProbes;
}

} // namespace objmodel

template <class TCalc> class TKadrelObjModel : public TKadrelModel<TCalc, ObjCfgBytes>
{
public:
    void UpdateBasicGrid(TStringGrid& Grid) override
    {
        const int count = this->RecCount();
        objmodel::SetShape(Grid, Texts().BasicTitles, count == 0 ? 2 : count + 1, this->fLang,
                           this->fDimension);
        if (count == 0) {
            objmodel::ClearRow(Grid, 1);
            return;
        }
        // Records in a row mostly name the same object: its cell is made again only when the
        // name changes, and the rows share one text.
        const TObjName* lastName = nullptr;
        QString nameCell;
        for (int i = 0; i < count; ++i) {
            TCalc& rec = this->Rec(i);
            CalcRecord(rec);
            const int row = i + 1;
            const TArchBase& base = rec.ArchRes.Base;
            Grid.SetCell(0, row, DateCell(base));
            Grid.SetCell(1, row, TimeCell(base));
            Grid.SetCell(2, row, NumCell(base));
            Grid.SetCell(3, row, FormatGeneral(InUnit(rec.avg_R_mPa), 5));
            Grid.SetCell(4, row, FormatFixed2(rec.epsilon));
            if (!lastName || std::memcmp(lastName, &rec.Obj(), sizeof(TObjName)) != 0) {
                lastName = &rec.Obj();
                nameCell = NameCell(rec.Obj());
            }
            Grid.SetCell(5, row, nameCell);
            FillModelColumns(Grid, row, rec);
        }
    }

    void UpdateDetailGrid(TStringGrid& Grid, int Idx) override
    {
        const std::vector<TColumnTitle>& titles = Texts().DetailTitles;
        const int probes =
            Idx >= 0 && Idx < this->RecCount() ? objmodel::ProbesOf(this->Rec(Idx).ArchRes) : 0;
        // A record without probes shows one empty row, as no record does.
        objmodel::SetShape(Grid, titles, probes == 0 ? 2 : probes + 1, this->fLang,
                           this->fDimension);
        if (probes == 0) {
            objmodel::ClearRow(Grid, 1);
            return;
        }
        const TCalc& rec = this->Rec(Idx);
        for (int i = 0; i < probes; ++i) {
            const int row = i + 1;
            const double kN = double(rec.ArchRes.Results[i].Force) / 1000;
            const double force = this->fDimension == dtkgs ? double(KNToKgs(float(kN))) : kN;
            Grid.SetCell(0, row, QString::number(row));
            Grid.SetCell(1, row, FormatGeneral(force, 5));
            if (titles.size() > 2)
                Grid.SetCell(2, row, FormatGeneral(InUnit(rec.R_mPa[i]), 5));
        }
    }

    void UpdateMaterialsGrid(TStringGrid& Grid) override
    {
        static const std::vector<TColumnTitle> titles = {{"Объект", "Object"}};
        objmodel::SetShape(Grid, titles, ObjNameCount + 1, this->fLang, this->fDimension);
        Grid.SetFixedRows(1);
        for (int i = 0; i < ObjNameCount; ++i)
            Grid.SetCell(0, i + 1, NameCell(ObjCfg(i)));
        Grid.SetColWidth(0, NamesColWidth);
    }

    void ApplyMaterials(TStringGrid& Grid) override
    {
        for (int i = 0; i < ObjNameCount; ++i)
            objmodel::PutName(ObjEntry(i), ToCp1251(Grid.Cell(0, i + 1)));
        this->SendMatWrite();
    }

    void ResetMaterials() override
    {
        for (int i = 0; i < ObjNameCount; ++i)
            objmodel::PutName(ObjEntry(i), objmodel::FactoryName(Texts(), i, this->fLang));
    }

    // Entry `index` (0 to 7) of the driver's copy of the instrument's object-name table.
    const TObjName& ObjCfg(int index) const
    {
        return reinterpret_cast<const TObjName*>(this->fNameTable.data())[index];
    }

protected:
    static constexpr int NamesColWidth = 260;

    virtual const TObjModelTexts& Texts() const = 0;
    // Fills the record's computed fields from its wire record.
    virtual void CalcRecord(TCalc& rec) = 0;
    // A computed value (mean or probe value of the record) in the unit the tables show.
    virtual double InUnit(float value) const = 0;
    // The columns after the object name.
    virtual void FillModelColumns(TStringGrid& Grid, int row, const TCalc& rec) const = 0;

private:
    TObjName& ObjEntry(int index)
    {
        return reinterpret_cast<TObjName*>(this->fNameTable.data())[index];
    }
};
