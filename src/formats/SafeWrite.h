#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "formats/FormatError.h"

// The one way files are written: the new bytes go to a fresh temporary file beside the target,
// created without following any existing name or link, every write checked, then renamed over
// the target. So a file holds its old content or the new, never a part of it; on failure the
// temporary is removed and the system's own words for the cause are given.
namespace SafeWrite {

// Whether the bytes reach the disk before the rename (an editor's save) or may follow later
// (a batch of files whose loss in a crash costs nothing but a rerun).
enum class Sync { ToDisk, Later };

// Replaces the file `path` (a name as the system spells it) by `bytes`. A name that is no
// regular file (a folder, a device, a pipe) is refused, and so is a link, unless it and the
// file it names belong to the running user: then the file it names is replaced.
bool replaceFile(const std::string &path, std::string_view bytes, FormatError *error = nullptr,
                 Sync sync = Sync::ToDisk);

// A thumbnail host creates the output file empty and reads the thumbnail back through the
// descriptor it holds, which a rename would leave on the empty file. So an empty regular file of
// the running user's, named without a link, is filled in place (Filled); a failed fill empties
// it again (Failed, with the reason); any other name is left to replaceFile (NotEmpty).
enum class Fill { NotEmpty, Filled, Failed };
Fill fillEmptyFile(const std::string &path, std::string_view bytes, FormatError *error = nullptr);

// The file a write of `path` lands on: `path` itself when it is no link, or the end of its chain
// of links when every link and that file belong to the running user. Nothing, with the reason,
// for any other link, and for a link to nothing.
std::optional<std::string> writableTarget(const std::string &path, FormatError *error = nullptr);

// The steps of a write, as tests see them.
enum class Step { Create, Write, Sync, Rename };
// Tests watch every step of every write and may make one fail with an errno value, such as
// ENOSPC, EROFS or EXDEV where no full or read-only file system can be mounted; 0 lets the
// step run. An empty hook ends the watch.
using TestHook = std::function<int(Step step, const std::string &target)>;
void setTestHook(TestHook hook);

} // namespace SafeWrite
