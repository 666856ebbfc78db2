// The subcommands of kadrel-cli; each takes its arguments (the subcommand's name first) and
// returns the exit status, or throws cli::Failure.
#pragma once

#include <QStringList>

namespace cli
{

int runRead(const QStringList& arguments);
int runTable(const QStringList& arguments);

} // namespace cli
