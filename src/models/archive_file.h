// The archive file: the identification record, the record count and each record followed by
// its comment (length in UTF-16 code units, then the code units), all little-endian.
#pragma once

#include "link/kadrel_base.h"

#include <functional>

using TEntryFactory = std::function<std::unique_ptr<TArchEntry>()>;

// Writes the whole file or nothing: the previous file stays until the new one is complete.
// Throws KadrelError carrying the system's reason.
void WriteArchiveFile(const QString& fileName, const TKadrelInfo& info, const TArchiveList& records,
                      int recordSize);

// Reads a whole file. On success fills `info`, appends the file's records to `records` and
// returns true; on any failure returns false and touches neither.
bool ReadArchiveFile(const QString& fileName, int recordSize, const TEntryFactory& newEntry,
                     TKadrelInfo& info, TArchiveList& records);
// The same for the whole content of a file already in memory.
bool ReadArchiveFile(const QByteArray& bytes, int recordSize, const TEntryFactory& newEntry,
                     TKadrelInfo& info, TArchiveList& records);
