#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/frmGeral.h"
#include "app/toolkit/IconImage.h"
#include "app/toolkit/twips.h"
#include "support/ScriptedSeam.h"
#include "toolwindow/frmToolBar.h"

namespace {

const QString Resources = QStringLiteral(PIXMINT_TEST_DATA "/resources/");

class Faces : public ::testing::Test
{
protected:
    void search(const QString &path)
    {
        scripted().fileAnswers.push_back(path);
        t.cmdOpen_Click();
    }

    frmGeral &f = Forms::get<frmGeral>();
    frmToolBar &t = Forms::get<frmToolBar>();
};

} // namespace

TEST_F(Faces, SearchListsEveryIconAndStepsThroughThem)
{
    f.mnuReduzir->setEnabled(true);
    f.mnuSearch_Click();
    search(Resources + "groups64.dll");
    const FileDialogRequest &asked = scripted().fileRequests.back();
    EXPECT_EQ(asked.title, QStringLiteral("Orvel Pixmint - Open..."));
    EXPECT_EQ(asked.filter, QStringLiteral("Executable (*.exe)|*.EXE|D. L. Libraries "
                                           "(*.dll)|*.DLL|Icon Libraries (*.icl)|*.ICL"));
    ASSERT_EQ(t.PicIcon.size(), 5u);
    EXPECT_EQ(f.lblMsg->text(), QStringLiteral("File: groups64.dll    Total: 5"));
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("1"));
    EXPECT_EQ(t.lblArquivo->toolTip(), QStringLiteral("1 of 5"));
    EXPECT_TRUE(t.lblArquivo->isVisible());
    EXPECT_FALSE(t.cmdBack->isEnabled());
    EXPECT_TRUE(t.cmdNext->isEnabled());
    EXPECT_FALSE(f.mnuReduzir->isEnabled());
    EXPECT_FALSE(f.mnuPropriedade->isEnabled());
    EXPECT_TRUE(t.PicIcon[0]->isVisible());
    EXPECT_EQ(f.Ikon->Image(), t.PicIcon[0]->Picture());

    for (int i = 0; i < 4; ++i)
        t.cmdNext_Click();
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("5"));
    EXPECT_EQ(t.lblArquivo->toolTip(), QStringLiteral("5 of 5"));
    EXPECT_FALSE(t.cmdNext->isEnabled());
    EXPECT_TRUE(t.cmdBack->isEnabled());
    EXPECT_EQ(f.Ikon->Image(), t.PicIcon[4]->Picture());
    EXPECT_FALSE(t.PicIcon[0]->isVisible());
    t.cmdNext_Click(); // never past the end
    EXPECT_EQ(t.IconIndex, 4);

    for (int i = 0; i < 4; ++i)
        t.cmdBack_Click();
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("1"));
    EXPECT_FALSE(t.cmdBack->isEnabled());
    EXPECT_TRUE(t.cmdNext->isEnabled());
    EXPECT_EQ(f.Ikon->Image(), t.PicIcon[0]->Picture());

    // The caption is read as a number: a long one widens the label to show every digit.
    t.lblArquivo->setText(QStringLiteral("183"));
    t.cmdNext_Click();
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("184"));
    EXPECT_GE(t.lblArquivo->width(), t.lblArquivo->sizeHint().width());
    EXPECT_GT(t.lblArquivo->width(), t.lblArquivo->fontMetrics().horizontalAdvance("18"));
}

TEST_F(Faces, TheSameFileAgainOrAnInvalidOneChangesNothing)
{
    search(Resources + "library.icl");
    ASSERT_EQ(t.PicIcon.size(), 3u);
    t.cmdNext_Click();
    const QImage shown = f.Ikon->Image();

    search(Resources + "library.icl"); // the same file: nothing at all
    EXPECT_EQ(t.IconIndex, 1);
    EXPECT_TRUE(scripted().messages.empty());

    for (const QString &bad :
         {Resources + "noicons.dll", Resources + "missing.dll", Resources + "make-fixtures.sh"}) {
        search(bad);
        ASSERT_FALSE(scripted().messages.empty());
        EXPECT_EQ(scripted().messages.back().text,
                  QStringLiteral("  This  File  is  not  Valid!  "));
        EXPECT_EQ(scripted().messages.back().title, QStringLiteral("Inform the User!"));
        EXPECT_EQ(scripted().messages.back().style, 16);
    }
    EXPECT_EQ(t.PicIcon.size(), 3u);
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("2"));
    EXPECT_EQ(f.Ikon->Image(), shown);
}

TEST_F(Faces, OneIconWithTransparentCornersArrivesOnGrey)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 255, 255));
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    QTemporaryDir dir;
    QFile file(dir.filePath("one.ico"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encodeIcon32(image));
    file.close();
    search(file.fileName());
    ASSERT_EQ(t.PicIcon.size(), 1u);
    EXPECT_FALSE(t.cmdNext->isEnabled());
    EXPECT_TRUE(f.lblMsg->text().endsWith(QStringLiteral("Total: 1")));
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(RGB(192, 192, 192)));
    EXPECT_EQ(f.Ikon->Point(31, 31), int32_t(RGB(0, 0, 255)));
    EXPECT_EQ(f.grid->surface().pixel(5, 5), qRgb(192, 192, 192));
}

TEST_F(Faces, ResizeTransfersTheSmallIconAndReturnsToABlankCanvas)
{
    f.cd.FileName = Resources + "beta.ico";
    f.mnuReduzir_Click();
    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Transfer"));
    EXPECT_EQ(t.picPequeno->Point(0, 0), int32_t(vbWhite));
    const int32_t corner = t.picPequeno->Point(1, 1);
    EXPECT_EQ(t.picPequeno->Point(17, 17), int32_t(vbWhite));

    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Return, Clean!"));
    EXPECT_EQ(Width(f.grid), 2715);
    EXPECT_EQ(Width(f.lblNumero2), Width(f.grid));
    EXPECT_EQ(f.Ikon->Point(1, 1), corner);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(vbWhite));
    EXPECT_EQ(f.Ikon->Point(25, 25), -1); // beyond the small canvas
    EXPECT_EQ(f.grid->surfaceWidth(), 181);

    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Resize"));
    EXPECT_EQ(Width(f.grid), 4815);
    EXPECT_EQ(f.Ikon->surfaceWidth(), 32);
    for (int p : {0, 1, 31})
        EXPECT_EQ(f.Ikon->Point(p, p), int32_t(vbWhite));
    EXPECT_EQ(t.picPequeno->Point(1, 1), int32_t(vbWhite));
    // The bars drawn before the canvas shrank are there again.
    EXPECT_EQ(f.grid->surface().pixel(300, 5), qRgb(0, 0, 0));
}
