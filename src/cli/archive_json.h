// Archives as JSON for programs: the instrument's identification and every record with its
// fields decoded, its probes, the values computed from them and its comment.
#pragma once

#include "link/kadrel_driver.h"

#include <QJsonDocument>

namespace cli
{

// Strengths and means are given in the unit the tables show for `unit` (the "units" member
// names them); values that are not numbers are null.
QJsonDocument archiveJson(IKadrel& driver, TDimensionType unit);

} // namespace cli
