// The settings store's reader: any bytes either parse or are refused, and what parses is
// written back as text that reads the same.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "placement/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto entries = IniFile::parse(bytes);
    if (!entries)
        return 0;
    for (const QByteArray &value : *entries) {
        const auto text = IniFile::text(value);
        if (text && IniFile::text(IniFile::value(*text)) != text)
            std::abort();
    }
    if (IniFile::parse(IniFile::write(*entries)) != entries)
        std::abort();
    return 0;
}
