#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/mdlExecuta.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"

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

TEST(ShellOpen, StartsAProgramWithParameterZeroAndTakesCodesUpTo32ForFailures)
{
    const QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tool"));
    ASSERT_TRUE(writeAll(program, {}) &&
                QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    ScriptedSeam &s = scripted();
    s.startAnswers = {ShellBadFormat, 32, 33};
    ShellOpen(program, QStringLiteral("open"));
    ShellOpen(program, QString());
    ShellOpen(program, QString());
    ASSERT_EQ(s.programs.size(), 3u);
    EXPECT_EQ(s.programs[2].program, program);
    EXPECT_EQ(s.programs[2].arguments, QStringList{QStringLiteral("0")});
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(s.messages[0].text, QStringLiteral("Bad Executeable Format"));
    EXPECT_EQ(s.messages[1].text, QStringLiteral("Unknown Error!, Please try again..."));
}
