// The program's status texts and questions in Russian and English, looked up afresh each
// time one is shown.
#pragma once

#include <QString>

enum TMessage {
    msgDeviceNotSelected,
    msgArchiveReaded,
    msgTitlesReaded,
    msgTitlesWrited,
    msgDeviceDisconnected,
    msgClockSynced,
    msgResultsRemoved,
    msgResultsCopied,
    msgArchiveReading,
    msgDuplicate,
    msgUnique,
    msgNewEntries,
    msgNotConnected,
    msgFileSaved,
    msgFileOpened,
    msgOverwrite,
    msgReady,
    msgNothingToSave,
    msgNothingToPrint,
    msgLanguageChanged,
    msgReportTitle,
    msgReportDate,
    msgReportSelected,
    msgFileUnreadable,
    msgVersionDate,
    msgPortBusy,
    msgComment,
    msgWriteChanges,
    msgMerge,
    MessageCount
};

// Message `id` in language `lang` (0 Russian, anything else English).
QString Message(int id, int lang);

// "Архив прочитан: 2 повторяющихся, 10 уникальных, 3 новых записей." and its English form;
// `head` is msgArchiveReaded or msgFileOpened.
QString DuplicateSummary(int head, int duplicates, int unique, int added, int lang);
