#pragma once

#include <QByteArray>

// The path of one of Pixmint's helper programs: beside the running program (the build tree), or
// where installing puts it, ../libexec/pixmint from the program's folder. Empty when neither
// can be run.
QByteArray companionProgram(const char *name);
