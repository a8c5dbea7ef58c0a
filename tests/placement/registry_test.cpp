#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <QTemporaryDir>
#include <cerrno>
#include <functional>

#include "placement/registry.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"

namespace {

const QString Key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Window Position");
const QString Error = QStringLiteral("Error");

class Registry : public ::testing::Test
{
protected:
    void SetUp() override { path = clearSettingsStore(); }

    QString path;
};

} // namespace

TEST(RegistryPaths, RootNamesAreExactSplitLeavesTheSubkeyAndMalformedPathsAreShown)
{
    // Well formed: the root and what follows it; a root not spelt exactly is none, not shown.
    const std::tuple<QString, int32_t, QString> good[] = {
        {Key, HKEY_CURRENT_USER, "Software\\Window Position"},
        {"HKEY_CLASSES_ROOT\\x", int32_t(0x80000000), "x"},
        {"HKEY_DYN_DATA", int32_t(0x80000006), ""},
        {"HKEY_Current_User\\x", 0, "x"},
        {"HKEY_CURRENT_USER \\x", 0, "x"},
        {"HKEY_NOWHERE\\Software", 0, "Software"}};
    QString path;
    int32_t root = 0;
    for (const auto &[whole, wantRoot, subkey] : good) {
        path = whole;
        SplitKeyPath(path, root);
        EXPECT_EQ(std::pair(root, path), std::pair(wantRoot, subkey));
    }
    EXPECT_TRUE(scripted().messages.empty());

    // Malformed paths are shown and give no root.
    for (const QString &bad : {QStringLiteral("hkey_current_user\\Software"),
                               QStringLiteral("HKEY_CURRENT_USER\\Software\\"),
                               QStringLiteral("Software\\HKEY_CURRENT_USER"), QString()}) {
        path = bad;
        root = 1;
        SplitKeyPath(path, root);
        EXPECT_EQ(root, 0);
        ASSERT_FALSE(scripted().messages.empty());
        EXPECT_EQ(scripted().messages.back().text, "Incorrect Format:\n\n" + bad);
        EXPECT_EQ(scripted().messages.back().style, 0);
    }
}

TEST_F(Registry, ValuesNeedAKeyAWellFormedPathAndNoMoreThanTheBufferHoldsAndKeepTheirNamesApart)
{
    WriteRegValue(Key, "Left", "10");
    CreateRegKey("HKEY_CURRENT_USER\\Software"); // the parent alone is not the key
    WriteRegValue(Key, "Left", "10");
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);

    CreateRegKey("hkey_current_user\\Software\\Window Position");
    WriteRegValue("hkey_current_user\\Software\\Window Position", "Left", "10");
    EXPECT_EQ(scripted().messages.size(), 2u);
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);

    CreateRegKey(Key);
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error); // key without values
    EXPECT_EQ(RegStatus, ERROR_FILE_NOT_FOUND);
    WriteRegValue(Key, "Left", " \t12\n34\r\n ");
    EXPECT_EQ(ReadRegValue(Key, "Left"), QStringLiteral("\t12\n34\r\n")); // only blanks go
    EXPECT_EQ(RegStatus, ERROR_SUCCESS);
    WriteRegValue(Key, "Top", "");
    EXPECT_EQ(ReadRegValue(Key, "Top"), QString());
    EXPECT_FALSE(ReadRegValue(Key, "Top").isNull());
    EXPECT_TRUE(ReadRegValue("HKEY_NOWHERE\\Software\\Window Position", "Left").isNull());
    EXPECT_EQ(ReadRegValue("HKEY_CURRENT_USER\\Software\\\\Window Position", "Left"), Error);
    WriteRegValue(Key, "Left", "10");
    CreateRegKey(Key); // an existing key is opened, not emptied
    EXPECT_EQ(ReadRegValue(Key, "Left"), QStringLiteral("10"));
    EXPECT_EQ(ReadRegValue("HKEY_CURRENT_USER\\Software", "Left"), Error);

    // Values longer than the buffer cannot be read.
    WriteRegValue(Key, "Left", QString(254, 'x'));
    EXPECT_EQ(ReadRegValue(Key, "Left"), QString(254, 'x'));
    WriteRegValue(Key, "Left", QString(255, 'x'));
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);
    EXPECT_EQ(RegErrorText(RegStatus),
              QStringLiteral("There is more data than the buffer has been allocated to hold."));
    EXPECT_EQ(RegErrorText(42), QStringLiteral("Undefined Error Code:  42"));

    // Names with separators stay apart.
    CreateRegKey(Key + "\\a/b");
    const std::pair<QString, QString> values[] = {
        {"a/b", "slash"}, {"a%2Fb", "percent"}, {"a\\b", "backslash"}, {"", "default"}};
    for (const auto &[name, value] : values)
        WriteRegValue(Key, name, value);
    WriteRegValue(Key + "\\a/b", "Left", "inner");
    for (const auto &[name, value] : values)
        EXPECT_EQ(ReadRegValue(Key, name), value);
    EXPECT_EQ(ReadRegValue(Key + "\\a/b", "Left"), QStringLiteral("inner"));
    EXPECT_EQ(ReadRegValue(Key + "\\a", "Left"), Error);
}

TEST_F(Registry, TwoStoresWritingTheSameFileMerge)
{
    // Another copy of the program, or an older one, writes the same file through QSettings.
    const QString tricky = QString::fromUtf8("a,b;c=d\"e\\f\tg\x01"
                                             "1h \xc3\xa9 \xe2\x82\xac\xf0\x9f\x98\x80 @x ");
    QSettings other(QSettings::IniFormat, QSettings::UserScope, "Pixmint", "registry");
    other.setValue("keys/80000001/Other", true);
    other.setValue("values/80000001/Other/Theirs", tricky);
    other.setValue("values/80000001/Other/At", "@at");
    CreateRegKey(Key);
    WriteRegValue(Key, "Left", "3000");
    WriteRegValue(Key, "Mine", tricky);
    WriteRegValue(Key, "At", "@x)");
    other.sync();
    EXPECT_EQ(other.status(), QSettings::NoError);
    EXPECT_EQ(ReadRegValue(Key, "Left"), QStringLiteral("3000"));
    EXPECT_EQ(ReadRegValue("HKEY_CURRENT_USER\\Other", "Theirs"), tricky.chopped(1));
    EXPECT_EQ(ReadRegValue("HKEY_CURRENT_USER\\Other", "At"), QStringLiteral("@at"));
    QSettings fresh(QSettings::IniFormat, QSettings::UserScope, "Pixmint", "registry");
    EXPECT_TRUE(fresh.value("keys/80000001/Other").toBool());
    EXPECT_EQ(fresh.value("values/80000001/Software/Window Position/Mine").toString(), tricky);
    EXPECT_EQ(fresh.value("values/80000001/Software/Window Position/At").toString(), "@x)");
}

TEST_F(Registry, ALockThatIsNoSmallFileIsReplacedAtOnceAndAStoreThatIsNoFileIsLeftAlone)
{
    const QString lock = path + ".lock";
    QDir().mkpath(QFileInfo(path).path());
    CreateRegKey(Key);
    const std::pair<const char *, std::function<bool()>> plants[] = {
        {"link", [&] { return QFile::link(QStringLiteral("/dev/zero"), lock); }},
        {"big", [&] { return writeAll(lock, {}) && QFile::resize(lock, qint64(300) << 20); }},
        {"folder", [&] { return QDir().mkdir(lock); }},
        {"fifo", [&] { return makeFifo(lock); }}};
    int n = 0;
    for (const auto &[what, plant] : plants) {
        ASSERT_TRUE(plant()) << what;
        QElapsedTimer clock;
        clock.start();
        WriteRegValue(Key, "Left", QString::number(++n));
        EXPECT_EQ(RegStatus, ERROR_SUCCESS) << what;
        EXPECT_LT(clock.elapsed(), 1000) << what;
        EXPECT_EQ(ReadRegValue(Key, "Left"), QString::number(n)) << what;
        EXPECT_FALSE(QFileInfo(lock).isSymLink() || QFileInfo(lock).isDir()) << what;
    }

    // A store that is no file is out of reach, and not waited on.
    QFile::remove(path);
    ASSERT_TRUE(makeFifo(path));
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);
    CreateRegKey(Key);
    EXPECT_NE(RegStatus, ERROR_SUCCESS);
    WriteRegValue(Key, "Left", "10");
    EXPECT_NE(RegStatus, ERROR_SUCCESS);
    EXPECT_FALSE(QFileInfo(path).isFile()); // left as it was
    QFile::remove(path);
}

TEST_F(Registry, ADamagedStoreIsKeptAsideAndAFreshOneStarted)
{
    const QByteArray damaged =
        QByteArray("\x01\x02garbage line without equals\n[keys\n=\n[keys]\n"
                   "80000001\\Software\\Window%2520Position=true\n"
                   "[values]\n80000001\\Software\\Window%2520Position\\Top=1, 2\n"
                   "80000001\\Software\\Window%2520Position\\Left=") +
        QByteArray(10000, '7') + "\n\xff\xfe[[[\n";
    ASSERT_TRUE(writeAll(path, damaged) && writeAll(path + ".damaged", "older"));
    EXPECT_EQ(ReadRegValues(Key, {"Left", "Top"}), QStringList(2, Error));
    EXPECT_EQ(RegErrorText(RegStatus), QStringLiteral("The Registry Database is corrupt!"));
    WriteRegValue(Key, "Left", "1"); // no such key in a fresh store: nothing to write
    EXPECT_EQ(readAll(path), damaged);

    CreateRegKeyWithValues(Key, {{"Left", "5"}});
    EXPECT_EQ(readAll(path + ".damaged"), damaged);
    EXPECT_EQ(ReadRegValues(Key, {"Left", "Top"}), (QStringList{"5", "Error"}));
    EXPECT_EQ(RegStatus, ERROR_FILE_NOT_FOUND);

    // A store too large to be one is damaged too, and costs one write to replace.
    const QByteArray large = readAll(path) + ';' + QByteArray(1 << 20, 'x') + '\n';
    ASSERT_TRUE(writeAll(path, large));
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);
    EXPECT_EQ(RegStatus, ERROR_BADDB);
    FailingWrites counted;
    CreateRegKeyWithValues(Key, {{"Left", "6"}});
    EXPECT_EQ(counted.reached, 1);
    EXPECT_EQ(readAll(path + ".damaged"), large);
    EXPECT_EQ(ReadRegValue(Key, "Left"), QStringLiteral("6"));
    EXPECT_TRUE(scripted().messages.empty());
}

TEST_F(Registry, AFailedWriteKeepsTheStoreWhole)
{
    CreateRegKeyWithValues(Key, {{"Left", "1"}, {"Top", "2"}});
    CreateRegKey("HKEY_CURRENT_USER\\Other");
    const QByteArray before = readAll(path);
    for (const auto &[step, error] :
         {std::pair{SafeWrite::Step::Write, ENOSPC}, std::pair{SafeWrite::Step::Create, EROFS},
          std::pair{SafeWrite::Step::Rename, EXDEV}}) {
        FailingWrites failing(step, error);
        CreateRegKeyWithValues(Key, {{"Left", "9"}, {"Top", "9"}});
        EXPECT_EQ(RegStatus, ERROR_CANTWRITE);
        WriteRegValue(Key, "Top", "8");
    }
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(QFileInfo(path).path())
                  .entryList({"registry.ini*", ".pixmint-*"}, QDir::Files | QDir::Hidden),
              QStringList{"registry.ini"});
    EXPECT_TRUE(scripted().messages.empty());
}

TEST_F(Registry, AStoreLinkIsFollowedOnlyWithinTheUser)
{
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("store.ini");
    CreateRegKeyWithValues(Key, {{"Left", "1"}});
    ASSERT_TRUE(QFile::rename(path, target));
    ASSERT_TRUE(QFile::link(target, path));
    EXPECT_EQ(ReadRegValue(Key, "Left"), QStringLiteral("1"));
    WriteRegValue(Key, "Left", "2");
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(readAll(target).contains("Left=2"));

    const QString missing = elsewhere.filePath("missing.ini");
    ASSERT_TRUE(QFile::remove(path) && QFile::link(missing, path));
    CreateRegKeyWithValues(Key, {{"Left", "3"}});
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);
    EXPECT_FALSE(QFile::exists(missing));

    ASSERT_TRUE(QFile::remove(path) && QFile::link(target, path));
    if (!giveToAnotherUser(path))
        GTEST_SKIP() << "links of another user need root";
    const QByteArray before = readAll(target);
    EXPECT_EQ(ReadRegValue(Key, "Left"), Error);
    CreateRegKeyWithValues(Key, {{"Left", "4"}});
    EXPECT_EQ(readAll(target), before);
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_FALSE(QFile::exists(path + ".damaged"));
    EXPECT_TRUE(scripted().messages.empty());
}
