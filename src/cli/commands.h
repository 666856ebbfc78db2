// The subcommands of kadrel-cli; each takes its arguments (the subcommand's name first) and
// returns the exit status, or throws cli::Failure.
#pragma once

#include <QStringList>

namespace cli
{

int runPorts(const QStringList& arguments);
int runInfo(const QStringList& arguments);
int runRead(const QStringList& arguments);
int runClock(const QStringList& arguments);
int runTable(const QStringList& arguments);
int runExport(const QStringList& arguments);
int runMerge(const QStringList& arguments);

} // namespace cli
