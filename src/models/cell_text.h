// Cell texts that every model's tables write the same way.
#pragma once

#include "link/kadrel_types.h"
#include "models/records.h"

#include <QString>

// "31.01.2024": day and month with two digits, the year as Year + 2000.
QString DateCell(const TArchBase& base);
// "09:05".
QString TimeCell(const TArchBase& base);
// The measurement number in plain decimal.
QString NumCell(const TArchBase& base);
// A name field of the instruments, converted from Windows-1251.
QString NameCell(const TObjName& name);
