// What every model driver shares beyond the base: its record type, its name table and the
// archive file. TCalc is the model's list entry, whose ArchRes is the wire record.
#pragma once

#include "link/frame.h"
#include "link/kadrel_base.h"
#include "models/archive_file.h"

#include <array>
#include <cstring>

template <class TCalc, int NameTableBytes> class TKadrelModel : public TKadrelBase
{
public:
    using Record = TCalc;
    static constexpr int RecordBytes = int(sizeof(TCalc::ArchRes));

    void SaveToFile(const QString& FileName) override
    {
        WriteArchiveFile(FileName, fDevInfo, fArchive, RecordBytes);
    }

    bool LoadFromFile(const QString& FileName) override
    {
        const uint16_t before = uint16_t(fArchive.size());
        TKadrelInfo info{};
        TArchiveList loaded;
        if (!ReadArchiveFile(
                FileName, RecordBytes, [] { return std::make_unique<TCalc>(); }, info, loaded))
            return false;
        fDevInfo = info;
        fArchive.reserve(fArchive.size() + loaded.size());
        for (auto& entry : loaded)
            fArchive.push_back(std::move(entry));
        fArchTotal = uint16_t(fArchive.size());
        fArchLastReaded = uint16_t(fArchTotal - before);
        return true;
    }

    TCalc& Rec(int index) { return static_cast<TCalc&>(*fArchive[size_t(index)]); }
    int RecCount() const { return int(fArchive.size()); }

    const std::array<uint8_t, NameTableBytes>& NameTableBytesView() const { return fNameTable; }

protected:
    int RecordSize() const override { return RecordBytes; }
    std::unique_ptr<TArchEntry> NewEntry() const override { return std::make_unique<TCalc>(); }
    int NameTableSize() const override { return NameTableBytes; }
    uint8_t* NameTable() override { return fNameTable.data(); }

    void SendMatWrite()
    {
        SendFrame(kadrel::matWriteRequest(
            QByteArray(reinterpret_cast<const char*>(fNameTable.data()), int(fNameTable.size()))));
    }

    std::array<uint8_t, NameTableBytes> fNameTable{};
};
