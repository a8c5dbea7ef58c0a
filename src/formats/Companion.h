#pragma once

#include <string>

// The path of one of Pixmint's helper programs: beside the running program (the build tree), or
// where installing puts it, ../libexec/pixmint from the program's folder. Empty when neither
// can be run.
std::string companionProgram(const char *name);
