// pixmint-icons: runs the commands that need only the formats core (--help, list, extract,
// thumbnail), so that they start without Qt Gui, and hands every other command line to the full
// tool as it stands.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "cli/commands.h"
#include "formats/Companion.h"

int main(int argc, char **argv)
{
    if (const auto status = runCoreCommand(argc, argv))
        return *status;
    const std::string full = companionProgram("pixmint-icons-full");
    if (full.empty()) {
        std::fputs("pixmint-icons: the full tool pixmint-icons-full is not installed\n", stderr);
        return 2;
    }
    ::execv(full.c_str(), argv);
    std::fprintf(stderr, "pixmint-icons: cannot start %s: %s\n", full.c_str(),
                 std::strerror(errno));
    return 2;
}
