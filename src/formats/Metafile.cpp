#include "formats/Metafile.h"

#include "formats/QtBridge.h"
#include "formats/ReaderProcess.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint64_t kPlaceableBytes = 22;

// Which task the reader process is given: tests ask it to draw as without fonts.
bool fontsHidden = false;

using Kind = FormatError::Kind;

bool isMetafileHeader(const ByteReader &r, uint64_t at)
{
    const auto type = r.u16(at), headerWords = r.u16(at + 2), version = r.u16(at + 4);
    return type && headerWords && version && (*type == 1 || *type == 2) && *headerWords == 9 &&
           (*version == 0x0100 || *version == 0x0300);
}

// libwmf believes the header's largest-record size and allocates it, so the records are walked
// here first: each one must lie inside the file and within that size, up to the end record.
bool metafileRecordsSound(const ByteReader &r, uint64_t header)
{
    const auto maxWords = r.u32(header + 12);
    if (!isMetafileHeader(r, header) || !maxWords || 2 * uint64_t(*maxWords) > r.size())
        return false;
    for (uint64_t at = header + 18;;) {
        const auto words = r.u32(at);
        const auto function = r.u16(at + 4);
        if (!words || !function || *words < 3 || *words - 3 > *maxWords ||
            !r.has(at, 2 * uint64_t(*words)))
            return false;
        if (*function == 0)
            return true;
        at += 2 * uint64_t(*words);
    }
}

} // namespace

bool isPlaceableMetafile(const QByteArray &bytes)
{
    return ByteReader(bytesView(bytes)).u32(0) == kPlaceableKey;
}

bool isMetafile(const ByteReader &r)
{
    return r.u32(0) == kPlaceableKey || isMetafileHeader(r, 0);
}

std::optional<QImage> renderMetafile(const QByteArray &bytes, QSize clip, ColorValue background,
                                     FormatError *error)
{
    if (!metafileRecordsSound(ByteReader(bytesView(bytes)),
                              isPlaceableMetafile(bytes) ? kPlaceableBytes : 0))
        return failed(error, Kind::Damaged, QStringLiteral("The metafile is damaged."));
    // libwmf draws whole shapes whatever the size of the output, so a small file can keep it
    // busy for hours, and it has a history of crashing on bad files.
    return readInProcess(fontsHidden ? ProcessRead::MetafileWithoutFonts : ProcessRead::Metafile,
                         bytes, clip, toQRgb(background),
                         QStringLiteral("The metafile takes too long to draw."), error);
}

void hideMetafileFonts(bool hide)
{
    fontsHidden = hide;
}
