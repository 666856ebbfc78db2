// kadrel-cli: reads instruments and archive files from scripts.
#include "cli/cli_common.h"
#include "cli/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace
{

const char Usage[] =
    "Usage: kadrel-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  ports   list the attached instruments\n"
    "  info    print an instrument's identification\n"
    "  read    read an instrument's archive into an archive file\n"
    "  clock   set an instrument's clock from the computer's\n"
    "  table   print archive files as tab-separated text\n"
    "  export  write archive files as CSV, JSON or a report (PDF, PNG, HTML, text)\n"
    "  merge   merge archive files of one model into one\n"
    "\n"
    "Run kadrel-cli COMMAND --help for the options of a command.\n"
    "Exit status: 0 success, 1 wrong usage, 2 unreadable or invalid input file,\n"
    "3 instrument absent, busy, silent or disconnected, 4 a file that cannot be written.\n";

using Command = int (*)(const QStringList&);

const std::map<QString, Command> Commands = {
    {"ports", cli::runPorts}, {"info", cli::runInfo},   {"read", cli::runRead},
    {"clock", cli::runClock}, {"table", cli::runTable}, {"export", cli::runExport},
    {"merge", cli::runMerge},
};

// Reports are painted, which needs the GUI part of Qt but never a screen: without a platform
// of the user's choice they are painted offscreen, the same with or without a display.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "export") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

// Errors are one line each on standard error: the notes the Qt libraries print on their own
// (a missing runtime folder and the like) are left out, their failures are not.
void qtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kadrel-cli: %s\n",
                     qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(qtMessage);
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName("kadrel-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(KADREL_VERSION));

    QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.size() > 1 ? arguments[1] : QString();
    if (command == "--help" || command == "-h") {
        std::fputs(Usage, stdout);
        return cli::ExitOk;
    }
    if (command == "--version" || command == "-v") {
        std::printf("kadrel-cli %s\n", KADREL_VERSION);
        return cli::ExitOk;
    }
    try {
        if (command.isEmpty())
            throw cli::Failure{cli::ExitUsage, QStringLiteral("no command given; see --help")};
        const auto found = Commands.find(command);
        if (found == Commands.end())
            throw cli::Failure{cli::ExitUsage,
                               QStringLiteral("unknown command '%1'; see --help").arg(command)};
        arguments.removeAt(1);
        arguments[0] = QStringLiteral("kadrel-cli ") + command;
        return found->second(arguments);
    } catch (const cli::Failure& failure) {
        const QString line = failure.message.simplified();
        std::fprintf(stderr, "kadrel-cli: %s\n", line.toUtf8().constData());
        return failure.status;
    }
}
