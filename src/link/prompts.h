// Questions, error boxes and file dialogs: answered by the user in the windows and by a
// script in tests, so that no code waits on a dialog it cannot see.
#pragma once

#include <QString>

class IPrompts
{
public:
    // Closed: the box was dismissed without pressing Yes or No.
    enum TAnswer { Yes, No, Closed };

    virtual ~IPrompts() = default;

    // A question with the buttons Yes and No.
    virtual TAnswer Ask(const QString& question) = 0;
    // The error box titled with the program title.
    virtual void ShowError(const QString& message) = 0;
    // The open dialog: the chosen file, or empty when cancelled.
    virtual QString ChooseOpenFile(const QString& filter, const QString& fileName) = 0;
    // The save dialog: the chosen file, or empty when cancelled. `filterIndex` (from 1)
    // preselects a filter entry and returns the one chosen.
    virtual QString ChooseSaveFile(const QString& filter, int& filterIndex, const QString& fileName,
                                   const QString& folder) = 0;
};
