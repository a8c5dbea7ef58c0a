// The commands of pixmint-icons that need nothing but the formats core: they list the icons of
// an executable, library, icon library or icon file, write each of them out as an .ico file,
// or write the thumbnail a file manager shows.
#include "cli/commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "cli/usage.h"
#include "formats/IconResources.h"
#include "formats/Png.h"
#include "formats/SafeWrite.h"
#include "formats/Thumbnail.h"
#include "formats/UserFile.h"

namespace {

constexpr int kNoIcons = 1;
constexpr int kUnreadable = 2;

// Names are the system's bytes and are printed as they are: not every name is UTF-8.
int failWith(const std::string &name, const std::string &message, int status)
{
    std::fprintf(stderr, "pixmint-icons: %s: %s\n", name.c_str(), message.c_str());
    return status;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
        return;
    }
    static constexpr unsigned char lead[] = {0, 0xC0, 0xE0, 0xF0};
    const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out.push_back(char(lead[tail] | (c >> (6 * tail))));
    for (int i = tail - 1; i >= 0; --i)
        out.push_back(char(0x80 | ((c >> (6 * i)) & 0x3F)));
}

void appendEscape(std::string &out, const char *format, unsigned code)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, format, code);
    out += escape;
}

// A group name as one field of a line, in UTF-8: control characters, the line and paragraph
// separators and lone surrogates become escapes, and so does the backslash that starts them.
std::string escapedName(const std::u16string &name)
{
    const auto high = [](char16_t u) { return u >= 0xD800 && u < 0xDC00; };
    const auto low = [](char16_t u) { return u >= 0xDC00 && u < 0xE000; };
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t u = name[i];
        if (high(u) && i + 1 < name.size() && low(name[i + 1])) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (name[++i] - 0xDC00));
        } else if (u == u'\\' || u == u'\t' || u == u'\n' || u == u'\r') {
            out += u == u'\\' ? "\\\\" : u == u'\t' ? "\\t" : u == u'\n' ? "\\n" : "\\r";
        } else if (u < 0x20 || u == 0x7F) {
            appendEscape(out, "\\x%02x", u);
        } else if ((u >= 0x80 && u < 0xA0) || u == 0x2028 || u == 0x2029 || high(u) || low(u)) {
            appendEscape(out, "\\u%04x", u);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

// The first error standard output gave, kept for the exit status.
int outputError = 0;

void writeOut(std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() && outputError == 0)
        outputError = errno;
}

// `status`, unless standard output did not take everything written to it (a full disk).
int finishOutput(int status)
{
    if (std::fflush(stdout) != 0 && outputError == 0)
        outputError = errno;
    if (outputError == 0)
        return status;
    std::fprintf(stderr, "pixmint-icons: cannot write the output: %s\n",
                 std::strerror(outputError));
    return kUnreadable;
}

void appendImageList(std::string &out, const IconGroup &group)
{
    for (const IconGroupImage &image : group.images) {
        // The group entry's word stands only when the image's own header cannot be read.
        const auto info = probeIconImage(image.data);
        if (&image != &group.images.front())
            out += ' ';
        out += std::to_string(info ? info->width : image.width) + 'x' +
               std::to_string(info ? info->height : image.height) + 'x' +
               std::to_string(info ? info->bitCount : image.bitCount);
    }
}

int list(const std::vector<IconGroup> &groups)
{
    std::string out;
    for (size_t i = 0; i < groups.size(); ++i) {
        out += std::to_string(i) + '\t' + escapedName(groups[i].name) + '\t';
        appendImageList(out, groups[i]);
        out += '\n';
    }
    writeOut(out);
    return 0;
}

// Makes the folder and the folders above it.
bool makeFolder(const std::string &dir, std::string *reason)
{
    for (size_t end = 1; end <= dir.size(); ++end) {
        if (end < dir.size() && dir[end] != '/')
            continue;
        if (::mkdir(dir.substr(0, end).c_str(), 0777) != 0 && errno != EEXIST) {
            *reason = systemError(errno);
            return false;
        }
    }
    struct stat info
    {
    };
    if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *reason = systemError(errno == 0 ? ENOTDIR : errno);
        return false;
    }
    return true;
}

// The file's name without its folder and its last extension.
std::string completeBaseName(const std::string &path)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

int extract(const std::vector<IconGroup> &groups, const std::string &file, const std::string &dir)
{
    std::string reason;
    if (!makeFolder(dir, &reason))
        return failWith(dir, "cannot create the folder: " + reason, kUnreadable);
    const std::string base = (dir.ends_with('/') ? dir : dir + '/') + completeBaseName(file);
    int written = 0;
    int status = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        const std::string target = base + '_' + std::to_string(i) + ".ico";
        FormatError error;
        const std::string ico = groupToIco(groups[i], &error);
        // A group with no readable image gives no file, but keeps its index. One too large to
        // write is reported, and the others are written all the same.
        if (ico.empty()) {
            if (!error.message.empty())
                status = failWith(target, "cannot write: " + error.message, kUnreadable);
            continue;
        }
        // Each file appears whole or not at all, and no link of another user is written
        // through. Batch output is not synced to disk file by file, as the saving editor's is.
        if (!SafeWrite::replaceFile(target, ico, &error, SafeWrite::Sync::Later))
            return failWith(target, "cannot write: " + error.message, kUnreadable);
        ++written;
    }
    writeOut(std::to_string(written) + '\n');
    return status;
}

// A thumbnailer reads every file of a folder it is shown, so it reads no more than this.
constexpr int64_t kMaxThumbnailSource = int64_t(48) * 1024 * 1024;
constexpr int kDefaultSide = 128;

// SIZE as file managers pass it: a decimal number from 1 to 1024.
std::optional<int> sideOf(const char *text)
{
    int side = 0;
    for (const char *c = text; *c != 0; ++c) {
        if (*c < '0' || *c > '9' || side > kMaxThumbnailSide)
            return std::nullopt;
        side = side * 10 + (*c - '0');
    }
    if (side < 1 || side > kMaxThumbnailSide)
        return std::nullopt;
    return side;
}

std::optional<Pixels> thumbnailOf(const std::string &path, int side, FormatError *error)
{
    const std::optional<std::string> bytes = readUserFile(path, kMaxThumbnailSource, error);
    if (!bytes)
        return std::nullopt;
    return iconThumbnail(*bytes, side, error);
}

// thumbnail [-s SIZE] FILE OUTPUT: nothing is written unless the whole thumbnail is; an empty
// OUTPUT, as thumbnail hosts make it, is filled in place.
int thumbnail(int argc, char **argv)
{
    const bool sized = argc == 6 && std::strcmp(argv[2], "-s") == 0;
    if (!sized && argc != 4)
        return usageError();
    const std::optional<int> side = sized ? sideOf(argv[3]) : kDefaultSide;
    if (!side)
        return failWith(argv[3], "the size must be 1 to 1024", kUnreadable);
    const std::string input(argv[argc - 2]);
    const std::string output(argv[argc - 1]);
    FormatError error;
    const auto image = thumbnailOf(input, *side, &error);
    if (!image)
        return failWith(input, error.message, kUnreadable);
    const std::string png = encodePng(*image);
    if (png.empty())
        return failWith(output, "cannot make the PNG", kUnreadable);
    const SafeWrite::Fill fill = SafeWrite::fillEmptyFile(output, png, &error);
    if (fill == SafeWrite::Fill::Failed ||
        (fill == SafeWrite::Fill::NotEmpty &&
         !SafeWrite::replaceFile(output, png, &error, SafeWrite::Sync::Later)))
        return failWith(output, "cannot write: " + error.message, kUnreadable);
    return 0;
}

int listOrExtract(int argc, char **argv)
{
    const bool listing = std::strcmp(argv[1], "list") == 0;
    if (argc != (listing ? 3 : 4))
        return usageError();
    const std::string path(argv[2]);
    FormatError error;
    const std::optional<std::string> bytes = readUserFile(path, kMaxUserFileBytes, &error);
    if (!bytes)
        return failWith(path, error.message, kUnreadable);
    // The file outlives the groups, whose images are slices of it.
    const auto groups = readIconGroups(*bytes, &error);
    if (!groups) {
        return failWith(path, error.message,
                        error.kind == FormatError::Kind::NoIcons ? kNoIcons : kUnreadable);
    }
    return finishOutput(listing ? list(*groups) : extract(*groups, path, argv[3]));
}

} // namespace

int usageError()
{
    std::fputs(kUsage, stderr);
    return kUnreadable;
}

std::optional<int> runCoreCommand(int argc, char **argv, GifReader gif)
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view command(argv[1]);
    if (argc == 2 && (command == "--help" || command == "-h")) {
        writeOut(kUsage);
        return finishOutput(0);
    }
    if (command == "list" || command == "extract")
        return listOrExtract(argc, argv);
    if (command == "thumbnail")
        return thumbnail(argc, argv);
    if (command == "create")
        return createIconSet(argc, argv, gif);
    if (command == "convert")
        return convertImage(argc, argv, gif);
    return std::nullopt;
}
