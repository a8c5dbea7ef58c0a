#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/mdlExecuta.h"
#include "support/ScriptedSeam.h"

TEST(ShellOpen, EveryCodeIsSaidInAStopBoxTitledWithTheProgram)
{
    const std::pair<int32_t, const char *> table[] = {
        {0, "Memory Error"},
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access Denied"},
        {8, "Out of Memory"},
        {11, "Bad Executeable Format"},
        {26, "Sharing violation"},
        {27, "Association incomplete"},
        {28, "DEE time out"},
        {29, "DDE failed"},
        {30, "DDE Busy error"},
        {31, "No association for this file"},
        {32, "Unknown Error!, Please try again..."},
        {1, "Unknown Error!, Please try again..."},
        {-1, "Unknown Error!, Please try again..."},
    };
    ScriptedSeam &s = scripted();
    for (const auto &[code, text] : table) {
        ShellErrorMessage(code);
        ASSERT_FALSE(s.messages.empty());
        EXPECT_EQ(s.messages.back().text, QString::fromLatin1(text)) << code;
        EXPECT_EQ(s.messages.back().style, vbCritical | vbOKOnly);
        EXPECT_EQ(s.messages.back().title, QStringLiteral("Pixmint"));
    }
    EXPECT_EQ(s.messages.size(), std::size(table));
}

TEST(ShellOpen, StartsAProgramWithParameterZeroOrSaysWhyItCouldNot)
{
    const QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tool"));
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ScriptedSeam &s = scripted();

    ShellOpen(program, QString());
    ASSERT_EQ(s.programs.size(), 1u);
    EXPECT_EQ(s.programs[0].program, program);
    EXPECT_EQ(s.programs[0].arguments, QStringList{QStringLiteral("0")});
    EXPECT_TRUE(s.messages.empty());

    // Codes up to 32 are failures, above it success.
    s.startAnswers = {ShellBadFormat, 32, 33};
    ShellOpen(program, QStringLiteral("open"));
    ShellOpen(program, QString());
    ShellOpen(program, QString());
    ShellOpen(dir.filePath(QStringLiteral("missing")), QString());
    ShellOpen(dir.filePath(QStringLiteral("gone/tool")), QString());
    s.applicationAnswers = {QString(), QString()};
    ShellOpen(dir.path(), QString());
    QStringList said;
    for (const ScriptedSeam::Message &m : s.messages)
        said << m.text;
    EXPECT_EQ(said, (QStringList{QStringLiteral("Bad Executeable Format"),
                                 QStringLiteral("Unknown Error!, Please try again..."),
                                 QStringLiteral("File not found"), QStringLiteral("Path not found"),
                                 QStringLiteral("No association for this file")}));
}
