// Plausible archives and name tables for a simulated instrument: measurements in sessions going
// back in time, with conditions, names, geometry and forces of the model's kind. The same seed
// always gives the same archive.
#pragma once

#include "link/kadrel_types.h"

#include <QByteArray>
#include <QDateTime>

namespace kadrel::sim
{

// When the newest record of a generated archive was measured.
inline QDateTime DefaultNewestMeasurement()
{
    return QDateTime(QDate(2024, 6, 14), QTime(16, 20), Qt::UTC);
}

// The name table of an instrument in use: the factory names with a few of the user's own
// (materials with calibrated coefficients for model AN). Empty for a model without records.
QByteArray InstrumentNameTable(TKadrelType model);

// `count` records of `model`, newest first, back to back. Num counts up from 1 for the oldest;
// AbsIndex is left to the memory that stores them. Names and materials come from `nameTable`.
QByteArray GenerateRecords(TKadrelType model, int count, quint32 seed, const QByteArray& nameTable,
                           const QDateTime& newest = DefaultNewestMeasurement());

} // namespace kadrel::sim
