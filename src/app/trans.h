// The windows' captions in Russian and English, their translation in place, Qt's own texts in
// the interface language, and the filter lists of the archive file dialogs.
#pragma once

#include <QString>

class QWidget;

constexpr int TranslationCount = 52;

struct TTranslationPair {
    const char* Russian;
    const char* English;
};

// In search order: the first pair whose text matches wins.
extern const TTranslationPair TranslationTable[TranslationCount];

// The program title, the same in both languages.
inline constexpr char ProgramTitle[] = "KADREL-1.Connect";

// With code "RU" an English text becomes Russian, with any other code a Russian text becomes
// English. A text found in neither column, or whose counterpart is empty, comes back as it is.
QString TranslateText(const QString& text, const QString& code);

// Rewrites the captions and hints of one window and of everything it holds, and the program's
// display name. Child windows other than menus and file dialogs translate themselves.
void TranslateForm(QWidget* form, const QString& code);

// Qt's standard buttons and dialogs follow the interface language (0 Russian, 1 English).
// Returns false when Qt's Russian texts are not installed on this system.
bool ApplyQtLanguage(int lang);

// Filter lists of the archive dialogs: caption and pattern pairs separated by vertical bars.
// The open list starts with an entry of all types; entry t of the save list is device type t.
extern const QString ArchiveOpenFilter;
extern const QString ArchiveSaveFilter;

// The extension of the n-th pattern of a filter list, ".kadrel1an" for (ArchiveSaveFilter, 1).
QString FilterExtension(const QString& filter, int n);
