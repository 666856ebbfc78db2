// kadrel-cli info: the identification record of an instrument, decoded.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/instrument.h"

#include "link/kadrel_base.h"
#include "models/model_table.h"

namespace cli
{

namespace
{

QString hex(const uint8_t* bytes, int size)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), size).toHex());
}

template <class T> QString hexOf(const T& field)
{
    return hex(reinterpret_cast<const uint8_t*>(&field), int(sizeof(field)));
}

} // namespace

int runInfo(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the identification record of the instrument on a port, decoded, and its\n"
        "65 bytes as hexadecimal.");
    addInstrumentOptions(parser);
    parseOrFail(parser, arguments, 0, 0);
    const auto [port, timeoutMs, lang] = instrumentOptionsOf(parser);

    const TIdentity identity = identify(port, timeoutMs, lang);
    const TKadrelInfo& info = identity.Info;
    const TModelInfo* model = ModelInfo(info.DevType);
    QString text;
    text += QStringLiteral("Type: %1\n").arg(info.DevType);
    text +=
        QStringLiteral("Model: %1\n").arg(model ? QLatin1String(model->Code) : QLatin1String("?"));
    text += QStringLiteral("Serial number: %1\n").arg(SerialNumberText(info.SerialNumber));
    text += QStringLiteral("Name: %1\n").arg(identity.Name);
    text += QStringLiteral("Strict version: %1\n").arg(hexOf(info.StrictVersion));
    text += QStringLiteral("Device version: %1\n").arg(hexOf(info.DevVersion));
    text += QStringLiteral("Software version: %1\n").arg(hexOf(info.SoftVersion));
    text += QStringLiteral("Hardware version: %1\n").arg(hexOf(info.HardVersion));
    text += QStringLiteral("Make date: %1\n").arg(hexOf(info.MakeDate));
    text += QStringLiteral("Record: %1\n").arg(hexOf(info));
    writeOut(text);
    return ExitOk;
}

} // namespace cli
