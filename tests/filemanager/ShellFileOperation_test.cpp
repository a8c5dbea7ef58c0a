#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "filemanager/ShellFileOperation.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"

namespace {

constexpr uint16_t Quiet = FOF_SILENT | FOF_NOCONFIRMMKDIR;
constexpr uint16_t ToTrash = FOF_ALLOWUNDO | Quiet | FOF_NOCONFIRMATION;

class FileOperation : public ::testing::Test
{
protected:
    // The home trash beside the files, so both share a file system whatever /tmp is.
    void SetUp() override { qputenv("XDG_DATA_HOME", QFile::encodeName(data)); }
    void TearDown() override { qputenv("XDG_DATA_HOME", oldData); }

    static QString make(const QString &path, const QByteArray &bytes)
    {
        EXPECT_TRUE(writeAll(path, bytes));
        return path;
    }
    // A file whose name is kept as the system spells it.
    static void makeRaw(const QByteArray &path, const char *text)
    {
        EXPECT_TRUE(std::ofstream(path.constData()) << text);
    }
    QString src(const QString &name) const { return from.filePath(name); }
    QString dst(const QString &name) const { return to.filePath(name); }

    int run(uint32_t func, const QStringList &sources, uint16_t flags, const QString &dest = {})
    {
        SHFILEOPSTRUCT op;
        op.wFunc = func;
        for (const QString &s : sources)
            op.pFrom += QFile::encodeName(s) + '\0';
        op.pFrom += '\0';
        op.pTo = QFile::encodeName(dest.isEmpty() ? to.path() : dest) + '\0' + '\0';
        op.fFlags = flags;
        const int result = ShellFileOperation(op);
        EXPECT_EQ(op.fAnyOperationsAborted, result == ERROR_CANCELLED);
        return result;
    }

    QTemporaryDir from, to;
    const QString data = from.filePath("data"), trash = data + "/Trash";
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
};

} // namespace

TEST_F(FileOperation, CopyAsksBeforeReplacingOrRenamesOnCollisionToAFreeName)
{
    make(src("a.ico"), "new");
    make(src("it's \"b\".ico"), "quoted");
    make(dst("a.ico"), "old");
    // No keeps the old file; the other file is copied and the operation counts as done.
    scripted().messageAnswers = {vbNo};
    EXPECT_EQ(run(FO_COPY, {src("a.ico"), src("it's \"b\".ico")}, Quiet), 0);
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text,
              QStringLiteral("The destination folder already holds\na.ico\n\nReplace it?"));
    EXPECT_EQ(scripted().messages[0].title, QStringLiteral("Inform the User!"));
    EXPECT_EQ(readAll(dst("a.ico")), "old");
    EXPECT_EQ(readAll(dst("it's \"b\".ico")), "quoted");

    scripted().messageAnswers = {vbYes};
    EXPECT_EQ(run(FO_COPY, {src("a.ico")}, Quiet), 0);
    EXPECT_EQ(readAll(dst("a.ico")), "new");

    // Renaming asks nothing and keeps both; a copy onto itself gets a free name too.
    scripted().reset();
    EXPECT_EQ(run(FO_COPY, {src("a.ico")}, Quiet | FOF_RENAMEONCOLLISION), 0);
    EXPECT_EQ(run(FO_COPY, {src("a.ico")}, Quiet | FOF_RENAMEONCOLLISION, from.path()), 0);
    EXPECT_EQ(readAll(dst("a (2).ico")), "new");
    EXPECT_EQ(readAll(src("a (2).ico")), "new");
    // Without it a file is never copied onto itself.
    EXPECT_NE(run(FO_COPY, {src("a.ico")}, Quiet | FOF_NOCONFIRMATION, from.path()), 0);
    EXPECT_EQ(readAll(src("a.ico")), "new");

    // Cancel ends the operation before the next file.
    scripted().messageAnswers = {vbCancel};
    make(src("c.ico"), "c");
    EXPECT_EQ(run(FO_COPY, {src("a.ico"), src("c.ico")}, Quiet), ERROR_CANCELLED);
    EXPECT_FALSE(QFile::exists(dst("c.ico")));

    // A missing destination folder is made only once the user said yes.
    scripted().reset();
    scripted().messageAnswers = {vbNo};
    EXPECT_NE(run(FO_COPY, {src("c.ico")}, FOF_SILENT, dst("new")), 0);
    EXPECT_FALSE(QFile::exists(dst("new")));
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text,
              "The folder\n" + dst("new") + "\ndoes not exist. Create it?");

    // A free name counts past those taken, with or without an extension.
    make(src("README"), "3");
    const QByteArray folder = QFile::encodeName(from.path());
    EXPECT_EQ(freeName(folder, "a.ico"), "a (3).ico");
    EXPECT_EQ(freeName(folder, "README"), "README (2)");
    EXPECT_EQ(freeName(folder, ".hidden"), ".hidden (2)");
}

TEST_F(FileOperation, ReplacingKeepsTheOldFileWhenAWriteFailsAndNeverWritesThroughALink)
{
    make(src("a.ico"), "new");
    make(dst("a.ico"), "old");
    for (const SafeWrite::Step step : {SafeWrite::Step::Write, SafeWrite::Step::Sync}) {
        const FailingWrites failing(step, ENOSPC);
        EXPECT_NE(run(FO_COPY, {src("a.ico")}, Quiet | FOF_NOCONFIRMATION), 0);
    }
    EXPECT_EQ(readAll(dst("a.ico")), "old");

    const QString victim = make(from.filePath("victim"), "keep");
    ASSERT_TRUE(QFile::remove(dst("a.ico")) && QFile::link(victim, dst("a.ico")));
    EXPECT_EQ(run(FO_COPY, {src("a.ico")}, Quiet | FOF_NOCONFIRMATION), 0);
    EXPECT_EQ(readAll(victim), "keep");
    EXPECT_FALSE(QFileInfo(dst("a.ico")).isSymLink());
    EXPECT_EQ(readAll(dst("a.ico")), "new");
    EXPECT_EQ(QDir(to.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(FileOperation, MoveAcrossFileSystemsRemovesTheSourceOnlyOnceCopied)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    make(src("a.ico"), "aaaa");
    make(src("b.ico"), QByteArray(8192, 'b'));
    {
        // A move that must copy keeps its source when the copy fails.
        const FailingWrites failing(SafeWrite::Step::Rename, EIO);
        EXPECT_NE(run(FO_MOVE, {src("a.ico")}, Quiet, disk.path()), 0);
        EXPECT_EQ(readAll(src("a.ico")), "aaaa");
    }
    EXPECT_EQ(run(FO_MOVE, {src("a.ico")}, Quiet, disk.path()), 0);
    EXPECT_FALSE(QFile::exists(src("a.ico")));
    EXPECT_EQ(readAll(disk.path() + "/a.ico"), "aaaa");

    // A full disk: the file stays whole where it was, nothing half-written lands.
    disk.fill();
    EXPECT_NE(run(FO_MOVE, {src("b.ico")}, Quiet, disk.path()), 0);
    EXPECT_EQ(readAll(src("b.ico")).size(), 8192);
    EXPECT_FALSE(QFile::exists(disk.path() + "/b.ico"));

    // A read-only one, and a vanished source beside a good one: each file on its own.
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_NE(run(FO_COPY, {src("b.ico")}, Quiet, disk.path()), 0);
    EXPECT_EQ(readAll(src("b.ico")).size(), 8192);
    EXPECT_NE(run(FO_MOVE, {src("gone.ico"), src("b.ico")}, Quiet), 0);
    EXPECT_EQ(readAll(dst("b.ico")).size(), 8192);
}

TEST_F(FileOperation, CancelledProgressKeepsWhatWasDone)
{
    for (const char *name : {"a.ico", "b.ico", "c.ico"})
        make(src(name), name);
    scripted().cancelProgressAt = 2;
    EXPECT_EQ(run(FO_COPY, {src("a.ico"), src("b.ico"), src("c.ico")}, FOF_NOCONFIRMMKDIR),
              ERROR_CANCELLED);
    ASSERT_EQ(scripted().progressDialogs.size(), 1u);
    EXPECT_EQ(
        scripted().progressDialogs[0],
        QStringList({"Inform the User!", "Copying " + src("a.ico"), "Copying " + src("b.ico")}));
    EXPECT_EQ(readAll(dst("a.ico")), "a.ico");
    EXPECT_FALSE(QFile::exists(dst("b.ico")));

    // Simple progress names no file; silent shows none.
    scripted().reset();
    EXPECT_EQ(run(FO_MOVE, {src("b.ico")}, FOF_SIMPLEPROGRESS | FOF_NOCONFIRMMKDIR), 0);
    EXPECT_EQ(run(FO_MOVE, {src("c.ico")}, Quiet), 0);
    EXPECT_EQ(run(FO_DELETE, {dst("a.ico")}, FOF_NOCONFIRMATION), 0);
    ASSERT_EQ(scripted().progressDialogs.size(), 2u);
    EXPECT_EQ(scripted().progressDialogs[0].value(1), QStringLiteral("Moving files ..."));
    EXPECT_EQ(scripted().progressDialogs[1].value(1), "Deleting " + dst("a.ico"));
}

TEST_F(FileOperation, DeleteAsksOnceThenGoesToTheTrashOrForGood)
{
    for (const char *name : {"a", "b", "c"})
        make(src(QString::fromLatin1(name) + ".ico"), name);
    scripted().messageAnswers = {vbNo, vbYes};
    EXPECT_EQ(run(FO_DELETE, {src("a.ico")}, FOF_ALLOWUNDO | Quiet), 0);
    EXPECT_TRUE(QFile::exists(src("a.ico")));
    EXPECT_EQ(run(FO_DELETE, {src("a.ico")}, FOF_ALLOWUNDO | Quiet), 0);
    ASSERT_EQ(scripted().messages.size(), 2u);
    EXPECT_EQ(scripted().messages[0].text, "Move\n" + src("a.ico") + "\nto the trash?");
    EXPECT_FALSE(QFile::exists(src("a.ico")));
    EXPECT_EQ(readAll(trash + "/files/a.ico"), "a");
    EXPECT_EQ(readAll(trash + "/info/a.ico.trashinfo").split('\n').value(1),
              "Path=" + src("a.ico").toUtf8());

    // For good, several at once: one question with the count.
    scripted().reset();
    scripted().messageAnswers = {vbYes};
    EXPECT_EQ(run(FO_DELETE, {src("b.ico"), src("c.ico")}, Quiet), 0);
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text,
              QStringLiteral("Delete these 2 items for good? They cannot be brought back."));
    EXPECT_FALSE(QFile::exists(src("b.ico")) || QFile::exists(src("c.ico")));
    EXPECT_NE(run(FO_DELETE, {src("b.ico")}, Quiet | FOF_NOCONFIRMATION), 0);
    EXPECT_EQ(scripted().messages.size(), 1u);
}

TEST_F(FileOperation, ATrashThatCannotBeUsedFailsAtOnceAndKeepsTheFile)
{
    const QString longName = QString(250 - 4, 'n') + ".ico";
    make(src(longName), "long");
    make(src("a.ico"), "a");
    const auto refused = [&](const QString &name) {
        EXPECT_NE(run(FO_DELETE, {src(name)}, ToTrash), 0);
        EXPECT_TRUE(QFile::exists(src(name))) << name.toStdString();
        // Never a trash of its own beside the icons or in the current folder.
        for (const QString &place : {from.path(), QDir::currentPath()})
            EXPECT_FALSE(QFile::exists(place + "/files") || QFile::exists(place + "/info"));
    };
    refused(longName); // its record's name passes the 255-byte limit
    // A plain file where the records, the trash or the data folder should be.
    for (const QString &blocked : {trash + "/info", trash, data}) {
        ASSERT_TRUE(QDir(data).removeRecursively());
        make(blocked, "a file");
        refused("a.ico");
    }
}

TEST_F(FileOperation, TrashRecordsNameTheFileOnOneEncodedLine)
{
    const QString odd = QStringLiteral("new\nPath=x %#?\xe9.ico");
    make(src(odd), "odd");
    make(to.filePath(odd), "twin");
    EXPECT_EQ(run(FO_DELETE, {src(odd), to.filePath(odd)}, ToTrash), 0);
    const QDir info(trash + "/info");
    QStringList paths;
    for (const QString &name : info.entryList(QDir::Files)) {
        const QList<QByteArray> lines = readAll(info.filePath(name)).split('\n');
        ASSERT_EQ(lines.size(), 4) << name.toStdString(); // the last one empty
        EXPECT_EQ(lines[0], "[Trash Info]");
        EXPECT_TRUE(lines[2].startsWith("DeletionDate="));
        ASSERT_TRUE(lines[1].startsWith("Path="));
        EXPECT_FALSE(lines[1].contains(' ') || lines[1].contains('#') || lines[1].contains('?'));
        paths << QString::fromUtf8(QByteArray::fromPercentEncoding(lines[1].mid(5)));
        // The twin took another name, and its file the same one.
        EXPECT_TRUE(QFile::exists(trash + "/files/" + name.chopped(10)));
    }
    EXPECT_THAT(paths, ::testing::UnorderedElementsAre(src(odd), to.filePath(odd)));
}

TEST_F(FileOperation, AnotherFileSystemHasItsOwnTrashThatRefusesLinksAndKeepsTheFileWhenFull)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    const QString icon = disk.path() + "/sub/a.ico";
    make(icon, "a");
    const QString volume = disk.path() + "/.Trash-" + QString::number(::geteuid());
    // A link where the volume's trash goes is never followed, nor one inside it.
    ASSERT_TRUE(QFile::link(to.path(), volume));
    EXPECT_NE(run(FO_DELETE, {icon}, ToTrash), 0);
    ASSERT_TRUE(QFile::remove(volume) && QDir().mkpath(volume + "/info") &&
                QFile::link(to.path(), volume + "/files"));
    EXPECT_NE(run(FO_DELETE, {icon}, ToTrash), 0);
    EXPECT_EQ(readAll(icon), "a");
    EXPECT_TRUE(QDir(to.path()).isEmpty());
    EXPECT_TRUE(QDir(volume + "/info").isEmpty());

    ASSERT_TRUE(QFile::remove(volume + "/files"));
    EXPECT_EQ(run(FO_DELETE, {icon}, ToTrash), 0);
    EXPECT_EQ(readAll(volume + "/files/a.ico"), "a");
    EXPECT_TRUE(readAll(volume + "/info/a.ico.trashinfo").contains("\nPath=sub/a.ico\n"));
    EXPECT_FALSE(QFile::exists(trash)); // not the home one

    // Full, then read-only: the file stays where it was and no record is left.
    const QString other = make(disk.path() + "/b.ico", "b");
    disk.fill();
    EXPECT_NE(run(FO_DELETE, {other}, ToTrash), 0);
    EXPECT_EQ(readAll(other), "b");
    EXPECT_EQ(QDir(volume + "/info").entryList(QDir::Files), QStringList{"a.ico.trashinfo"});
    ASSERT_TRUE(QFile::remove(disk.path() + "/filler"));
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_NE(run(FO_DELETE, {other}, ToTrash), 0);
    EXPECT_EQ(readAll(other), "b");
}

TEST_F(FileOperation, NamesThatCannotBeCarriedFailAloneWholeFoldersKeepLinksAndOddNames)
{
    // "a\xff.ico" as the lists see it: the byte became U+FFFD, whose UTF-8 names another file.
    const QByteArray raw = QFile::encodeName(from.path()) + "/a\xff.ico";
    makeRaw(raw, "raw");
    make(src(QString::fromUtf8("a\xef\xbf\xbd.ico")), "other");
    make(src("b.ico"), "b");
    EXPECT_NE(run(FO_DELETE, {src(QString::fromUtf8("a\xef\xbf\xbd.ico")), src("b.ico")},
                  Quiet | FOF_NOCONFIRMATION),
              0);
    EXPECT_EQ(readAll(src(QString::fromUtf8("a\xef\xbf\xbd.ico"))), "other");
    EXPECT_EQ(::unlink(raw.constData()), 0); // QTemporaryDir cannot name it
    EXPECT_FALSE(QFile::exists(src("b.ico")));

    // Whole folders keep links as links and never enter themselves.
    make(src("icons/a.ico"), "a");
    make(src(QString::fromLatin1("icons/odd name.ico")), "odd");
    // A loop that following links would walk for ever.
    ASSERT_EQ(::symlink("..", QFile::encodeName(src("icons/up")).constData()), 0);
    ASSERT_EQ(::symlink("loop", QFile::encodeName(src("icons/loop")).constData()), 0);
    // A byte that is no UTF-8 inside a folder is carried as it is.
    makeRaw(QFile::encodeName(src("icons")) + "/x\xff.ico", "x");
    EXPECT_EQ(run(FO_COPY, {src("icons")}, Quiet), 0);
    EXPECT_EQ(readAll(dst("icons/odd name.ico")), "odd");
    EXPECT_EQ(QFile::symLinkTarget(dst("icons/up")), to.path());
    // Carried, and removed here: QTemporaryDir cannot name it.
    EXPECT_EQ(::unlink((QFile::encodeName(dst("icons")) + "/x\xff.ico").constData()), 0);
    EXPECT_EQ(::unlink((QFile::encodeName(src("icons")) + "/x\xff.ico").constData()), 0);
    EXPECT_NE(run(FO_COPY, {src("icons")}, Quiet | FOF_RENAMEONCOLLISION, src("icons")), 0);
    EXPECT_FALSE(QFile::exists(src("icons/icons")));

    // Moving a folder onto another file system, then deleting it for good, follows no link.
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    EXPECT_EQ(run(FO_MOVE, {dst("icons")}, Quiet, disk.path()), 0);
    EXPECT_FALSE(QFile::exists(dst("icons")));
    EXPECT_EQ(readAll(disk.path() + "/icons/a.ico"), "a");
    EXPECT_EQ(run(FO_DELETE, {disk.path() + "/icons"}, Quiet | FOF_NOCONFIRMATION), 0);
    EXPECT_FALSE(QFileInfo::exists(disk.path() + "/icons"));
}

TEST_F(FileOperation, AnIconLinkIsCarriedAsItsFileAndAPlantedFolderLinkIsRefused)
{
    make(src("a.ico"), "a");
    ASSERT_EQ(::chmod(QFile::encodeName(src("a.ico")).constData(), 0640), 0);
    ASSERT_EQ(::symlink("a.ico", QFile::encodeName(src("link.ico")).constData()), 0);
    EXPECT_EQ(run(FO_COPY, {src("a.ico"), src("link.ico")}, Quiet), 0);
    EXPECT_FALSE(QFileInfo(dst("link.ico")).isSymLink());
    EXPECT_EQ(readAll(dst("link.ico")), "a");
    EXPECT_EQ(QFileInfo(dst("a.ico")).permissions(), QFileInfo(src("a.ico")).permissions());
    // A move takes the link away and leaves the file it named.
    ASSERT_TRUE(QFile::remove(dst("link.ico")));
    EXPECT_EQ(run(FO_MOVE, {src("link.ico")}, Quiet), 0);
    EXPECT_EQ(readAll(dst("link.ico")), "a");
    EXPECT_FALSE(QFileInfo(src("link.ico")).isSymLink());
    EXPECT_EQ(readAll(src("a.ico")), "a");

    // A link where a folder's copy goes is never written through.
    QTemporaryDir elsewhere;
    make(src("icons/b.ico"), "b");
    ASSERT_TRUE(QFile::link(elsewhere.path(), dst("icons")));
    EXPECT_NE(run(FO_COPY, {src("icons")}, Quiet | FOF_NOCONFIRMATION), 0);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());

    // Across file systems: the folder's time and the file's are kept, a planted link refused.
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    ASSERT_TRUE(QFile::link(elsewhere.path(), disk.path() + "/icons"));
    EXPECT_NE(run(FO_MOVE, {src("icons")}, Quiet | FOF_NOCONFIRMATION, disk.path()), 0);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    EXPECT_EQ(readAll(src("icons/b.ico")), "b");
    ASSERT_TRUE(QFile::remove(disk.path() + "/icons"));
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    const timespec times[2] = {{old.toSecsSinceEpoch(), 0}, {old.toSecsSinceEpoch(), 0}};
    for (const QString &path : {src("icons/b.ico"), src("icons")})
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    EXPECT_EQ(run(FO_MOVE, {src("icons")}, Quiet, disk.path()), 0);
    EXPECT_EQ(QFileInfo(disk.path() + "/icons/b.ico").lastModified(), old);
    EXPECT_EQ(QFileInfo(disk.path() + "/icons").lastModified(), old);
}
