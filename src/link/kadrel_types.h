// Types shared by the instrument link, the model drivers and the windows. The packed records
// mirror the instrument's memory byte for byte and travel unchanged into archive files.
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <functional>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "instrument records are little-endian and are copied in and out verbatim");

enum TKadrelType : uint8_t { devUnknown, devAN, devTL, devFX, devQM, devEG };
enum TLang : uint8_t { ruRU, enUS };
enum TDimensionType : uint8_t { dtMPa, dtkgs };
enum TOperationType : uint8_t {
    otDevConnect,
    otArchReadContinue,
    otArchReadComplete,
    otMatRead,
    otMatWrite,
    otClockWrite,
    otResultDelete,
    otDevDisconnected
};

// Completion callback of every instrument operation.
using TCmdCompleteEvent = std::function<void(TOperationType CMD)>;

#pragma pack(push, 1)

// Identification record, copied verbatim from the identification reply and stored at the
// start of archive files.
struct TKadrelInfo {
    uint8_t StrictVersion;
    uint8_t DevType; // a TKadrelType value
    uint8_t DevVersion;
    uint16_t SerialNumber; // bits 11-15 letter index, bits 0-10 number
    uint8_t SoftVersion[10];
    uint8_t HardVersion[40];
    uint8_t MakeDate[10];
};

struct TKadrelDateTime {
    int8_t Minute;
    int8_t Hour;
    int8_t Day;
    int8_t Month;
    int8_t Year; // calendar year - 2000
};

// Head of every archive record of every model.
struct TArchBase {
    uint16_t Num;
    uint16_t AbsIndex;
    TKadrelDateTime DateTime;
};

#pragma pack(pop)

static_assert(sizeof(TKadrelInfo) == 65, "identification record is 65 bytes");
static_assert(sizeof(TKadrelDateTime) == 5, "date and time is 5 bytes");
static_assert(sizeof(TArchBase) == 9, "record head is 9 bytes");

struct TArchDupStat {
    int32_t Duplicates = 0;
    int32_t Uniquie = 0;
    int32_t New = 0;
};
