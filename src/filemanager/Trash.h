#pragma once

#include <QByteArray>

// Moves a file, link or folder (a name as the system spells it) into the desktop's trash, laid
// out as freedesktop.org's trash is: the home trash `$XDG_DATA_HOME/Trash` for what lies on its
// file system, otherwise the volume's `.Trash/UID` or `.Trash-UID` at the file system's top.
// The record in `info/` is written whole and synced before the move, its path percent-encoded;
// a trash folder that is a link, or no folder of the user's, is never used; a name taken is
// retried a bounded number of times. 0 when moved, otherwise the errno value of the failure,
// with the file left where it was.
int moveToTrash(const QByteArray &path);
