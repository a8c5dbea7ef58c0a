#pragma once

#include <QString>

// Opens a document, folder or address with the desktop's program for it, or starts a program,
// and answers with the shell's code (ShellCode): more than 32 once it has started.
// `operation` is empty or "open", the default action; the shell knows no other. A regular file
// the user may run is started with `parameters` split as a command line is, but never through a
// shell; any other file goes to `xdg-open` when the desktop names a program for its type, and
// an address goes to `xdg-open` as it is. A relative path is taken from `directory`, or else
// from the current folder.
int ShellExecute(const QString &operation, const QString &file, const QString &parameters,
                 const QString &directory);
