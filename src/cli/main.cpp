// The full pixmint-icons: the commands that need Qt Gui's picture readers, and the core's. The
// small pixmint-icons on the formats core hands every command it does not run itself to this
// program, installed beside the reader process.
#include "cli/commands.h"

int main(int argc, char **argv)
{
    if (const auto status = runCoreCommand(argc, argv))
        return *status;
    return usageError();
}
