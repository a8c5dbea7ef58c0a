#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "formats/FormatError.h"

// The most any reader takes from a file the user named.
constexpr int64_t kMaxUserFileBytes = int64_t(512) * 1024 * 1024;

// The caller's buffer made `size` bytes long, keeping what it holds, and where it starts: so a
// file is read straight into a std::string or a QByteArray, never copied from one to the other.
using ByteBuffer = std::function<char *(size_t size)>;

// The whole of a file the user named, without ever blocking on it: only a regular file (links
// followed) is read, so a FIFO, a device, a socket or a folder is refused before anything is
// read, and so is a file of more than `limit` bytes. False, with the reason, otherwise. The
// path is given as the system spells it, since not every name is UTF-8.
bool readUserFileInto(const std::string &path, int64_t limit, FormatError *error,
                      const ByteBuffer &buffer);
std::optional<std::string> readUserFile(const std::string &path, int64_t limit = kMaxUserFileBytes,
                                        FormatError *error = nullptr);
// At most the first `count` bytes of a file the user named, under the same rules; a shorter file
// gives what it has.
bool readUserFileHeadInto(const std::string &path, int64_t count, FormatError *error,
                          const ByteBuffer &buffer);
// The system's own words for an errno value.
std::string systemError(int code);
