// The real main window on simulated instruments attached through named ports in a temporary
// folder, its settings and backups in a temporary documents folder, and its questions and
// file dialogs answered by a script.
#pragma once

#include "app/general.h"
#include "common/scripted_prompts.h"
#include "link/kadrel_base.h"
#include "sim/kadrel_simulator.h"

#include <QAction>
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

// Generous: instruments answer through pseudo-terminals, device changes wait for a timer and
// the sanitizer build runs several times slower.
constexpr int WaitMs = 30000;

// The main window with a log of every text its left status panel was given, also those that
// are replaced before anyone could see them, and a count of the driver's events as they reach
// it.
class TLoggedMainForm : public TMainForm
{
public:
    using TMainForm::TMainForm;

    void SetStatusText(const QString& text) override
    {
        StatusLog << text;
        TMainForm::SetStatusText(text);
    }
    void OperationCompleted(TOperationType op) override
    {
        ++Events[op];
        TMainForm::OperationCompleted(op);
    }

    QStringList StatusLog;
    QHash<int, int> Events;
};

class TWindowRig
{
public:
    static constexpr int PortCount = 4;

    TWindowRig()
    {
        QLocale::setDefault(QLocale::c());
        ActiveDriver.reset();
        QDir().mkpath(m_dir.filePath("ports"));
        QDir().mkpath(m_dir.filePath("files"));
    }

    ~TWindowRig()
    {
        Window.reset();
        ActiveDriver.reset();
        m_instruments.clear();
    }

    // A file path in a folder of its own.
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

    // An instrument of `model` with a generated archive, plugged into port `portNo` when that
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

    QAction* action(const char* name) const { return child<QAction>(name); }
    // A command as the menus run it: an error it raises goes to the error box.
    void trigger(const char* name) const { action(name)->trigger(); }
    QString status(int panel = 0) const { return Window->StatusText(panel); }
    // The record and probe tables with the comment pane.
    bool tablesShown() const { return child<QSplitter>("DetailSplitter")->isVisible(); }
    int events(TOperationType op) const { return Window->Events.value(op); }

    std::shared_ptr<TScriptedPrompts> Prompts = std::make_shared<TScriptedPrompts>();
    // The language picked when the window asks for one at its first start.
    int ChosenLanguage = 0;
    int LanguageQuestions = 0;
    std::unique_ptr<TLoggedMainForm> Window;
    std::unique_ptr<QSignalSpy> Shown;

protected:
    template <class T> T* child(const char* name) const
    {
        T* found = Window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("the window has no %s", name);
        return found;
    }

    int instrumentCount() const { return int(m_instruments.size()); }

private:
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<KadrelSimulator>> m_instruments;
};
