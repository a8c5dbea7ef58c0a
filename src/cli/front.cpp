// pixmint-icons: runs the commands that need only the formats core (--help, list, extract,
// thumbnail), so that they start without Qt Gui, and hands every other command line to the full
// tool as it stands.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <unistd.h>

#include "cli/commands.h"
#include "formats/Companion.h"

int main(int argc, char **argv)
{
    // A run is short and its large buffers come and go (the file, decoded and scaled images, the
    // compressor's tables): kept in the heap, a freed one is reused instead of each new one
    // costing fresh pages from the kernel.
    constexpr int kHeapBlocksUpTo = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kHeapBlocksUpTo);
    mallopt(M_TRIM_THRESHOLD, kHeapBlocksUpTo);
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
