// Archives as CSV for spreadsheets (RFC 4180): one row per record with the cells of the record
// table, the comment and the probe rows, under a header row.
#pragma once

#include "link/kadrel_driver.h"

#include <QByteArray>

namespace cli
{

// UTF-8 with a byte-order mark and CR LF line ends; every row has the header's width. The
// comment keeps its lines, joined by CR LF inside its quoted field.
QByteArray archiveCsv(IKadrel& driver, TLang lang);

} // namespace cli
