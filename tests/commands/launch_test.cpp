#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/frmGeral.h"
#include "face/project.h"
#include "shell/frmAbout.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"
#include "toolkit/twips.h"

namespace {

// The program runs from a folder of the test's own.
class Launch : public ::testing::Test
{
protected:
    void SetUp() override { App::setPath(folder.path()); }
    void TearDown() override { App::setPath(QString()); }

    QTemporaryDir folder;
    frmGeral &f = Forms::get<frmGeral>();
};

} // namespace

TEST_F(Launch, BrushkitStartsFromBesideTheProgramTheWebEntriesOpenPagesAndVersionTheAboutBox)
{
    ScriptedSeam &s = scripted();
    f.mnuBrushkit->trigger();
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0].text, QStringLiteral("File not found"));
    EXPECT_TRUE(s.programs.empty());

    const QString brushkit = folder.filePath(QStringLiteral("brushkit"));
    ASSERT_TRUE(writeAll(brushkit, {}) &&
                QFile::setPermissions(brushkit, QFile::ReadOwner | QFile::ExeOwner));
    f.mnuBrushkit->trigger();
    EXPECT_EQ(s.messages.size(), 1u);
    ASSERT_EQ(s.programs.size(), 1u);
    EXPECT_EQ(s.programs[0].program, brushkit);

    // The web entries open their pages without a word when the opener fails.
    s.startAnswers = {ShellOtherError, ShellOtherError};
    f.mnu40000->setEnabled(true);
    f.mnu40000->trigger();
    f.mnucshp->trigger();
    ASSERT_EQ(s.programs.size(), 3u);
    EXPECT_EQ(s.programs[1].arguments, QStringList{QString::fromLatin1(project::ProductPage)});
    EXPECT_EQ(s.programs[2].arguments, QStringList{QString::fromLatin1(project::HomePage)});
    EXPECT_EQ(s.messages.size(), 1u);

    f.mnuVersao->trigger();
    ASSERT_TRUE(Forms::loaded<frmAbout>());
    EXPECT_TRUE(Forms::get<frmAbout>().isVisible());
    EXPECT_FALSE(Forms::get<frmAbout>().isModal());
}
