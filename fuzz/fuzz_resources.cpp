// Any bytes as an executable, library, icon library or icon file: every icon is read, chosen,
// decoded and written back out.
#include "formats/IconImage.h"
#include "formats/IconResources.h"

#include <QtGlobal>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto groups =
        readIconGroups(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!groups)
        return 0;
    for (const IconGroup &group : *groups) {
        if (const auto icon = groupIcon(group))
            composeIcon(*icon, qRgb(0x10, 0x80, 0xC0));
        groupToIco(group);
    }
    return 0;
}
