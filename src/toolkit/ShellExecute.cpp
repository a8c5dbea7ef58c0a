#include "toolkit/ShellExecute.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/Seam.h"

namespace {

const QString Opener = QStringLiteral("xdg-open");

// An address has a scheme of two letters or more: one letter is a drive, none a path.
bool isAddress(const QUrl &url)
{
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

bool isFolder(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Looks the path up: 0 with its status when it is there, else the shell's code for why not.
int lookUp(const QString &path, struct stat &st)
{
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return 0;
    switch (errno) {
    case ENOENT:
        // A file missing from a folder that is there; else the folder is what is missing.
        return isFolder(QFileInfo(path).absolutePath()) ? ShellFileNotFound : ShellPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return ShellPathNotFound;
    case EACCES:
    case EPERM:
        return ShellAccessDenied;
    case ENOMEM:
        return ShellOutOfMemory;
    default:
        return ShellOtherError;
    }
}

// Whether the desktop names a program for the type, or for a type it is a kind of (a C
// source is plain text to a text editor).
bool hasProgramFor(const QMimeType &type)
{
    QStringList names = type.allAncestors();
    names.prepend(type.name());
    for (const QString &name : names)
        if (!seam().defaultApplication(name).isEmpty())
            return true;
    return false;
}

int open(const QString &target, const QString &directory)
{
    const int code = seam().startDetached(Opener, {target}, directory);
    // That the opener itself is missing says nothing about the file.
    return code > 32 ? code : ShellOtherError;
}

int openFile(const QString &path, const QString &parameters, const QString &directory)
{
    struct stat st = {};
    if (const int problem = lookUp(path, st))
        return problem;
    const QByteArray native = QFile::encodeName(path);
    if (S_ISREG(st.st_mode) && ::access(native.constData(), X_OK) == 0)
        return seam().startDetached(path, QProcess::splitCommand(parameters), directory);
    const int needed = S_ISDIR(st.st_mode) ? R_OK | X_OK : R_OK;
    if (::access(native.constData(), needed) != 0)
        return ShellAccessDenied;
    if (!hasProgramFor(QMimeDatabase().mimeTypeForFile(path)))
        return ShellNoAssociation;
    return open(path, directory);
}

} // namespace

int ShellExecute(const QString &operation, const QString &file, const QString &parameters,
                 const QString &directory)
{
    if (!operation.isEmpty() && operation.compare(QStringLiteral("open"), Qt::CaseInsensitive))
        return ShellNoAssociation;
    if (!directory.isEmpty() && !isFolder(directory))
        return ShellPathNotFound;
    if (file.isEmpty())
        return ShellFileNotFound;
    const QUrl url(file);
    if (isAddress(url))
        return open(file, directory);
    const QString path = url.isLocalFile() ? url.toLocalFile() : file;
    const QDir base = directory.isEmpty() ? QDir::current() : QDir(directory);
    return openFile(base.absoluteFilePath(path), parameters, directory);
}
