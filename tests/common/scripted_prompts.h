// Answers a form's questions and file dialogs from a script, and records what was asked,
// shown and offered.
#pragma once

#include "link/prompts.h"

#include <QList>
#include <QStringList>

class TScriptedPrompts : public IPrompts
{
public:
    TAnswer Ask(const QString& question) override
    {
        Questions << question;
        return Answers.isEmpty() ? Unanswered : Answers.takeFirst();
    }
    void ShowError(const QString& message) override { Errors << message; }
    QString ChooseOpenFile(const QString& filter, const QString&) override
    {
        OpenFilters << filter;
        return OpenFiles.isEmpty() ? QString() : OpenFiles.takeFirst();
    }
    QString ChooseSaveFile(const QString& filter, int& filterIndex, const QString&,
                           const QString& folder) override
    {
        SaveFilters << filter;
        OfferedFilterIndexes << filterIndex;
        SaveFolders << folder;
        if (ChosenFilterIndex > 0)
            filterIndex = ChosenFilterIndex;
        return SaveFiles.isEmpty() ? QString() : SaveFiles.takeFirst();
    }

    QList<TAnswer> Answers;
    // The answer to a question once the script has run out.
    TAnswer Unanswered = No;
    QStringList OpenFiles;
    QStringList SaveFiles;
    // The filter entry the user picks in the save dialog; 0 keeps the one offered.
    int ChosenFilterIndex = 0;

    QStringList Questions;
    QStringList Errors;
    QStringList OpenFilters;
    QStringList SaveFilters;
    QList<int> OfferedFilterIndexes;
    QStringList SaveFolders;
};
