// The archive records of the four models exactly as the instruments send them and archive
// files store them; reserved and filler bytes travel unchanged.
#pragma once

#include "link/kadrel_types.h"

#pragma pack(push, 1)

struct TProbe {
    float Force; // newtons
    float Slip;  // millimetres; used by model AN only
};

// A name of the instruments' tables: Windows-1251 text ended by a zero byte when shorter.
struct TObjName {
    char Name[21];
};

// One material of model AN: its name and the calibration R = Ax[0] + Ax[1]*x + Ax[2]*x^2.
struct TMaterial {
    char Name[21];
    uint8_t Reserved[3];
    float Ax[3];
};

struct TArchAN {
    TArchBase Base;
    uint8_t Conditions; // bit 0 anchor, 1 hardening, 3 aggregate, 4-5 material
    uint8_t Reserved1[2];
    TMaterial Material;
    uint8_t ProbeCount;
    uint8_t Reserved2[3];
    TProbe Results[5];
    uint32_t crc;
};

struct TArchTL {
    TArchBase Base;
    uint8_t Filler1[3];
    uint32_t Geometry; // bit 0 circle, bits 1-15 H, bits 16-31 diameter or width
    TObjName ObjTL;
    uint8_t ProbeCount;
    uint8_t Filler2[2];
    TProbe Results[5];
    uint32_t crc;
};

struct TArchEG {
    TArchBase Base;
    uint8_t ofs1;
    uint16_t W;
    uint16_t L;
    uint8_t Age;
    uint8_t ofs2;
    TObjName ObjEG;
    uint8_t ProbeCount;
    uint8_t Filler[2];
    TProbe Results[5];
    uint32_t crc;
};

struct TArchFX {
    TArchBase Base;
    uint8_t diameter;
    TObjName ObjFX;
    uint8_t ProbeCount;
    TProbe Results[5];
    uint32_t crc;
};

#pragma pack(pop)

static_assert(sizeof(TMaterial) == 36);
static_assert(sizeof(TArchAN) == 96);
static_assert(sizeof(TArchTL) == 84);
static_assert(sizeof(TArchEG) == 84);
static_assert(sizeof(TArchFX) == 76);

// The largest number of probes a record has room for.
constexpr int MaxProbes = 5;
