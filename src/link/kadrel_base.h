// The driver every instrument model derives from: it owns the port, identifies the
// instrument, sends the requests, reads the archive page by page and keeps the record list.
// Models say only what differs: record size, record type, name table and their tables.
#pragma once

#include "link/kadrel_driver.h"

#include <QStringList>
#include <vector>

namespace kadrel
{
class ComPort;
}

using TArchiveList = std::vector<std::unique_ptr<TArchEntry>>;

// Archive order: newest first by date and time to the minute, then the higher Num.
// Returns -1 when a comes first, +1 when b comes first, 0 for duplicates.
int CompareArchRecords(const TArchBase& a, const TArchBase& b);

// "АН"/"AN" and the others, indexed by device type 1 to 5 and language.
extern const char* const DevCodeNames[6][2];
// The serial number's letter, indexed by bits 11-15 of the serial number.
extern const QStringList SerialLetters;
// The serial number as the display name writes it ("A005"), with the letter of number 0 (a
// blank) left out; a letter beyond the known ones is written as `unknownLetter`.
QString SerialNumberText(uint16_t serialNumber, const QString& unknownLetter = QStringLiteral("?"));

class TKadrelBase : public IKadrel, public std::enable_shared_from_this<TKadrelBase>
{
public:
    TKadrelBase();
    ~TKadrelBase() override;
    TKadrelBase(const TKadrelBase&) = delete;
    TKadrelBase& operator=(const TKadrelBase&) = delete;

    bool Connect(const QString& Port) override;
    void Disconnect() override;
    void SynchronyzeClock() override;
    TArchDupStat RemoveDuplicates() override;
    void ReadArchive() override;
    void ReadMaterials() override;
    QString GetDevName() override;
    TLang GetLang() override { return fLang; }
    void SetLang(TLang Value) override { fLang = Value; }
    TDimensionType GetDimension() override { return fDimension; }
    void SetDimension(TDimensionType Value) override { fDimension = Value; }
    void SetCallback(TCmdCompleteEvent Callback) override { fComCallback = std::move(Callback); }
    uint8_t GetDevType() override { return fDevInfo.DevType; }
    uint16_t GetArchExpected() override { return uint16_t(fArchTotal - fArchStart); }
    uint16_t GetArchReceived() override { return uint16_t(fArchive.size() - fArchStart); }
    QString GetPortName() override;

    // Shared by every model; a model overrides them only where it behaves differently.
    QString GetComment(int Index) override;
    void SetComment(int Index, const QString& Value) override;
    void RemoveResults(int Start, int Count, bool FromDevice) override;

    // A bare driver only identifies an instrument: it has no records and no tables.
    void UpdateBasicGrid(TStringGrid&) override {}
    void UpdateDetailGrid(TStringGrid&, int) override {}
    void UpdateMaterialsGrid(TStringGrid&) override {}
    void ApplyMaterials(TStringGrid&) override {}
    void ResetMaterials() override {}
    void SaveToFile(const QString&) override {}
    bool LoadFromFile(const QString&) override { return false; }

    const TKadrelInfo& DevInfo() const { return fDevInfo; }
    const TArchiveList& Archive() const { return fArchive; }
    uint16_t ArchHead() const { return fArchHead; }
    uint16_t ArchTotal() const { return fArchTotal; }
    uint16_t ArchStart() const { return fArchStart; }
    uint16_t ArchLastReaded() const { return fArchLastReaded; }

protected:
    // The receive handler, given one complete frame.
    virtual void ComPortRxBuf(const QByteArray& frame);
    void ComPortException();
    void Raise(TOperationType op);

    // What a model plugs into the archive transfer and the name-table replies. A driver
    // without a model answers 0 and nullptr and ignores those replies.
    virtual int RecordSize() const { return 0; }
    virtual std::unique_ptr<TArchEntry> NewEntry() const { return nullptr; }
    virtual int NameTableSize() const { return 0; }
    virtual uint8_t* NameTable() { return nullptr; }

    void SendFrame(const QByteArray& frame);
    void SendDevInfoRequest();
    void SendMatReadRequest();
    void SendArchHeadRequest();
    void SendArchPageRequest();
    void SendResultDelete(uint16_t absIndex, uint16_t count);
    void SendClockWrite();

    void ClearArchive();

    std::unique_ptr<kadrel::ComPort, void (*)(kadrel::ComPort*)> fComPort;
    TKadrelInfo fDevInfo{};
    TLang fLang = ruRU;
    TDimensionType fDimension = dtMPa;
    TCmdCompleteEvent fComCallback;
    TArchiveList fArchive;
    uint16_t fArchHead = 0;
    uint16_t fArchTotal = 0;
    uint16_t fArchStart = 0;
    uint16_t fArchLastReaded = 0;

private:
    void ReceiveModelReply(const QByteArray& frame);
    void ReceiveArchHead(const QByteArray& frame);
    void ReceiveArchPage(const QByteArray& frame);
    std::unique_ptr<TArchEntry> EntryFrom(const QByteArray& frame, int offset) const;
};
