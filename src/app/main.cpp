// kadrel_connect: the desktop program. Creates the windows and runs the event loop.
#include "app/general.h"
#include "app/trans.h"
#include "demo/demo_instruments.h"
#include "link/kadrel_driver.h"
#include "link/kadrel_error.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace
{

// Saves the archive on show and a picture of the window into `folder`, then ends the program,
// with status 1 when either cannot be written.
void SaveSnapshot(TMainForm& window, const QString& folder)
{
    const QString archive = QDir(folder).filePath("demo.kadrel1an");
    const QString picture = QDir(folder).filePath("window.png");
    try {
        ActiveDriver->SaveToFile(archive);
    } catch (const KadrelError& error) {
        std::fprintf(stderr, "kadrel_connect: %s\n", qPrintable(error.message()));
        QCoreApplication::exit(1);
        return;
    }
    if (!window.grab().save(picture)) {
        std::fprintf(stderr, "kadrel_connect: cannot write %s\n", qPrintable(picture));
        QCoreApplication::exit(1);
        return;
    }
    std::printf("Saved %s and %s\n", qPrintable(archive), qPrintable(picture));
    QCoreApplication::quit();
}

// A demonstration without a display starts in English without asking for the language; false
// when the folder cannot hold its settings, where the language would have to be asked.
bool PrepareSnapshotSettings(const QString& documents)
{
    const QString folder = QDir(documents).filePath("Norvent/KADREL-1");
    QDir().mkpath(folder);
    QFile settings(QDir(folder).filePath("Kadrel-1.ini"));
    if (settings.exists())
        return true;
    return settings.open(QIODevice::WriteOnly) &&
           settings.write("[Settings]\r\nLanguage=1\r\nAutoClock=1\r\n") > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("kadrel_connect");
    QApplication::setApplicationDisplayName(ProgramTitle);
    QApplication::setApplicationVersion(QStringLiteral(KADREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription("Companion program of the KADREL-1 strength testers.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "An archive file to open.", "[FILE]");
    parser.addOption({"port",
                      "A port with an instrument whose USB identity is unknown "
                      "(repeatable).",
                      "PATH"});
    parser.addOption({"demo", "Attach simulated instruments of the four models."});
    parser.addOption({"snapshot",
                      "With --demo: read the first instrument, save its archive and "
                      "a picture of the window into FOLDER, and end.",
                      "FOLDER"});
    parser.process(app);

    TStartupOptions options;
    options.files = parser.positionalArguments();
    options.ports = parser.values("port");

    TDemoInstruments demo;
    if (parser.isSet("demo")) {
        QString error;
        if (!demo.Start(&error)) {
            std::fprintf(stderr, "kadrel_connect: demonstration: %s\n", qPrintable(error));
            return 1;
        }
        options.ports += demo.Ports();
    }
    const QString snapshot = parser.value("snapshot");
    if (!snapshot.isEmpty()) {
        options.documentsFolder = snapshot;
        if (!PrepareSnapshotSettings(snapshot)) {
            std::fprintf(stderr, "kadrel_connect: cannot write into %s\n", qPrintable(snapshot));
            return 1;
        }
    }

    TMainForm window(options);
    window.LoadSettings();
    if (!snapshot.isEmpty()) {
        QObject::connect(&window, &TMainForm::archiveShown, &window,
                         [&window, snapshot] { SaveSnapshot(window, snapshot); });
    }
    window.show();
    QTimer::singleShot(0, &window, [&window] { window.Start(); });
    const int status = app.exec();
    ActiveDriver.reset();
    return status;
}
