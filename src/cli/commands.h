#pragma once

#include <optional>
#include <string_view>

#include "formats/FormatError.h"
#include "formats/Pixels.h"

// Reads a GIF picture: the full tool has one, through Qt.
using GifReader = std::optional<Pixels> (*)(std::string_view bytes, FormatError *error);

// The commands that stand on the formats core: --help, list, extract, thumbnail, create and
// convert. The exit status when argv names one of them, nothing otherwise and for a create or
// convert that reads a GIF without `gif`, which the full tool then runs.
std::optional<int> runCoreCommand(int argc, char **argv, GifReader gif = nullptr);
// create OUTPUT.ico INPUT... [--sizes LIST] and convert INPUT OUTPUT [--size N].
std::optional<int> createIconSet(int argc, char **argv, GifReader gif);
std::optional<int> convertImage(int argc, char **argv, GifReader gif);
// Prints the usage on standard error, for a command line that names no command: status 2.
int usageError();
