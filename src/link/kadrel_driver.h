// The instrument driver interface and the archive record entry every model driver keeps.
#pragma once

#include "link/kadrel_types.h"

#include <QString>
#include <memory>

class TStringGrid;

// One archive record in a driver's list: the record as the instrument sent it (its first
// 9 bytes are TArchBase), the model's computed fields and the user's comment.
struct TArchEntry {
    virtual ~TArchEntry() = default;
    virtual uint8_t* Raw() = 0;
    const uint8_t* Raw() const { return const_cast<TArchEntry*>(this)->Raw(); }
    const TArchBase& Base() const { return *reinterpret_cast<const TArchBase*>(Raw()); }

    QString UserComment;
};

// The entry of a model whose wire record is TArch.
template <class TArch> struct TArchEntryOf : TArchEntry {
    static_assert(sizeof(TArch) >= sizeof(TArchBase), "a record begins with its head");
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(&ArchRes); }

    TArch ArchRes{};
};

// Everything the windows do with an instrument or an archive opened from a file.
class IKadrel
{
public:
    virtual ~IKadrel() = default;

    virtual bool Connect(const QString& Port) = 0;
    virtual void Disconnect() = 0;
    virtual void SynchronyzeClock() = 0;
    virtual TArchDupStat RemoveDuplicates() = 0;
    virtual void ReadArchive() = 0;
    virtual void UpdateBasicGrid(TStringGrid& Grid) = 0;
    virtual void UpdateDetailGrid(TStringGrid& Grid, int Idx) = 0;
    virtual void SaveToFile(const QString& FileName) = 0;
    virtual bool LoadFromFile(const QString& FileName) = 0;
    virtual void RemoveResults(int Start, int Count, bool FromDevice) = 0;
    virtual void ReadMaterials() = 0;
    virtual void UpdateMaterialsGrid(TStringGrid& Grid) = 0;
    virtual void ApplyMaterials(TStringGrid& Grid) = 0;
    virtual void ResetMaterials() = 0;
    virtual QString GetDevName() = 0;
    virtual TLang GetLang() = 0;
    virtual void SetLang(TLang Value) = 0;
    virtual TDimensionType GetDimension() = 0;
    virtual void SetDimension(TDimensionType Value) = 0;
    virtual void SetCallback(TCmdCompleteEvent Callback) = 0;
    virtual uint8_t GetDevType() = 0;
    virtual QString GetComment(int Index) = 0;
    virtual void SetComment(int Index, const QString& Value) = 0;
    virtual uint16_t GetArchExpected() = 0;
    virtual uint16_t GetArchReceived() = 0;
    virtual QString GetPortName() = 0;
};

using IKadrelPtr = std::shared_ptr<IKadrel>;

// The current driver of the program; empty when there is none.
extern IKadrelPtr ActiveDriver;

// kgf/cm2 from MPa and kgf from kN, rounded to single precision.
float MPaToKgs(float value);
float KNToKgs(float value);
