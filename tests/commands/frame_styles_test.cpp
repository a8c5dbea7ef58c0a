#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cerrno>

#include "app/frmGeral.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"

namespace {

class Look : public ::testing::Test
{
protected:
    void SetUp() override { QFile::remove(file); }
    void TearDown() override
    {
        QFile::remove(file);
        QFile::remove(QFileInfo(file).path()); // a blocking plain file, if any
    }

    const QString file = settingsFilePath();
};

} // namespace

TEST_F(Look, FrameStyleIsWrittenByteForByteAndSurvivesARestart)
{
    frmGeral &f = Forms::get<frmGeral>();
    EXPECT_EQ(f.txtFormat->text(), QStringLiteral("3")); // no file at start: "3" written
    EXPECT_EQ(readAll(file), settingsFileContent("3"));
    Forms::unloadAll();
    frmGeral &second = Forms::get<frmGeral>(); // "3" read back keeps the design's bevel
    EXPECT_EQ(second.txtFormat->text(), QStringLiteral("3"));
    for (SSPanel *p : second.panels())
        EXPECT_EQ(p->BevelOuter(), SSPanel::BevelRaised);

    second.mnuSunken_Click();
    const QByteArray bytes = readAll(file);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 25); // 24 lines, each ending in CRLF
    EXPECT_EQ(lines[5], QByteArray("\"1\"\r"));
    EXPECT_EQ(lines[3], QByteArray("\"    D o n ' t   A l t e r   T h i s   F i l e     \"\r"));
    EXPECT_EQ(lines[19], QByteArray("\"\"\r"));
    EXPECT_EQ(lines[20], "\"" + QByteArray(50, ' ') + "\"\r");
    EXPECT_EQ(lines[21], lines[0]);
    EXPECT_EQ(lines[23], lines[2]);
    for (int i : {0, 1, 2, 4, 6, 7, 18})
        EXPECT_EQ(lines[i].size(), 53) << "line " << i + 1;
    for (SSPanel *p : second.panels()) {
        EXPECT_EQ(p->BevelOuter(), SSPanel::BevelInset);
        EXPECT_EQ(p->BevelWidth(), 4);
    }

    Forms::unloadAll();
    frmGeral &again = Forms::get<frmGeral>();
    EXPECT_EQ(again.txtFormat->text(), QStringLiteral("1"));
    EXPECT_EQ(again.pnlMaster->BevelOuter(), SSPanel::BevelInset);
    EXPECT_EQ(again.pnlMaster->BevelWidth(), 1); // the width is not kept

    again.mnuEtched_Click();
    EXPECT_EQ(again.pic3DColor->BevelOuter(), SSPanel::BevelRaised);
    EXPECT_EQ(again.pic3DColor->BevelWidth(), 1);
    again.mnuSoftRaised_Click();
    EXPECT_EQ(again.fraTexto->BevelWidth(), 2);
}

TEST_F(Look, HandEditedOrDamagedFilesFallBackToStyleThree)
{
    // Unquoted lines with commas shift the fields: the sixth is no style number; a style that
    // cannot be read is written anew.
    const std::pair<QByteArray, QString> files[] = {
        {"Orvel, 1998\r\nmail\r\n---\r\nDon't alter\r\n---\r\n\"1\"\r\n", "3"},
        {"a,b,c,d,e,\"2\",g\r\n", "2"},
        {"\"only\"\r\n\"two\"", "3"}};
    for (const auto &[bytes, style] : files) {
        ASSERT_TRUE(writeAll(file, bytes));
        EXPECT_EQ(Forms::get<frmGeral>().txtFormat->text(), style) << bytes.toStdString();
        EXPECT_EQ(readAll(file) == settingsFileContent("3"), style == "3");
        Forms::unloadAll();
    }

    // The user's link to a file of notes: the link moves aside, the notes stay as they were.
    QTemporaryDir elsewhere;
    const QString notes = elsewhere.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(writeAll(notes, "shopping\n"));
    QFile::remove(file);
    ASSERT_TRUE(QFile::link(notes, file));
    EXPECT_EQ(Forms::get<frmGeral>().txtFormat->text(), QStringLiteral("3"));
    EXPECT_EQ(readAll(notes), "shopping\n");
    EXPECT_FALSE(QFileInfo(file).isSymLink());
    EXPECT_EQ(readAll(file), settingsFileContent("3"));
    EXPECT_EQ(QFileInfo(file + ".damaged").symLinkTarget(), notes);
    QFile::remove(file + ".damaged");
}

TEST_F(Look, AnUnwritableFileGivesStyleTwoAndKeepsWhatItHeld)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.mnuSunken_Click();
    const QByteArray before = readAll(file);
    for (const auto &[step, error] :
         {std::pair{SafeWrite::Step::Write, ENOSPC}, std::pair{SafeWrite::Step::Create, EROFS}}) {
        FailingWrites failing(step, error);
        f.mnuSoftSunken_Click();
        EXPECT_EQ(f.txtFormat->text(), QStringLiteral("2"));
        EXPECT_EQ(f.pnlMaster->BevelOuter(), SSPanel::BevelRaised);
        EXPECT_EQ(f.pnlMaster->BevelWidth(), 2);
        EXPECT_EQ(readAll(file), before);
    }
    // A plain file where the settings folder should be: nothing can be written below it.
    QDir(QFileInfo(file).path()).removeRecursively();
    ASSERT_TRUE(writeAll(QFileInfo(file).path(), {}));
    f.mnuSunken_Click();
    EXPECT_EQ(f.txtFormat->text(), QStringLiteral("2"));
    EXPECT_EQ(f.pnlMaster->BevelWidth(), 4);
    EXPECT_TRUE(scripted().messages.empty());
}

TEST_F(Look, AFileThatIsAnotherUsersLinkOrAPipeIsLeftAlone)
{
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("style.orv"));
    ASSERT_TRUE(writeAll(file, settingsFileContent("1")));
    ASSERT_TRUE(QFile::rename(file, target));
    ASSERT_TRUE(QFile::link(target, file));
    frmGeral &f = Forms::get<frmGeral>();
    EXPECT_EQ(f.txtFormat->text(), QStringLiteral("1")); // the user's own link is read
    f.mnuRaised_Click();
    EXPECT_TRUE(QFileInfo(file).isSymLink());
    EXPECT_EQ(readAll(target), settingsFileContent("2"));
    Forms::unloadAll();

    if (giveToAnotherUser(file)) {
        EXPECT_EQ(Forms::get<frmGeral>().txtFormat->text(), QStringLiteral("2"));
        EXPECT_EQ(readAll(target), settingsFileContent("2"));
        EXPECT_TRUE(QFileInfo(file).isSymLink());
        Forms::unloadAll();
    }
    // Nothing waits for a writer to a pipe.
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(makeFifo(file));
    EXPECT_EQ(Forms::get<frmGeral>().txtFormat->text(), QStringLiteral("2"));
    EXPECT_FALSE(QFileInfo(file).isFile());
}

TEST_F(Look, DragTogglesWithAMessageOnlyWhenSwitchedOnAndTheTextPanelWithItsEntry)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.mnuDrag_Click();
    for (SSPanel *p : f.panels())
        EXPECT_EQ(p->DragMode(), SSPanel::vbAutomatic);
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].title, QStringLiteral("Drag, Activated!"));
    EXPECT_EQ(scripted().messages[0].text,
              QStringLiteral("Drag Objects!\nThe cursor moves and position the objects!\n"));
    f.mnuDrag_Click();
    EXPECT_EQ(f.pnlMaster->DragMode(), SSPanel::vbManual);
    EXPECT_EQ(scripted().messages.size(), 1u);

    // The text panel opens and closes from its menu entry.
    EXPECT_FALSE(f.fraTexto->isVisibleTo(&f));
    f.mnuOpTxt_Click();
    EXPECT_TRUE(f.fraTexto->isVisibleTo(&f));
    f.mnuOpTxt_Click();
    EXPECT_FALSE(f.fraTexto->isVisibleTo(&f));
}
