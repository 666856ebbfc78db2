// What distinguishes the instrument models as plain data: codes, file extensions, record and
// name-table sizes, indexed by device type.
#pragma once

#include "link/kadrel_types.h"

#include <QString>

struct TModelInfo {
    TKadrelType Type;
    const char* Code;      // "AN"
    const char* Extension; // ".kadrel1an"
    int RecordSize;        // bytes of one archive record; 0 for a model without a driver
    int NameTableSize;     // bytes of the instrument's name table
};

// The entry of a device type 1 to 5, or nullptr for any other value.
const TModelInfo* ModelInfo(int devType);

// The device type whose extension this is (exact and case-sensitive), or devUnknown.
TKadrelType ModelByExtension(const QString& extension);
