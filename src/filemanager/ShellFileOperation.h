#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <cstdint>

// The operations and flags of the shell's file-operation record, with the shell's values.
enum FileOpFunc : uint32_t { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3 };
enum FileOpFlag : uint16_t {
    FOF_SILENT = 0x0004,
    FOF_RENAMEONCOLLISION = 0x0008,
    FOF_NOCONFIRMATION = 0x0010,
    FOF_ALLOWUNDO = 0x0040,
    FOF_SIMPLEPROGRESS = 0x0100,
    FOF_NOCONFIRMMKDIR = 0x0200,
};

// What the file manager hands the shell. The lists hold full paths as the system spells them,
// each followed by one NUL, the whole list ended by a further NUL.
struct SHFILEOPSTRUCT
{
    uintptr_t hwnd = 0;
    uint32_t wFunc = 0;
    QByteArray pFrom;
    QByteArray pTo;
    uint16_t fFlags = 0;
    bool fAnyOperationsAborted = false;
};

// The result of an operation the user cancelled.
constexpr int ERROR_CANCELLED = 1223;

// Copies or moves the files and folders of pFrom into the folder pTo, or deletes them: to the
// desktop's trash with FOF_ALLOWUNDO, for good without it. Questions go through message boxes
// titled "Inform the User!": before a file is replaced, unless FOF_NOCONFIRMATION; once before a
// delete, to the trash or for good, naming the file or the count, unless FOF_NOCONFIRMATION;
// before a missing destination folder is made, unless FOF_NOCONFIRMMKDIR. A progress dialog
// follows unless FOF_SILENT. A source that is a link to a file is carried as the file it names;
// a copy keeps the mode bits, a move across file systems the times as well.
//
// Every file is handled whole or left as it was: copies go through SafeWrite, a move across
// file systems removes its source only once the copy is on disk, a cancel stops before the next
// entry. 0 when every entry was handled, ERROR_CANCELLED after a cancel, otherwise the errno
// value of the first failure.
int ShellFileOperation(SHFILEOPSTRUCT &op);

// The paths of a NUL-separated list, up to its terminating empty entry.
QByteArrayList pathList(const QByteArray &list);
// "name (2).ext", "name (3).ext" ...: the first name in `folder` that nothing holds.
QByteArray freeName(const QByteArray &folder, const QByteArray &name);
