// Shared by the report tests: an archive of generated records loaded into the real model
// driver with its record table filled, and prompts answered by a script.
#pragma once

#include "link/kadrel_base.h"
#include "link/prompts.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"
#include "models/model_table.h"
#include "models/string_grid.h"
#include "sim/archive_generator.h"

#include <QTemporaryDir>
#include <QtTest>
#include <deque>

// A record as raw bytes, only to be written to an archive file.
struct TRawEntry : TArchEntry {
    explicit TRawEntry(QByteArray bytes) : Bytes(std::move(bytes)) {}
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(Bytes.data()); }
    QByteArray Bytes;
};

struct TReportArchive {
    IKadrelPtr Driver;
    TStringGrid BasicGrid;
};

// `count` generated records of `model` (newest first) in the model's driver, loaded from an
// archive file as the program loads one; record table in language `lang`.
inline TReportArchive MakeReportArchive(TKadrelType model, int count, TLang lang = ruRU)
{
    const int size = ModelInfo(model)->RecordSize;
    const QByteArray records =
        kadrel::sim::GenerateRecords(model, count, 7, kadrel::sim::InstrumentNameTable(model));
    TArchiveList list;
    for (int i = 0; i < count; ++i)
        list.push_back(std::make_unique<TRawEntry>(records.mid(i * size, size)));
    TKadrelInfo info{};
    info.DevType = model;
    info.SerialNumber = 0x0817;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("archive"));
    WriteArchiveFile(file, info, list, size);

    TReportArchive archive;
    archive.Driver = CreateModelDriver(model);
    archive.Driver->SetLang(lang);
    if (!archive.Driver->LoadFromFile(file))
        qFatal("the generated archive does not load");
    archive.Driver->UpdateBasicGrid(archive.BasicGrid);
    return archive;
}

// Answers questions from a list (Yes when it runs out), records what was asked and shown, and
// names the file the save dialog is to return.
class TScriptPrompts : public IPrompts
{
public:
    TAnswer Ask(const QString& question) override
    {
        Questions << question;
        if (Answers.empty())
            return Yes;
        const TAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowError(const QString& message) override { Errors << message; }
    QString ChooseOpenFile(const QString&, const QString&) override { return QString(); }
    QString ChooseSaveFile(const QString& filter, int&, const QString&, const QString&) override
    {
        Filters << filter;
        return SaveFile;
    }

    std::deque<TAnswer> Answers;
    QStringList Questions;
    QStringList Errors;
    QStringList Filters;
    QString SaveFile;
};
