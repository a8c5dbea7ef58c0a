#pragma once

#include <QString>
#include <cstdint>

// Opens the file with the operation (empty for its default action), as the shell does, and
// says in a message box why it could not.
void ShellOpen(const QString &File, const QString &Operation);
// Shows the words for one of the shell's failure codes in a stop message box.
void ShellErrorMessage(int32_t code);
