// kadrel-cli clock: sets an instrument's clock from the computer's.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/instrument.h"

#include "link/kadrel_base.h"
#include "models/messages.h"

namespace cli
{

int runClock(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Sets the clock of the instrument on a port from the computer's clock and waits for\n"
        "the instrument to confirm it.");
    addInstrumentOptions(parser);
    parseOrFail(parser, arguments, 0, 0);
    const auto [port, timeoutMs, lang] = instrumentOptionsOf(parser);

    // Setting the clock needs no model: the bare driver sends it.
    InstrumentLink link(std::make_shared<TKadrelBase>(), port, timeoutMs);
    link.connect();
    link.driver().SynchronyzeClock();
    link.await(otClockWrite);
    writeOut(Message(msgClockSynced, lang) + u'\n');
    return ExitOk;
}

} // namespace cli
