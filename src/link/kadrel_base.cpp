#include "link/kadrel_base.h"

#include "link/com_port.h"

#include <QDateTime>
#include <QtEndian>
#include <algorithm>
#include <cstring>

IKadrelPtr ActiveDriver;

const char* const DevCodeNames[6][2] = {
    {"", ""}, {"АН", "AN"}, {"ТЛ", "TL"}, {"ФХ", "FX"}, {"КМ", "QM"}, {"ЕГ", "EG"},
};

const QStringList SerialLetters = {" ", "A", "B", "C", "D", "E", "F", "G", "H", "J", "K", "L",
                                   "M", "N", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y"};

namespace
{

// The archive order as one number, greater for the record that comes first: date and time to
// the minute, each a signed byte, then Num. Duplicates have equal keys.
uint64_t ArchOrderKey(const TArchBase& base)
{
    const auto key = [](int8_t value) {
        return uint64_t(uint8_t(value) ^ 0x80);
    };
    const TKadrelDateTime& time = base.DateTime;
    return key(time.Year) << 48 | key(time.Month) << 40 | key(time.Day) << 32 |
           key(time.Hour) << 24 | key(time.Minute) << 16 | uint64_t(base.Num);
}

} // namespace

int CompareArchRecords(const TArchBase& a, const TArchBase& b)
{
    const uint64_t keyA = ArchOrderKey(a);
    const uint64_t keyB = ArchOrderKey(b);
    return keyA == keyB ? 0 : keyA > keyB ? -1 : 1;
}

float MPaToKgs(float value)
{
    return float(static_cast<long double>(value) * 10.19716212978L);
}

float KNToKgs(float value)
{
    return float(static_cast<long double>(value) * 101.972L);
}

namespace
{

void deletePortLater(kadrel::ComPort* port)
{
    // The port may be the sender of the signal whose handler released the driver.
    if (port)
        port->deleteLater();
}

} // namespace

TKadrelBase::TKadrelBase() : fComPort(new kadrel::ComPort, &deletePortLater)
{
    fDevInfo.DevType = devUnknown;
    fDevInfo.DevVersion = 0;
    QObject::connect(fComPort.get(), &kadrel::ComPort::frameReceived, fComPort.get(),
                     [this](const QByteArray& frame) {
                         // A callback may drop the last reference to this driver.
                         const auto keepAlive = weak_from_this().lock();
                         ComPortRxBuf(frame);
                     });
    QObject::connect(fComPort.get(), &kadrel::ComPort::error, fComPort.get(), [this] {
        const auto keepAlive = weak_from_this().lock();
        ComPortException();
    });
}

TKadrelBase::~TKadrelBase()
{
    ClearArchive();
    QObject::disconnect(fComPort.get(), nullptr, nullptr, nullptr);
    fComPort->close();
}

bool TKadrelBase::Connect(const QString& Port)
{
    if (Port == fComPort->portName()) {
        fComPort->close();
        fComPort->open();
        SendDevInfoRequest();
        return true;
    }
    fDevInfo.DevType = devUnknown;
    if (!kadrel::ComPort::probe(Port))
        return false;
    // A driver that merges a second instrument still holds the first one's port.
    fComPort->close();
    fComPort->setPortName(Port);
    fComPort->open();
    SendDevInfoRequest();
    return true;
}

void TKadrelBase::Disconnect()
{
    fComPort->close();
}

void TKadrelBase::SynchronyzeClock()
{
    SendClockWrite();
}

void TKadrelBase::ReadArchive()
{
    fArchStart = fArchTotal;
    SendArchHeadRequest();
}

void TKadrelBase::ReadMaterials()
{
    SendMatReadRequest();
}

QString SerialNumberText(uint16_t serialNumber, const QString& unknownLetter)
{
    const int letter = serialNumber >> 11;
    const QString prefix = letter == 0                     ? QString()
                           : letter < SerialLetters.size() ? SerialLetters[letter]
                                                           : unknownLetter;
    return prefix + QString::asprintf("%.3d", serialNumber & 0x7FF);
}

QString TKadrelBase::GetDevName()
{
    const uint8_t type = fDevInfo.DevType;
    if (type == devUnknown)
        return QString();
    const int lang = fLang == ruRU ? 0 : 1;
    QString name = lang == 0 ? QStringLiteral("Кадрель-1.") : QStringLiteral("Kadrel-1.");
    // Types and letters beyond the tables come from newer instruments; they are shown as "?".
    name += type <= devEG ? QString::fromUtf8(DevCodeNames[type][lang]) : QStringLiteral("?");
    name += QStringLiteral(" № ");
    const int letter = fDevInfo.SerialNumber >> 11;
    name += letter < SerialLetters.size() ? SerialLetters[letter] : QStringLiteral("?");
    name += QString::asprintf("%.3d", fDevInfo.SerialNumber & 0x7FF);
    return name;
}

QString TKadrelBase::GetPortName()
{
    return fComPort->isOpen() ? fComPort->portName() : QStringLiteral("COM?");
}

QString TKadrelBase::GetComment(int Index)
{
    if (Index < 0 || Index >= int(fArchive.size()))
        return QString();
    return fArchive[Index]->UserComment;
}

void TKadrelBase::SetComment(int Index, const QString& Value)
{
    if (Index >= 0 && Index < int(fArchive.size()))
        fArchive[Index]->UserComment = Value;
}

void TKadrelBase::RemoveResults(int Start, int Count, bool FromDevice)
{
    const int size = int(fArchive.size());
    if (Start >= 0 && Start < size) {
        if (FromDevice)
            SendResultDelete(fArchive[Start]->Base().AbsIndex, uint16_t(Count));
        const int removed = std::clamp(Count, 0, size - Start);
        fArchive.erase(fArchive.begin() + Start, fArchive.begin() + Start + removed);
    }
    fArchTotal = uint16_t(fArchive.size());
    if (!FromDevice)
        Raise(otResultDelete);
}

TArchDupStat TKadrelBase::RemoveDuplicates()
{
    const int before = int(fArchive.size());
    // The records are sorted by their keys, taken once, rather than by comparing records
    // through their pointers, which is several times slower for a merge of two full archives.
    std::vector<std::pair<uint64_t, uint32_t>> order;
    order.reserve(fArchive.size());
    for (size_t i = 0; i < fArchive.size(); ++i)
        order.emplace_back(ArchOrderKey(fArchive[i]->Base()), uint32_t(i));
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Of equal neighbours the first goes, so the last of every run of duplicates stays; the
    // ones that go are released with the old list.
    TArchiveList kept;
    kept.reserve(fArchive.capacity());
    for (size_t i = 0; i < order.size(); ++i) {
        if (i + 1 < order.size() && order[i + 1].first == order[i].first)
            continue;
        kept.push_back(std::move(fArchive[order[i].second]));
    }
    fArchive = std::move(kept);
    fArchTotal = uint16_t(fArchive.size());

    TArchDupStat stat;
    stat.Duplicates = before - int(fArchive.size());
    stat.Uniquie = int(fArchive.size());
    stat.New = int(fArchLastReaded) - stat.Duplicates;
    // Every removed duplicate is reported as a removal, as a removal one by one would.
    for (int i = 0; i < stat.Duplicates; ++i)
        Raise(otResultDelete);
    return stat;
}

void TKadrelBase::Raise(TOperationType op)
{
    if (fComCallback) {
        // The callback may replace itself (a new callback set from inside it).
        const TCmdCompleteEvent callback = fComCallback;
        callback(op);
    }
}

void TKadrelBase::ComPortException()
{
    Raise(otDevDisconnected);
}

void TKadrelBase::ComPortRxBuf(const QByteArray& frame)
{
    if (!kadrel::isAcceptable(frame))
        return;
    const uint8_t command = uint8_t(frame[3]);
    switch (command) {
    case kadrel::cmdDevInfo:
        if (frame.size() < kadrel::minimumReplySize(command, 0, 0))
            return;
        std::memcpy(&fDevInfo, frame.constData() + 8, sizeof fDevInfo);
        Raise(otDevConnect);
        break;
    case kadrel::cmdMatWrite:
        Raise(otMatWrite);
        break;
    case kadrel::cmdResultDelete:
        Raise(otResultDelete);
        break;
    case kadrel::cmdClockWrite:
        Raise(otClockWrite);
        break;
    default:
        ReceiveModelReply(frame);
        break;
    }
}

void TKadrelBase::ReceiveModelReply(const QByteArray& frame)
{
    const int recordSize = RecordSize();
    if (recordSize == 0)
        return;
    const uint8_t command = uint8_t(frame[3]);
    if (frame.size() < kadrel::minimumReplySize(command, recordSize, NameTableSize()))
        return;
    switch (command) {
    case kadrel::cmdMatRead:
        std::memcpy(NameTable(), frame.constData() + 4, NameTableSize());
        Raise(otMatRead);
        break;
    case kadrel::cmdArchHead:
        ReceiveArchHead(frame);
        break;
    case kadrel::cmdArchPage:
        ReceiveArchPage(frame);
        break;
    default:
        break;
    }
}

std::unique_ptr<TArchEntry> TKadrelBase::EntryFrom(const QByteArray& frame, int offset) const
{
    auto entry = NewEntry();
    std::memcpy(entry->Raw(), frame.constData() + offset, RecordSize());
    return entry;
}

void TKadrelBase::ReceiveArchHead(const QByteArray& frame)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame.constData());
    fArchHead = qFromLittleEndian<uint16_t>(bytes + 4);
    fArchTotal = uint16_t(fArchStart + qFromLittleEndian<uint16_t>(bytes + 6));
    fArchive.reserve(fArchTotal);
    auto entry = EntryFrom(frame, 8);
    if (entry->Base().AbsIndex != fArchHead) {
        Raise(otArchReadComplete);
        return;
    }
    fArchive.push_back(std::move(entry));
    if (fArchTotal <= 1) {
        fArchStart = 0;
        Raise(otArchReadComplete);
        return;
    }
    SendArchPageRequest();
}

void TKadrelBase::ReceiveArchPage(const QByteArray& frame)
{
    const int count = uint8_t(frame[4]);
    if (count == 0) {
        Raise(otArchReadComplete);
        return;
    }
    const int recordSize = RecordSize();
    if (frame.size() < 8 + count * recordSize)
        return;
    for (int i = 0; i < count; ++i)
        fArchive.push_back(EntryFrom(frame, 8 + i * recordSize));
    if (uint16_t(fArchive.size()) == fArchTotal) {
        fArchLastReaded = uint16_t(fArchTotal - fArchStart);
        fArchStart = 0;
        Raise(otArchReadComplete);
        return;
    }
    Raise(otArchReadContinue);
    SendArchPageRequest();
}

void TKadrelBase::SendFrame(const QByteArray& frame)
{
    fComPort->write(frame);
}

void TKadrelBase::SendDevInfoRequest()
{
    SendFrame(kadrel::devInfoRequest());
}

void TKadrelBase::SendMatReadRequest()
{
    SendFrame(kadrel::matReadRequest());
}

void TKadrelBase::SendArchHeadRequest()
{
    SendFrame(kadrel::archHeadRequest());
}

void TKadrelBase::SendArchPageRequest()
{
    const uint16_t last =
        fArchive.empty() ? uint16_t(fArchHead + 1) : fArchive.back()->Base().AbsIndex;
    SendFrame(kadrel::archPageRequest(last));
}

void TKadrelBase::SendResultDelete(uint16_t absIndex, uint16_t count)
{
    SendFrame(kadrel::resultDeleteRequest(absIndex, count));
}

void TKadrelBase::SendClockWrite()
{
    SendFrame(kadrel::clockWriteRequest(QDateTime::currentDateTime()));
}

void TKadrelBase::ClearArchive()
{
    while (!fArchive.empty())
        fArchive.pop_back();
}
