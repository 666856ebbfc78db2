// Questions, error boxes and file dialogs shown to the user in Qt windows. The file dialogs
// are Qt's own, so that they speak the interface language.
#pragma once

#include "link/prompts.h"

#include <QStringList>

// The error box's text: a full stop is added when the last character's code is above that of
// the full stop.
QString ErrorBoxText(const QString& text);

// A filter list of caption and pattern pairs separated by vertical bars, as Qt's name filters
// "Caption (pattern)".
QStringList QtNameFilters(const QString& filter);

class QtPrompts : public IPrompts
{
public:
    // Esc and the close button answer Closed.
    TAnswer Ask(const QString& question) override;
    void ShowError(const QString& message) override;
    QString ChooseOpenFile(const QString& filter, const QString& fileName) override;
    // Neither asks before overwriting nor adds an extension: the caller does both.
    QString ChooseSaveFile(const QString& filter, int& filterIndex, const QString& fileName,
                           const QString& folder) override;
};
