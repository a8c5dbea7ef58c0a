#pragma once

#include <optional>

// The commands that stand on the formats core alone: --help, list, extract and thumbnail. The
// exit status when argv names one of them, nothing otherwise.
std::optional<int> runCoreCommand(int argc, char **argv);
// Prints the usage on standard error, for a command line that names no command: status 2.
int usageError();
