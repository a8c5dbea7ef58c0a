#include "filemanager/ShellFileOperation.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "filemanager/Trash.h"
#include "formats/QtBridge.h"
#include "toolkit/Seam.h"

namespace {

const QString kTitle = QStringLiteral("Inform the User!");

QByteArray joinPath(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The last part of a path; empty for the root.
QByteArray baseName(QByteArray path)
{
    while (path.endsWith('/'))
        path.chop(1);
    return path.mid(path.lastIndexOf('/') + 1);
}

bool exists(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0;
}

bool sameFile(const QByteArray &a, const QByteArray &b)
{
    struct stat sa
    {
    }, sb{};
    return ::stat(a.constData(), &sa) == 0 && ::stat(b.constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Whether `path` is `folder` or lies inside it, links resolved.
bool within(const QByteArray &path, const QByteArray &folder)
{
    const std::unique_ptr<char, decltype(&free)> p(::realpath(path.constData(), nullptr), &free);
    const std::unique_ptr<char, decltype(&free)> f(::realpath(folder.constData(), nullptr), &free);
    if (!p || !f)
        return false;
    const QByteArray inner(p.get()), outer(f.get());
    return inner == outer || inner.startsWith(joinPath(outer, QByteArray()));
}

struct CloseDir
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};

// The names in a folder, as the system spells them.
std::optional<QByteArrayList> entriesOf(const QByteArray &folder)
{
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.constData()));
    if (!dir)
        return std::nullopt;
    QByteArrayList names;
    while (const dirent *e = ::readdir(dir.get())) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    return names;
}

int errnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// Gives the new entry the modification (and access) time of the one it came from.
void keepTimes(const QByteArray &target, const struct stat &from)
{
    const timespec times[2] = {from.st_atim, from.st_mtim};
    (void)::utimensat(AT_FDCWD, target.constData(), times, AT_SYMLINK_NOFOLLOW);
}

// A regular file's bytes (a link followed) into a fresh file written whole, synced, then renamed
// into place, with the source's mode bits. A link at the target is replaced as an entry of its
// folder, never written through.
int copyFile(const QByteArray &source, const QByteArray &target)
{
    FormatError error;
    QByteArray bytes;
    const bool read =
        readUserFileInto(source.toStdString(), kMaxUserFileBytes, &error, bufferOf(bytes));
    struct stat from
    {
    }, st{};
    if (!read || ::stat(source.constData(), &from) != 0)
        return error.kind == FormatError::Kind::NotFound ? ENOENT : EIO;
    QByteArray fresh = target;
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        const qsizetype slash = target.lastIndexOf('/');
        const QByteArray folder = target.left(slash + 1);
        fresh = folder + freeName(folder, target.mid(slash + 1));
    }
    if (!SafeWrite::replaceFile(fresh.toStdString(), bytesView(bytes), &error))
        return EIO;
    if (::chmod(fresh.constData(), from.st_mode & 07777) != 0 ||
        (fresh != target && ::rename(fresh.constData(), target.constData()) != 0)) {
        const int e = errnoOr(EIO);
        if (fresh != target)
            ::unlink(fresh.constData());
        return e;
    }
    return 0;
}

int copyFolder(const QByteArray &source, const QByteArray &target, const struct stat &st,
               bool moving);

// Copies a file, a link (as a link, never followed) or a whole folder; a move keeps the times.
int copyTree(const QByteArray &source, const QByteArray &target, bool moving)
{
    struct stat st
    {
    };
    if (::lstat(source.constData(), &st) != 0)
        return errnoOr(ENOENT);
    int result = 0;
    if (S_ISREG(st.st_mode)) {
        result = copyFile(source, target);
    } else if (S_ISLNK(st.st_mode)) {
        QByteArray link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(source.constData(), link.data(), size_t(link.size()));
        if (n < 0 || n >= link.size())
            return errnoOr(ENAMETOOLONG);
        link.truncate(n);
        result = ::symlink(link.constData(), target.constData()) == 0 ? 0 : errnoOr(EIO);
    } else if (!S_ISDIR(st.st_mode)) {
        return EINVAL; // a pipe or device is no file to copy
    } else if (const int e = copyFolder(source, target, st, moving)) {
        return e;
    }
    if (result == 0 && moving)
        keepTimes(target, st);
    return result;
}

// Copies a folder's entries into `target`, made when missing; an entry there that is no real
// folder (a link to one elsewhere, say) is refused, never written through.
int copyFolder(const QByteArray &source, const QByteArray &target, const struct stat &st,
               bool moving)
{
    struct stat there
    {
    };
    if (::mkdir(target.constData(), st.st_mode & 07777) != 0 &&
        (errno != EEXIST || ::lstat(target.constData(), &there) != 0 || !S_ISDIR(there.st_mode)))
        return errno == EEXIST || errno == 0 ? ENOTDIR : errno;
    const std::optional<QByteArrayList> names = entriesOf(source);
    if (!names)
        return errnoOr(EACCES);
    int result = 0;
    for (const QByteArray &name : *names)
        if (const int e = copyTree(joinPath(source, name), joinPath(target, name), moving);
            e && !result)
            result = e;
    return result;
}

// Removes a file, a link or a whole folder, never following a link.
int removeTree(const QByteArray &path)
{
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) != 0)
        return errnoOr(ENOENT);
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.constData()) == 0 ? 0 : errnoOr(EIO);
    const std::optional<QByteArrayList> names = entriesOf(path);
    if (!names)
        return errnoOr(EACCES);
    for (const QByteArray &name : *names)
        if (const int e = removeTree(joinPath(path, name)))
            return e;
    return ::rmdir(path.constData()) == 0 ? 0 : errnoOr(EIO);
}

int moveTree(const QByteArray &source, const QByteArray &target)
{
    if (::rename(source.constData(), target.constData()) == 0)
        return 0;
    if (errno != EXDEV)
        return errnoOr(EIO);
    // Across file systems: the source goes only once its copy is whole and on disk.
    const bool existed = exists(target);
    if (const int e = copyTree(source, target, true)) {
        if (!existed)
            removeTree(target);
        return e;
    }
    return removeTree(source);
}

// A link that names a regular file: the file manager lists it as an icon, so its copy is the
// file itself (a relative link would name nothing in the destination).
bool linkToFile(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode) &&
           ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// Copies the file a link names; a move then removes the link (the file stays where it was).
int carryLinkedFile(const QByteArray &link, const QByteArray &target, bool moving)
{
    if (const int e = copyFile(link, target))
        return e;
    if (!moving)
        return 0;
    struct stat st
    {
    };
    if (::stat(link.constData(), &st) == 0)
        keepTimes(target, st);
    return ::unlink(link.constData()) == 0 ? 0 : errnoOr(EIO);
}

class Operation
{
public:
    explicit Operation(SHFILEOPSTRUCT &op)
        : op_(op)
    {
    }
    int run();

private:
    bool flag(uint16_t f) const { return (op_.fFlags & f) != 0; }
    QString verb() const;
    // The destination folder, made when missing and allowed; false when there is none.
    bool destinationReady();
    int handle(const QByteArray &source);
    int transfer(const QByteArray &source);
    int erase(const QByteArray &source);
    // Asks a Yes/No/Cancel question; Cancel ends the whole operation.
    int ask(const QString &text);
    // Asks once before a delete, naming the file or the count; false when the user said no.
    bool deleteConfirmed(const QByteArrayList &sources) const;

    SHFILEOPSTRUCT &op_;
    QByteArray destination_;
    bool cancelled_ = false;
};

constexpr int kSkipped = -1; // the user chose to leave the file as it is

QString Operation::verb() const
{
    switch (op_.wFunc) {
    case FO_MOVE:
        return QStringLiteral("Moving");
    case FO_COPY:
        return QStringLiteral("Copying");
    default:
        return flag(FOF_ALLOWUNDO) ? QStringLiteral("Moving to the trash")
                                   : QStringLiteral("Deleting");
    }
}

int Operation::ask(const QString &text)
{
    const int answer = MsgBox(text, vbYesNoCancel | vbQuestion, kTitle);
    if (answer == vbCancel)
        cancelled_ = true;
    return answer;
}

int Operation::run()
{
    const QByteArrayList sources = pathList(op_.pFrom);
    destination_ = pathList(op_.pTo).value(0);
    if (op_.wFunc != FO_DELETE && !destinationReady())
        return cancelled_ ? ERROR_CANCELLED : ENOENT;
    if (op_.wFunc == FO_DELETE && !deleteConfirmed(sources))
        return 0;
    std::unique_ptr<Progress> progress;
    if (!flag(FOF_SILENT))
        progress = seam().progress(kTitle, int(sources.size()));
    int result = 0;
    for (qsizetype i = 0; i < sources.size() && !cancelled_; ++i) {
        const QString what = flag(FOF_SIMPLEPROGRESS)
                                 ? QStringLiteral(" files ...")
                                 : QStringLiteral(" ") + QFile::decodeName(sources[i]);
        if (progress && !progress->step(verb() + what, int(i))) {
            cancelled_ = true;
            break;
        }
        if (const int e = handle(sources[i]); e > 0 && !result)
            result = e;
    }
    op_.fAnyOperationsAborted = cancelled_;
    return cancelled_ ? ERROR_CANCELLED : result;
}

bool Operation::deleteConfirmed(const QByteArrayList &sources) const
{
    if (flag(FOF_NOCONFIRMATION) || sources.isEmpty())
        return true;
    const bool one = sources.size() == 1;
    const QString what =
        one ? QStringLiteral("\n") + QFile::decodeName(sources[0]) + QStringLiteral("\n")
            : QStringLiteral(" these %1 items ").arg(sources.size());
    const QString text = flag(FOF_ALLOWUNDO)
                             ? QStringLiteral("Move") + what + QStringLiteral("to the trash?")
                             : QStringLiteral("Delete") + what +
                                   (one ? QStringLiteral("for good? It cannot be brought back.")
                                        : QStringLiteral("for good? They cannot be brought back."));
    return MsgBox(text, vbYesNo | vbQuestion, kTitle) == vbYes;
}

bool Operation::destinationReady()
{
    struct stat st
    {
    };
    if (destination_.isEmpty())
        return false;
    if (::stat(destination_.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (!flag(FOF_NOCONFIRMMKDIR) && !flag(FOF_NOCONFIRMATION) &&
        ask(QStringLiteral("The folder\n") + QFile::decodeName(destination_) +
            QStringLiteral("\ndoes not exist. Create it?")) != vbYes)
        return false;
    return QDir().mkpath(QFile::decodeName(destination_));
}

int Operation::handle(const QByteArray &source)
{
    // A name that did not survive decoding would name another file.
    if (QFile::decodeName(source).contains(QChar::ReplacementCharacter))
        return EILSEQ;
    if (baseName(source).isEmpty())
        return EINVAL;
    return op_.wFunc == FO_DELETE ? erase(source) : transfer(source);
}

int Operation::transfer(const QByteArray &source)
{
    if (!exists(source))
        return ENOENT;
    const QByteArray name = baseName(source);
    QByteArray target = joinPath(destination_, name);
    if (within(destination_, source))
        return EINVAL; // a folder into itself would never end
    if (exists(target)) {
        if (flag(FOF_RENAMEONCOLLISION))
            target = joinPath(destination_, freeName(destination_, name));
        else if (sameFile(source, target))
            return EEXIST;
        else if (!flag(FOF_NOCONFIRMATION) &&
                 ask(QStringLiteral("The destination folder already holds\n") +
                     QFile::decodeName(name) + QStringLiteral("\n\nReplace it?")) != vbYes)
            return kSkipped;
    }
    if (linkToFile(source))
        return carryLinkedFile(source, target, op_.wFunc == FO_MOVE);
    return op_.wFunc == FO_MOVE ? moveTree(source, target) : copyTree(source, target, false);
}

int Operation::erase(const QByteArray &source)
{
    if (flag(FOF_ALLOWUNDO))
        return moveToTrash(source);
    return removeTree(source);
}

} // namespace

int ShellFileOperation(SHFILEOPSTRUCT &op)
{
    if (op.wFunc < FO_MOVE || op.wFunc > FO_DELETE)
        return EINVAL;
    return Operation(op).run();
}

QByteArrayList pathList(const QByteArray &list)
{
    QByteArrayList paths;
    qsizetype start = 0;
    while (start < list.size()) {
        const qsizetype end = list.indexOf('\0', start);
        if (end == start)
            break;
        paths << list.mid(start, end < 0 ? -1 : end - start);
        if (end < 0)
            break;
        start = end + 1;
    }
    return paths;
}

QByteArray freeName(const QByteArray &folder, const QByteArray &name)
{
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArray stem = dot > 0 ? name.left(dot) : name;
    const QByteArray extension = dot > 0 ? name.mid(dot) : QByteArray();
    for (int n = 2;; ++n) {
        QByteArray candidate = stem + " (" + QByteArray::number(n) + ')' + extension;
        if (!exists(joinPath(folder, candidate)))
            return candidate;
    }
}
