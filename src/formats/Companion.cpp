#include "formats/Companion.h"

#include <climits>
#include <unistd.h>

std::string companionProgram(const char *name)
{
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return {};
    std::string dir(self, size_t(n));
    dir.resize(dir.rfind('/') + 1);
    for (const std::string &candidate : {dir + name, dir + "../libexec/pixmint/" + name}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}
