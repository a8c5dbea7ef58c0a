// The real pixmint-icons program, run as a user would.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/helpers.h"
#include "toolwindow/IconResources.h"

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

Outcome run(const QString &program, const QStringList &arguments,
            const QString &standardOutput = QString())
{
    QProcess p;
    if (!standardOutput.isEmpty())
        p.setStandardOutputFile(standardOutput);
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

Outcome icons(const QStringList &arguments, const QString &standardOutput = QString())
{
    return run(QStringLiteral(PIXMINT_ICONS), arguments, standardOutput);
}

QString data(const char *name)
{
    return QStringLiteral(PIXMINT_TEST_DATA "/resources/") + QString::fromLatin1(name);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The group names of `list` output, in order.
QStringList listedNames(const QString &out)
{
    QStringList names;
    for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts))
        names << line.section(u'\t', 1, 1);
    return names;
}

} // namespace

TEST(PixmintIcons, ListShowsEachImagesOwnSizeAndDepth)
{
    const Outcome pe = icons({QStringLiteral("list"), data("groups64.dll")});
    EXPECT_EQ(pe.status, 0);
    EXPECT_EQ(pe.out, QStringLiteral("0\tALPHA\t256x256x32 32x32x32\n"
                                     "1\tBETA\t32x32x4 32x32x32 16x16x32 32x32x8\n"
                                     "2\tZETA\t16x16x4 32x32x4\n"
                                     "3\t3\t48x48x8\n"
                                     "4\t7\t16x16x8 32x32x8 32x32x32\n"));
    EXPECT_TRUE(pe.err.isEmpty());
    const Outcome ne = icons({QStringLiteral("list"), data("library.icl")});
    EXPECT_EQ(ne.status, 0);
    EXPECT_EQ(ne.out, QStringLiteral("0\t20\t32x32x4 16x16x4\n"
                                     "1\tSMILE\t32x32x8\n"
                                     "2\t10\t32x32x1 32x32x32\n"));
}

TEST(PixmintIcons, ListOrderMatchesWrestool)
{
    const QString wrestool = QStandardPaths::findExecutable(QStringLiteral("wrestool"));
    if (wrestool.isEmpty())
        GTEST_SKIP() << "wrestool is not installed";
    for (const char *name : {"groups32.dll", "groups64.dll", "library.icl"}) {
        SCOPED_TRACE(name);
        const Outcome theirs =
            run(wrestool, {QStringLiteral("-l"), QStringLiteral("--type=14"), data(name)});
        QStringList names;
        static const QRegularExpression nameField(QStringLiteral("--name='?([^' ]*)'?"));
        for (const QString &line : theirs.out.split(u'\n', Qt::SkipEmptyParts))
            names << nameField.match(line).captured(1);
        ASSERT_FALSE(names.isEmpty());
        EXPECT_EQ(listedNames(icons({QStringLiteral("list"), data(name)}).out), names);
    }
}

TEST(PixmintIcons, ExtractWritesEveryGroupAsACompleteIco)
{
    const QString icotool = QStandardPaths::findExecutable(QStringLiteral("icotool"));
    for (const char *name : {"groups64.dll", "library.icl"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("icons"));
        const Outcome extracted = icons({QStringLiteral("extract"), data(name), out});
        EXPECT_EQ(extracted.status, 0) << extracted.err.toStdString();
        const auto groups = readIconGroups(contents(data(name)));
        ASSERT_TRUE(groups);
        EXPECT_EQ(extracted.out, QString::number(groups->size()) + u'\n');
        EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), qsizetype(groups->size()));
        const QString base = QString::fromLatin1(name).section(u'.', 0, 0);
        for (size_t i = 0; i < groups->size(); ++i) {
            const QString path = QStringLiteral("%1/%2_%3.ico").arg(out, base).arg(i);
            EXPECT_EQ(contents(path), groupToIco((*groups)[i])) << i;
            // Another reader agrees on the number of images.
            if (!icotool.isEmpty()) {
                const Outcome listed = run(icotool, {QStringLiteral("-l"), path});
                EXPECT_EQ(listed.out.count(u'\n'), qsizetype((*groups)[i].images.size()));
            }
        }
    }
}

TEST(PixmintIcons, ExitStatusTellsWhatWentWrong)
{
    const Outcome none = icons({QStringLiteral("list"), data("noicons.dll")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(none.err.count(u'\n'), 1);
    EXPECT_EQ(icons({QStringLiteral("extract"), data("noicons.dll"), QDir::tempPath()}).status, 1);

    for (const QString &bad : {data("missing.dll"), data("make-fixtures.sh")}) {
        const Outcome r = icons({QStringLiteral("list"), bad});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
    }
    // A folder that cannot be made: its parent is a file.
    const Outcome unwritable =
        icons({QStringLiteral("extract"), data("beta.ico"), data("beta.ico") + "/out"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.err.count(u'\n'), 1);

    // An icon whose name is taken by a folder.
    QTemporaryDir out;
    ASSERT_TRUE(QDir(out.path()).mkdir(QStringLiteral("groups64_2.ico")));
    const Outcome blocked = icons({QStringLiteral("extract"), data("groups64.dll"), out.path()});
    EXPECT_EQ(blocked.status, 2);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("groups64_2.ico")));

    const Outcome help = icons({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("pixmint-icons extract FILE DIR")));
    for (const QStringList &wrong :
         {QStringList(), QStringList{QStringLiteral("show"), data("beta.ico")}}) {
        const Outcome r = icons(wrong);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage:")));
    }
}

TEST(PixmintIcons, ExtractNeverWritesThroughPlantedLinks)
{
    QTemporaryDir out, elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly) && v.write("victim") == 6);
    v.close();
    // Where the temporary file went once, and the name of an icon, in a shared folder.
    const QString part = out.filePath(QStringLiteral("groups64_0.ico.part"));
    const QString icon = out.filePath(QStringLiteral("groups64_1.ico"));
    ASSERT_TRUE(QFile::link(victim, part) && QFile::link(victim, icon));
    // The user's own link would be followed: only another user's stays planted.
    const bool foreign = giveToAnotherUser(icon) || !QFile::remove(icon);
    const Outcome r = icons({QStringLiteral("extract"), data("groups64.dll"), out.path()});
    EXPECT_EQ(contents(victim), QByteArray("victim"));
    EXPECT_TRUE(QFileInfo(part).isSymLink());
    const QString first = out.filePath(QStringLiteral("groups64_0.ico"));
    EXPECT_FALSE(QFileInfo(first).isSymLink());
    EXPECT_EQ(contents(first).left(4), QByteArray("\0\0\1\0", 4));
    if (!foreign)
        GTEST_SKIP() << "links of another user need root";
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("groups64_1.ico: It is a link of another user.")))
        << r.err.toStdString();
}

TEST(PixmintIcons, AFullDiskOrOutputGivesStatusTwoAndTheCause)
{
    const Outcome listed = icons({QStringLiteral("list"), data("groups64.dll")}, "/dev/full");
    EXPECT_EQ(listed.status, 2);
    EXPECT_EQ(listed.err,
              QStringLiteral("pixmint-icons: cannot write the output: No space left on device\n"));
    EXPECT_EQ(icons({QStringLiteral("--help")}, "/dev/full").status, 2);

    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    disk.fill();
    const Outcome extracted = icons({QStringLiteral("extract"), data("groups64.dll"), disk.path()});
    EXPECT_EQ(extracted.status, 2);
    EXPECT_TRUE(extracted.err.endsWith(QStringLiteral(": No space left on device\n")))
        << extracted.err.toStdString();
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("filler")});
}
