#pragma once

#include <optional>
#include <string>
#include <utility>

// Why a reader or writer of files gave nothing: the kind of fault, for the caller to act on,
// and the words to show the user or log, as UTF-8.
struct FormatError
{
    enum class Kind {
        NotFound,    // there is no file of that name
        Refused,     // no regular file, a link not to be followed, or a name that cannot be used
        TooLarge,    // more than the reader takes, or than there is room or memory for
        System,      // the system refused a read or write; the message is its own words
        WrongKind,   // the bytes are of no kind this reader takes
        NoIcons,     // an icon source that holds no icons
        Damaged,     // the bytes are of the right kind but do not hold together
        Unsupported, // a variant of the format this program does not read
        CannotDraw,  // this machine lacks what drawing it needs
    };
    Kind kind = Kind::Damaged;
    std::string message;
};

// Records the failure when the caller asked for it; nothing, for `return failed(...)`.
inline std::nullopt_t failed(FormatError *error, FormatError::Kind kind, std::string message)
{
    if (error)
        *error = {kind, std::move(message)};
    return std::nullopt;
}

// The same for words written out, so that they do not also read as the Qt layers' text.
inline std::nullopt_t failed(FormatError *error, FormatError::Kind kind, const char *message)
{
    return failed(error, kind, std::string(message));
}
