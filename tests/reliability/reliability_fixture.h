// Shared by the reliability tests: the real main window on simulated instruments attached
// through named ports in a temporary folder, its settings and backups in a temporary
// documents folder, its questions and dialogs answered by a script, and the records a driver
// holds as the instrument sent them.
#pragma once

#include "app/general.h"
#include "link/kadrel_base.h"
#include "link/prompts.h"
#include "models/model_table.h"
#include "sim/kadrel_simulator.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

using kadrel::sim::KadrelSimulator;
using kadrel::sim::SimFaults;

// Generous: instruments answer through pseudo-terminals, device changes wait for a timer and
// the sanitizer build runs several times slower.
constexpr int WaitMs = 30000;

// Answers questions from a list (No when it runs out) and the file dialogs with the files
// given, and keeps the errors shown.
class TScriptedPrompts : public IPrompts
{
public:
    TAnswer Ask(const QString& question) override
    {
        Questions << question;
        return Answers.isEmpty() ? No : Answers.takeFirst();
    }
    void ShowError(const QString& message) override { Errors << message; }
    QString ChooseOpenFile(const QString&, const QString&) override
    {
        return OpenFiles.isEmpty() ? QString() : OpenFiles.takeFirst();
    }
    QString ChooseSaveFile(const QString&, int&, const QString&, const QString&) override
    {
        return SaveFiles.isEmpty() ? QString() : SaveFiles.takeFirst();
    }

    QList<TAnswer> Answers;
    QStringList OpenFiles;
    QStringList SaveFiles;
    QStringList Questions;
    QStringList Errors;
};

// The main window, counting the driver's events as they reach it.
class TWatchedForm : public TMainForm
{
public:
    using TMainForm::TMainForm;

    void OperationCompleted(TOperationType op) override
    {
        ++Events[op];
        TMainForm::OperationCompleted(op);
    }

    QHash<int, int> Events;
};

inline const TKadrelBase& Base(const IKadrelPtr& driver)
{
    return dynamic_cast<const TKadrelBase&>(*driver);
}

inline int RecordSizeOf(const IKadrelPtr& driver)
{
    const TModelInfo* model = ModelInfo(driver->GetDevType());
    return model ? model->RecordSize : 0;
}

// The records a driver holds, back to back as transferred, in list order.
inline QByteArray HeldRecords(const IKadrelPtr& driver, int recordSize)
{
    QByteArray bytes;
    for (const auto& entry : Base(driver).Archive())
        bytes.append(reinterpret_cast<const char*>(entry->Raw()), recordSize);
    return bytes;
}

inline int HeldCount(const IKadrelPtr& driver)
{
    return driver ? int(Base(driver).Archive().size()) : 0;
}

class TRig
{
public:
    static constexpr int PortCount = 4;

    TRig()
    {
        QLocale::setDefault(QLocale::c());
        ActiveDriver.reset();
        QDir().mkpath(m_dir.filePath("ports"));
        QDir().mkpath(m_dir.filePath("files"));
        // English texts, and reads that start as soon as an instrument has answered.
        writeSettings("[Settings]\r\nLanguage=1\r\nAutoClock=0\r\n");
    }

    ~TRig()
    {
        Window.reset();
        ActiveDriver.reset();
        m_instruments.clear();
    }

    QString file(const QString& name) const { return m_dir.filePath("files/" + name); }
    QString documentsFolder() const { return m_dir.filePath("documents"); }
    QString configFolder() const { return documentsFolder() + "/Norvent/KADREL-1"; }
    QString settingsFile() const { return configFolder() + "/Kadrel-1.ini"; }
    QString port(int n) const { return m_dir.filePath(QStringLiteral("ports/port%1").arg(n)); }

    void writeSettings(const QByteArray& text) const
    {
        QDir().mkpath(configFolder());
        QFile ini(settingsFile());
        if (!ini.open(QIODevice::WriteOnly) || ini.write(text) != text.size())
            qFatal("cannot write the settings");
    }

    // An instrument of `model` with a generated archive, plugged into port `port` when that
    // is above 0.
    KadrelSimulator* addInstrument(TKadrelType model, uint16_t serial, int records, int portNo,
                                   quint32 seed = 1)
    {
        auto instrument = std::make_unique<KadrelSimulator>(model);
        if (!instrument->open())
            qFatal("pseudo-terminal: %s", qPrintable(instrument->errorString()));
        instrument->setSerialNumber(serial);
        instrument->generateArchive(records, seed);
        if (portNo > 0 && !instrument->setLinkPath(port(portNo)))
            qFatal("cannot link port %d", portNo);
        m_instruments.push_back(std::move(instrument));
        return m_instruments.back().get();
    }

    // The window with its settings loaded and shown, not started yet.
    TWatchedForm& open(const QStringList& files = {})
    {
        TStartupOptions options;
        options.files = files;
        for (int n = 1; n <= PortCount; ++n)
            options.ports << port(n);
        options.prompts = Prompts;
        options.documentsFolder = documentsFolder();
        options.chooseLanguage = [] {
            return 1;
        };
        Window = std::make_unique<TWatchedForm>(options);
        Shown = std::make_unique<QSignalSpy>(Window.get(), &TMainForm::archiveShown);
        Window->LoadSettings();
        Window->show();
        return *Window;
    }

    // The window started: the file on the command line opened and the instruments listed.
    TWatchedForm& start(const QStringList& files = {})
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

    bool tablesShown() const
    {
        return Window->findChild<QSplitter*>(QStringLiteral("DetailSplitter"))->isVisible();
    }
    QString status(int panel = 0) const { return Window->StatusText(panel); }
    // A command as the menus run it: an error it raises goes to the error box.
    void trigger(const char* action) const
    {
        Window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
    int events(TOperationType op) const { return Window->Events.value(op); }

    // The backups of one instrument, oldest first.
    QStringList backups(const QString& instrumentFolder) const
    {
        return QDir(configFolder() + "/Backup/" + instrumentFolder)
            .entryList(QDir::Files, QDir::Name);
    }
    QString backupPath(const QString& instrumentFolder, const QString& name) const
    {
        return configFolder() + "/Backup/" + instrumentFolder + "/" + name;
    }

    std::shared_ptr<TScriptedPrompts> Prompts = std::make_shared<TScriptedPrompts>();
    std::unique_ptr<TWatchedForm> Window;
    std::unique_ptr<QSignalSpy> Shown;

private:
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<KadrelSimulator>> m_instruments;
};

// Serial letter A and the number.
inline uint16_t SerialA(int number)
{
    return uint16_t((1 << 11) | number);
}
