#include "formats/Companion.h"

#include <climits>
#include <unistd.h>

QByteArray companionProgram(const char *name)
{
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return {};
    QByteArray dir(self, n);
    dir.truncate(dir.lastIndexOf('/') + 1);
    for (const QByteArray &candidate : {dir + name, dir + "../libexec/pixmint/" + name}) {
        if (::access(candidate.constData(), X_OK) == 0)
            return candidate;
    }
    return {};
}
