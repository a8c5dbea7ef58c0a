// The full pixmint-icons: the commands that need Qt Gui's picture readers, and the core's. The
// small pixmint-icons on the formats core hands every command it does not run itself to this
// program, installed beside the reader process.
#include "cli/commands.h"
#include "formats/PixelImage.h"
#include "formats/QtBridge.h"
#include "formats/ReaderProcess.h"

namespace {

// GIFs are read by Qt in the reader process, bounded in time and memory like the editor's.
std::optional<Pixels> readGif(std::string_view bytes, FormatError *error)
{
    const auto image = readInProcess(ProcessRead::Picture, toByteArray(bytes), QSize(4096, 4096), 0,
                                     QStringLiteral("The GIF takes too long to read."), error);
    if (!image)
        return std::nullopt;
    return toPixels(*image);
}

} // namespace

int main(int argc, char **argv)
{
    if (const auto status = runCoreCommand(argc, argv, readGif))
        return *status;
    return usageError();
}
