#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "formats/QtBridge.h"
#include "support/files.h"

using SafeWrite::replaceFile;
using SafeWrite::Step;

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class SafeWriteTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(replaceFile(old, QByteArray("old bytes"))); }

    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.ico"));
};

} // namespace

TEST_F(SafeWriteTest, ReplacesWholeKeepingPermissionsAndNothingElse)
{
    ASSERT_EQ(::chmod(QFile::encodeName(old).constData(), 0640), 0);
    std::vector<Step> steps;
    SafeWrite::setTestHook([&](Step step, const std::string &target) {
        EXPECT_EQ(target, QFile::encodeName(old).toStdString());
        steps.push_back(step);
        return 0;
    });
    FormatError error;
    EXPECT_TRUE(replaceFile(old, QByteArray(100000, 'n'), &error)) << error.message;
    EXPECT_EQ(steps, (std::vector<Step>{Step::Create, Step::Write, Step::Sync, Step::Rename}));
    steps.clear();
    EXPECT_TRUE(replaceFile(old, QByteArray("new"), nullptr, SafeWrite::Sync::Later));
    EXPECT_EQ(steps, (std::vector<Step>{Step::Create, Step::Write, Step::Rename}));
    SafeWrite::setTestHook({});
    EXPECT_EQ(readAll(old), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(old), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                           QFile::WriteUser | QFile::ReadGroup);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("old.ico")});
}

TEST_F(SafeWriteTest, AFailedStepLeavesTheOldFileAndSaysWhy)
{
    for (const auto &[step, errorCode] :
         {std::pair{Step::Create, EROFS}, std::pair{Step::Write, ENOSPC},
          std::pair{Step::Sync, EIO}, std::pair{Step::Rename, EXDEV}}) {
        SCOPED_TRACE(errorCode);
        FailingWrites failing(step, errorCode);
        FormatError error;
        EXPECT_FALSE(replaceFile(old, QByteArray("new bytes"), &error));
        EXPECT_EQ(error.message, systemError(errorCode));
        EXPECT_FALSE(replaceFile(dir.filePath(QStringLiteral("new.ico")), QByteArray("new")));
        EXPECT_EQ(readAll(old), QByteArray("old bytes"));
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("old.ico")});
    }
    FormatError error;
    EXPECT_FALSE(replaceFile(dir.filePath(QStringLiteral("no/such/folder.ico")), "x", &error));
    EXPECT_EQ(error.message, systemError(ENOENT));
}

TEST_F(SafeWriteTest, NeverWritesThroughAnotherUsersLinkNorIntoSpecialFiles)
{
    const QString target = dir.filePath(QStringLiteral("target"));
    ASSERT_TRUE(replaceFile(target, QByteArray("target")));
    // A link of the user's own, to a file of the user's own, is written through and stays.
    const QString own = dir.filePath(QStringLiteral("own.ico"));
    ASSERT_TRUE(QFile::link(target, own));
    EXPECT_TRUE(replaceFile(own, QByteArray("through")));
    EXPECT_EQ(QFileInfo(own).symLinkTarget(), target);
    EXPECT_EQ(readAll(target), QByteArray("through"));

    const QString dangling = dir.filePath(QStringLiteral("dangling.ico"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), dangling));
    FormatError error;
    EXPECT_FALSE(replaceFile(dangling, QByteArray("x"), &error));
    EXPECT_EQ(error.message, "It is a link to a file that does not exist.");
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("nowhere"))));

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ico")));
    const QString fifo = dir.filePath(QStringLiteral("fifo.ico"));
    ASSERT_TRUE(makeFifo(fifo));
    for (const QString &special : {dir.filePath(QStringLiteral("folder.ico")), fifo})
        EXPECT_FALSE(replaceFile(special, QByteArray("x"))) << special.toStdString();
    EXPECT_TRUE(QFileInfo::exists(fifo));
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    if (!giveToAnotherUser(own))
        GTEST_SKIP() << "links of another user need root: " << std::strerror(errno);
    EXPECT_FALSE(replaceFile(own, QByteArray("attack"), &error));
    EXPECT_EQ(error.message, "It is a link of another user.");
    const QString mine = dir.filePath(QStringLiteral("mine.ico"));
    ASSERT_TRUE(QFile::link(target, mine));
    ASSERT_TRUE(giveToAnotherUser(target));
    EXPECT_FALSE(replaceFile(mine, QByteArray("attack"), &error));
    EXPECT_EQ(error.message, "It is a link to a file of another user.");
    EXPECT_EQ(readAll(target), QByteArray("through"));
    EXPECT_TRUE(QFileInfo(own).isSymLink());
    EXPECT_TRUE(QFileInfo(mine).isSymLink());
}

TEST_F(SafeWriteTest, ANameQtCouldNotDecodeIsNotWrittenElsewhere)
{
    // "n\xff.ico" as Qt's file dialog hands it over.
    const QString undecoded = dir.filePath(QStringLiteral("n\uFFFD.ico"));
    FormatError error;
    EXPECT_FALSE(replaceFile(undecoded, QByteArray("x"), &error));
    EXPECT_EQ(error.message, "The name holds bytes that are not UTF-8 text, so it cannot be "
                             "written as it was chosen.");
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("old.ico")});
    // A name that really holds U+FFFD exists as spelled and is written.
    ASSERT_TRUE(replaceFile(QFile::encodeName(undecoded).toStdString(), "a"));
    EXPECT_TRUE(replaceFile(undecoded, QByteArray("b")));
    EXPECT_EQ(readAll(undecoded), QByteArray("b"));
}

TEST(SafeWriteDisk, FullAndReadOnlyFileSystemsKeepTheOldFile)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    const QString icon = disk.path() + QStringLiteral("/icon.ico");
    ASSERT_TRUE(replaceFile(icon, QByteArray(4286, 'o')));
    disk.fill();
    FormatError error;
    EXPECT_FALSE(replaceFile(icon, QByteArray(4286, 'n'), &error));
    EXPECT_EQ(error.message, systemError(ENOSPC));
    EXPECT_FALSE(replaceFile(disk.path() + QStringLiteral("/new.ico"), QByteArray(4286, 'n')));
    EXPECT_EQ(readAll(icon), QByteArray(4286, 'o'));
    EXPECT_EQ(entries(disk.path()),
              (QStringList{QStringLiteral("filler"), QStringLiteral("icon.ico")}));

    ASSERT_TRUE(QFile::remove(disk.path() + QStringLiteral("/filler")));
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_FALSE(replaceFile(icon, QByteArray("n"), &error));
    EXPECT_EQ(error.message, systemError(EROFS));
    EXPECT_EQ(readAll(icon), QByteArray(4286, 'o'));
}
