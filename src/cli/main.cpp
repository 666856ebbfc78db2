// kadrel-cli: reads instruments and archive files from scripts.
#include "cli/cli_common.h"
#include "cli/commands.h"

#include <QCoreApplication>
#include <cstdio>

namespace
{

const char Usage[] = "Usage: kadrel-cli COMMAND [OPTIONS]\n"
                     "\n"
                     "Commands:\n"
                     "  read   read an instrument's archive into an archive file\n"
                     "  table  print archive files as tab-separated text\n"
                     "\n"
                     "Run kadrel-cli COMMAND --help for the options of a command.\n";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kadrel-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(KADREL_VERSION));

    QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.size() > 1 ? arguments[1] : QString();
    if (command.isEmpty() || command == "--help" || command == "-h") {
        std::fputs(Usage, command.isEmpty() ? stderr : stdout);
        return command.isEmpty() ? cli::ExitUsage : cli::ExitOk;
    }
    arguments.removeAt(1);
    arguments[0] += u' ' + command;
    try {
        if (command == "read")
            return cli::runRead(arguments);
        if (command == "table")
            return cli::runTable(arguments);
        throw cli::Failure{cli::ExitUsage, QStringLiteral("unknown command '%1'").arg(command)};
    } catch (const cli::Failure& failure) {
        std::fprintf(stderr, "kadrel-cli: %s\n", qPrintable(failure.message));
        return failure.status;
    }
}
