// What one entry of the instrument list knows about its instrument: where it is attached,
// what it is called and which model it is.
#pragma once

#include "link/kadrel_types.h"

#include <QMetaType>
#include <QString>

struct TKadrelPortAssoc {
    QString Port;                     // the name the port is opened by
    QString Name;                     // the instrument's display name, also the entry's text
    TKadrelType DevType = devUnknown; // may hold a type newer than this program knows
};

Q_DECLARE_METATYPE(TKadrelPortAssoc)
