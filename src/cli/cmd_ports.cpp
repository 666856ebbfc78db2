// kadrel-cli ports: the attached instruments, found and identified as the instrument list does.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/instrument.h"

#include "link/discovery.h"
#include "link/port_enum.h"
#include "models/model_table.h"

namespace cli
{

namespace
{

// A port as it is opened: USB ports are listed by their name in /dev.
QString portPath(const QString& port)
{
    return port.contains(u'/') ? port : QStringLiteral("/dev/") + port;
}

QString modelCode(int devType)
{
    const TModelInfo* model = ModelInfo(devType);
    return model ? QLatin1String(model->Code) : QString::number(devType);
}

} // namespace

int runPorts(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Lists the attached instruments, one line each: port, display name and model code,\n"
        "separated by TAB. Ports that do not answer within 2 s are left out.");
    parser.addOption(
        {"port", "A port with an instrument whose USB identity is unknown (repeatable).", "PATH"});
    addLanguage(parser);
    parseOrFail(parser, arguments, 0, 0);
    const TLang lang = languageOf(parser);

    TPortEnumerator enumerator;
    enumerator.SetExtraPorts(parser.values("port"));
    QString text;
    for (const QString& port : enumerator.EnumPorts()) {
        const auto identity = tryIdentify(portPath(port), TPortDiscovery::IdentifyTimeoutMs, lang);
        if (identity)
            text += portPath(port) + u'\t' + identity->Name + u'\t' +
                    modelCode(identity->Info.DevType) + u'\n';
    }
    writeOut(text);
    return ExitOk;
}

} // namespace cli
