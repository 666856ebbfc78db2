// Shared by the main window tests: the real window on simulated instruments (attached through
// named ports in a temporary folder) and real archive files, its settings in a temporary
// documents folder, and its questions and file dialogs answered by a script.
#pragma once

#include "app/general.h"
#include "link/kadrel_base.h"
#include "link/prompts.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"
#include "models/model_table.h"
#include "sim/archive_generator.h"
#include "sim/kadrel_simulator.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

using kadrel::sim::KadrelSimulator;

// Generous: instruments answer through pseudo-terminals, and device changes wait for a timer.
constexpr int WaitMs = 15000;

// Answers questions from a list (No when it runs out) and the file dialogs with the files
// given, and records what was asked, shown and offered.
class TScriptedPrompts : public IPrompts
{
public:
    TAnswer Ask(const QString& question) override
    {
        Questions << question;
        return Answers.isEmpty() ? No : Answers.takeFirst();
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

// A record as raw bytes, only to be written to an archive file.
struct TRawRecord : TArchEntry {
    explicit TRawRecord(QByteArray bytes) : Bytes(std::move(bytes)) {}
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(Bytes.data()); }
    QByteArray Bytes;
};

inline uint16_t SerialNumber(const char* serial)
{
    return *KadrelSimulator::parseSerialNumber(QString::fromLatin1(serial));
}

// Generated records of `model`, newest first, back to back.
inline QByteArray Records(TKadrelType model, int count, quint32 seed,
                          const QDateTime& newest = kadrel::sim::DefaultNewestMeasurement())
{
    return kadrel::sim::GenerateRecords(model, count, seed, kadrel::sim::InstrumentNameTable(model),
                                        newest);
}

// An archive file of `model` holding `records` (newest first), as an instrument's archive
// saved by the program.
inline void WriteArchive(const QString& file, TKadrelType model, const QByteArray& records,
                         const char* serial = "A001")
{
    const int size = ModelInfo(model)->RecordSize;
    TArchiveList list;
    for (int at = 0; at + size <= records.size(); at += size)
        list.push_back(std::make_unique<TRawRecord>(records.mid(at, size)));
    TKadrelInfo info{};
    info.DevType = model;
    info.SerialNumber = SerialNumber(serial);
    WriteArchiveFile(file, info, list, size);
}

// An independent driver holding the records of an archive file, for the tables the window
// ought to show.
inline IKadrelPtr LoadedDriver(int model, const QString& file, TLang lang = ruRU,
                               TDimensionType dimension = dtMPa)
{
    IKadrelPtr driver = CreateModelDriver(model);
    driver->SetLang(lang);
    driver->SetDimension(dimension);
    if (!driver->LoadFromFile(file))
        qFatal("%s does not load", qPrintable(file));
    return driver;
}

inline int RecordCount(const QString& file, int model)
{
    const auto driver = std::dynamic_pointer_cast<TKadrelBase>(LoadedDriver(model, file));
    return int(driver->Archive().size());
}

inline QStringList RowTexts(const TStringGrid& grid, int row)
{
    QStringList texts;
    for (int col = 0; col < grid.ColCount(); ++col)
        texts << grid.Cell(col, row);
    return texts;
}

inline QList<QStringList> AllRows(const TStringGrid& grid)
{
    QList<QStringList> rows;
    for (int row = 0; row < grid.RowCount(); ++row)
        rows << RowTexts(grid, row);
    return rows;
}

inline QByteArray FileBytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The main window with a log of every text its left status panel was given, also those that
// are replaced before anyone could see them.
class TLoggedMainForm : public TMainForm
{
public:
    using TMainForm::TMainForm;
    void SetStatusText(const QString& text) override
    {
        StatusLog << text;
        TMainForm::SetStatusText(text);
    }
    QStringList StatusLog;
};

class TWindowFixture
{
public:
    static constexpr int PortCount = 4;

    TWindowFixture()
    {
        QLocale::setDefault(QLocale::c());
        ActiveDriver.reset();
        QDir().mkpath(m_dir.filePath("ports"));
        QDir().mkpath(m_dir.filePath("files"));
    }

    ~TWindowFixture()
    {
        Window.reset();
        ActiveDriver.reset();
        m_instruments.clear();
    }

    // A file path in a folder of its own.
    QString file(const QString& name) const { return m_dir.filePath("files/" + name); }
    QString documentsFolder() const { return m_dir.filePath("documents"); }
    QString settingsFile() const
    {
        return documentsFolder() + QStringLiteral("/Norvent/KADREL-1/Kadrel-1.ini");
    }
    QString port(int n) const { return m_dir.filePath(QStringLiteral("ports/port%1").arg(n)); }

    // An instrument of `model` with a generated archive, plugged into the next port.
    KadrelSimulator* addInstrument(TKadrelType model, const char* serial, int records,
                                   quint32 seed = 1)
    {
        auto instrument = std::make_unique<KadrelSimulator>(model);
        if (!instrument->open())
            qFatal("pseudo-terminal: %s", qPrintable(instrument->errorString()));
        instrument->setSerialNumber(SerialNumber(serial));
        instrument->generateArchive(records, seed);
        if (!instrument->setLinkPath(port(int(m_instruments.size()) + 1)))
            qFatal("cannot link port %d", int(m_instruments.size()) + 1);
        m_instruments.push_back(std::move(instrument));
        return m_instruments.back().get();
    }

    void writeSettings(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(settingsFile()).path());
        QFile ini(settingsFile());
        if (!ini.open(QIODevice::WriteOnly) || ini.write(text) != text.size())
            qFatal("cannot write the settings");
    }

    // The window built with its settings loaded and shown, not started yet.
    TLoggedMainForm& open(const QStringList& files = {})
    {
        TStartupOptions options;
        options.files = files;
        for (int n = 1; n <= PortCount; ++n)
            options.ports << port(n);
        options.prompts = Prompts;
        options.documentsFolder = documentsFolder();
        options.chooseLanguage = [this] {
            ++LanguageQuestions;
            return ChosenLanguage;
        };
        Window = std::make_unique<TLoggedMainForm>(options);
        Shown = std::make_unique<QSignalSpy>(Window.get(), &TMainForm::archiveShown);
        Window->LoadSettings();
        Window->show();
        return *Window;
    }

    // The window started: the file on the command line opened and the instruments listed.
    TLoggedMainForm& start(const QStringList& files = {})
    {
        open(files);
        Window->Start();
        return *Window;
    }

    static bool waitFor(const std::function<bool()>& condition)
    {
        return QTest::qWaitFor(condition, WaitMs);
    }

    // Waits until `count` archives read from instruments have been put on show.
    bool waitForArchives(int count) const
    {
        return waitFor([this, count] { return Shown->count() >= count; });
    }

    // The window in the foreground with its focus, as the user has it.
    bool activate()
    {
        Window->activateWindow();
        return QTest::qWaitForWindowActive(Window.get());
    }

    QTableView* basicGrid() const { return child<QTableView>("BasicGrid"); }
    QTableView* detailGrid() const { return child<QTableView>("DetailGrid"); }
    QPlainTextEdit* commentMemo() const { return child<QPlainTextEdit>("CommentMemo"); }
    QComboBox* devSelectBox() const { return child<QComboBox>("sDevSelectBox"); }
    QProgressBar* progressBar() const { return child<QProgressBar>("ProgressBarLoad"); }
    QMenu* menu(const char* name) const { return child<QMenu>(name); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    // The record and probe tables with the comment pane.
    bool tablesShown() const { return child<QSplitter>("DetailSplitter")->isVisible(); }

    void trigger(const char* name) const { action(name)->trigger(); }
    QString status(int panel = 0) const { return Window->StatusText(panel); }

    // A click on a cell of a table row, the header being row 0.
    void clickRow(QTableView* view, int row, int column = 0,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        const QModelIndex index = view->model()->index(row - 1, column);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(index).center());
    }

    // The user picks entry `index` of the instrument list.
    void chooseInstrument(int index) const
    {
        QComboBox* box = devSelectBox();
        box->hidePopup();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // What the window shows, kept as an archive file.
    QString saveShownArchive(const QString& name) const
    {
        const QString path = file(name);
        ActiveDriver->SaveToFile(path);
        return path;
    }

    std::shared_ptr<TScriptedPrompts> Prompts = std::make_shared<TScriptedPrompts>();
    int ChosenLanguage = 0;
    int LanguageQuestions = 0;
    std::unique_ptr<TLoggedMainForm> Window;
    std::unique_ptr<QSignalSpy> Shown;

private:
    template <class T> T* child(const char* name) const
    {
        T* found = Window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("the window has no %s", name);
        return found;
    }

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<KadrelSimulator>> m_instruments;
};
