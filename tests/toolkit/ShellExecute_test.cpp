#include <gtest/gtest.h>

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "support/ScriptedSeam.h"
#include "support/files.h"
#include "toolkit/ShellExecute.h"

namespace {

const QFile::Permissions ReadWrite = QFile::ReadOwner | QFile::WriteOwner;
const QFile::Permissions Runnable = ReadWrite | QFile::ExeOwner;

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &text,
              QFile::Permissions permissions)
{
    QString path = dir.filePath(name);
    EXPECT_TRUE(writeAll(path, text) && QFile::setPermissions(path, permissions));
    return path;
}

// A started program writes its arguments into `ran` beside itself.
const QByteArray Recorder = "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/ran\"\n";

QByteArray waitForRun(const QTemporaryDir &dir)
{
    QByteArray text;
    const auto ran = [&] {
        text = readAll(dir.filePath(QStringLiteral("ran")));
        return text.endsWith('\n');
    };
    return QTest::qWaitFor(ran, 10000) ? text : QByteArray();
}

} // namespace

TEST(ShellExecute, WhatIsNotThereIsReportedBeforeAnythingStartsAndTheRestGoesToTheOpener)
{
    const QTemporaryDir dir;
    const QString doc = write(dir, QStringLiteral("doc.txt"), "text", ReadWrite);
    QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(QStringLiteral("dangling")));

    // The last two, a file where a folder should be and a folder given that is not there.
    const std::vector<std::tuple<QString, QString, int>> missing = {
        {dir.filePath(QStringLiteral("missing")), {}, ShellFileNotFound},
        {dir.filePath(QStringLiteral("dangling")), {}, ShellFileNotFound},
        {QString(), {}, ShellFileNotFound},
        {dir.filePath(QStringLiteral("gone/file")), {}, ShellPathNotFound},
        {doc + QStringLiteral("/inside"), {}, ShellPathNotFound},
        {QStringLiteral("doc.txt"), dir.filePath(QStringLiteral("gone")), ShellPathNotFound}};
    for (const auto &[file, folder, error] : missing)
        EXPECT_EQ(ShellExecute({}, file, {}, folder), error) << file.toStdString();
    // The shell knows one operation.
    EXPECT_EQ(ShellExecute(QStringLiteral("print"), doc, {}, {}), ShellNoAssociation);
    ScriptedSeam &s = scripted();
    EXPECT_TRUE(s.programs.empty() && s.mimeTypes.empty());

    // Documents, folders and addresses go to the desktop's opener.
    const QString quoted = write(dir, QStringLiteral("a doc; 'quoted'.txt"), "text", ReadWrite);

    // Relative to the folder given, as one argument.
    EXPECT_GT(
        ShellExecute(QStringLiteral("Open"), QStringLiteral("a doc; 'quoted'.txt"), {}, dir.path()),
        32);
    ASSERT_EQ(s.programs.size(), 1u);
    EXPECT_EQ(s.programs[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(s.programs[0].arguments, QStringList{quoted});
    EXPECT_EQ(s.programs[0].workingDir, dir.path());
    EXPECT_EQ(s.mimeTypes, QStringList{QStringLiteral("text/plain")});

    // No program for the type nor for what it is a kind of: nothing is opened.
    s.reset();
    s.applicationAnswers = {QString(), QString(), QString(), QString()};
    EXPECT_EQ(ShellExecute({}, QUrl::fromLocalFile(quoted).toString(), {}, {}), ShellNoAssociation);
    EXPECT_EQ(s.mimeTypes, (QStringList{QStringLiteral("text/plain"),
                                        QStringLiteral("application/octet-stream")}));
    EXPECT_TRUE(s.programs.empty());

    // A plain file is a document even with parameters; a failing opener is no missing file.
    s.reset();
    s.startAnswers = {ShellFileNotFound};
    EXPECT_EQ(ShellExecute({}, dir.path(), QStringLiteral("0"), {}), ShellOtherError);
    EXPECT_EQ(s.mimeTypes.value(0), QStringLiteral("inode/directory"));
    EXPECT_EQ(s.programs.at(0).arguments, QStringList{dir.path()});

    // Addresses as they are, with no type asked for.
    s.reset();
    for (const QString &address : {QStringLiteral("https://example.org/a b?q=1;x"),
                                   QStringLiteral("mailto:someone@example.org")}) {
        EXPECT_GT(ShellExecute(QStringLiteral("Open"), address, {}, {}), 32);
        EXPECT_EQ(s.programs.back().arguments, QStringList{address});
    }
    EXPECT_TRUE(s.mimeTypes.empty());
}

TEST(ShellExecute, ProgramsStartWithTheirParametersAndNeverThroughAShell)
{
    const QTemporaryDir dir;
    const QString program = write(dir, QStringLiteral("a;touch x"), Recorder, Runnable);
    ScriptedSeam &s = scripted();
    EXPECT_EQ(ShellExecute({}, program, QStringLiteral("0 \"two words\""), dir.path()),
              ShellStarted);
    ASSERT_EQ(s.programs.size(), 1u);
    EXPECT_EQ(s.programs[0].program, program);
    EXPECT_EQ(s.programs[0].arguments,
              (QStringList{QStringLiteral("0"), QStringLiteral("two words")}));
    EXPECT_TRUE(s.mimeTypes.empty());
    s.startAnswers = {ShellBadFormat};
    EXPECT_EQ(ShellExecute({}, program, {}, {}), ShellBadFormat);

    // The real desktop from here on, then the scripted seam again.
    std::unique_ptr<Seam> scriptedSeam = installSeam(makeDesktopSeam());
    const auto restore = qScopeGuard([&] { installSeam(std::move(scriptedSeam)); });
    EXPECT_EQ(ShellExecute({}, program, QStringLiteral("0"), dir.path()), ShellStarted);
    EXPECT_EQ(waitForRun(dir), QByteArray("0\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x"))));
    // Runnable by its bits, but no program the system can run.
    const QString text = write(dir, QStringLiteral("notes"), "just words\n", Runnable);
    EXPECT_EQ(ShellExecute({}, text, {}, {}), ShellBadFormat);
    const QString noInterpreter =
        write(dir, QStringLiteral("orphan"), "#!/nonexistent/sh\n", Runnable);
    EXPECT_EQ(ShellExecute({}, noInterpreter, {}, {}), ShellOtherError);
}
