#pragma once

#include "CommandLine.h"

namespace brindlewick {

// Carries out a command line that needs no window (help, version, a usage error or generate),
// or says that the window has no display to open on, and returns the exit status. Needs a
// QCoreApplication.
int runCommandLine(const CommandLine& commandLine);

// Says on standard error, in one line, why the window does not open (`what`) and how to
// generate without it.
void printWindowUnavailable(const QString& what);

}  // namespace brindlewick
