#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/mdlExecuta.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"

TEST(ShellOpen, StartsWithParameterZeroAndSaysEveryCodeUpTo32InAStopBoxTitledWithTheProgram)
{
    const QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tool"));
    ASSERT_TRUE(writeAll(program, {}) &&
                QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
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
        s.reset();
        s.startAnswers = {code};
        ShellOpen(program, QStringLiteral("open"));
        ASSERT_EQ(s.programs.size(), 1u);
        EXPECT_EQ(s.programs[0].program, program);
        EXPECT_EQ(s.programs[0].arguments, QStringList{QStringLiteral("0")});
        ASSERT_EQ(s.messages.size(), 1u) << code;
        EXPECT_EQ(s.messages[0].text, QString::fromLatin1(text)) << code;
        EXPECT_EQ(s.messages[0].style, vbCritical | vbOKOnly);
        EXPECT_EQ(s.messages[0].title, QStringLiteral("Pixmint"));
    }
    s.reset();
    s.startAnswers = {33};
    ShellOpen(program, QString());
    EXPECT_EQ(s.programs.size(), 1u);
    EXPECT_TRUE(s.messages.empty());
}
