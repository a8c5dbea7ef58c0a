#include <gtest/gtest.h>

#include <algorithm>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/frmGeral.h"
#include "formats/IconImage.h"
#include "formats/Pictures.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"
#include "support/icons.h"
#include "support/pixels.h"
#include "toolkit/twips.h"
#include "toolwindow/frmToolBar.h"

namespace {

const QString Resources = testData(QStringLiteral("good/resources/"));
// The grey the search shows icons on.
constexpr ColorValue Grey = RGB(192, 192, 192);

class ToolBar : public ::testing::Test
{
protected:
    static frmToolBar &bar() { return Forms::get<frmToolBar>(); }
    static void click(int index, int button)
    {
        bar().Color_MouseDown(index, button, 0, 10, 10);
        bar().Color_Click(index);
    }
    // Opens the file in the search face.
    static void search(const QString &path)
    {
        Forms::get<frmGeral>().mnuSearch_Click();
        scripted().fileAnswers.push_back(path);
        bar().cmdOpen_Click();
    }
    // Writes the file and opens it in the search face.
    void search(const QString &name, const QByteArray &bytes)
    {
        ASSERT_TRUE(writeAll(dir.filePath(name), bytes));
        search(dir.filePath(name));
    }

    // The main window's left and right colours.
    QList<ColorValue> main() const { return {f.LeftColor->BackColor(), f.RightColor->BackColor()}; }

    QTemporaryDir dir;
    frmGeral &f = Forms::get<frmGeral>();
    frmToolBar &t = bar();
};

} // namespace

TEST_F(ToolBar, ClicksSetTheMainColoursCopyTheOtherSwatchAndClosingHandsThemOver)
{
    f.mnuCorFixa_Click();
    click(17, 1);
    EXPECT_EQ(main(), QList<ColorValue>({RGB(255, 0, 0), 0x80000009}));

    // Real clicks, with either button.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    QTest::mouseClick(t.Color[22], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(0, 0, 255));
    QTest::mouseClick(t.Color[20], Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.RightColor->BackColor(), RGB(0, 255, 0));

    // Closing hands the bar's swatches to the main window; a new bar starts from its own.
    f.LeftColor->setBackColor(RGB(1, 1, 1));
    t.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main(), QList<ColorValue>({RGB(0, 0, 255), RGB(0, 255, 0)}));
    f.mnuCorFixa_Click();
    EXPECT_EQ(bar().LeftColor->BackColor(), ColorValue(0x80000007));
}

TEST_F(ToolBar, CustomSlotsAskForAColourAndKeepItAcrossFacesEachShownAloneAtItsSize)
{
    f.mnuCorFixa_Click();
    scripted().colorAnswers.push_back(RGB(10, 20, 30));
    click(40, 1);
    EXPECT_EQ(t.Color[40]->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(scripted().colorRequests.size(), 1u);

    // A cancel applies the colour the dialog held last.
    click(47, 2);
    EXPECT_EQ(t.Color[47]->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(f.RightColor->BackColor(), vbWhite); // the slot's colour before the dialog

    f.mnuMove_Click();
    f.mnuCorFixa_Click();
    EXPECT_EQ(t.Color[40]->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(t.Color.count(32), 0u);

    // Each entry shows its face alone, at its size.
    // 3250 twips is not a whole number of pixels: the move face is 3255 high.
    // Each is made when it is first opened.
    const std::tuple<void (frmGeral::*)(), QGroupBox * frmToolBar::*, QSize> faces[] = {
        {&frmGeral::mnuSearch_Click, &frmToolBar::fraLocaliza, QSize(2490, 2625)},
        {&frmGeral::mnuCorFixa_Click, &frmToolBar::fraCores, QSize(2475, 3675)},
        {&frmGeral::mnuReduzir_Click, &frmToolBar::fraDiminui, QSize(2055, 2880)},
        {&frmGeral::mnuMove_Click, &frmToolBar::fraMove, QSize(2490, 3255)}};
    EXPECT_EQ(t.fraLocaliza, nullptr);
    for (const auto &[entry, face, size] : faces) {
        (f.*entry)();
        EXPECT_TRUE((t.*face)->isVisible());
        const auto made = t.centralWidget()->findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly);
        EXPECT_EQ(std::ranges::count_if(made, &QWidget::isVisible), 1);
        EXPECT_EQ(QSize(Width(&t), Height(&t)), size);
    }
}

TEST_F(ToolBar, SearchListsEveryIconStepsThroughThemAndTheSameFileOrAnInvalidOneChangesNothing)
{
    f.mnuReduzir->setEnabled(true);
    f.mnuSearch_Click();
    search(Resources + "groups64.dll");
    ASSERT_EQ(t.IconCount, 5);
    EXPECT_EQ(f.lblMsg->text(), QStringLiteral("File: groups64.dll    Total: 5"));
    EXPECT_TRUE(t.lblArquivo->isVisible() && t.PicIcon->isVisible());
    EXPECT_FALSE(f.mnuReduzir->isEnabled() || f.mnuPropriedade->isEnabled());
    // The label shows the place, its tooltip the count; the arrows stop at either end.
    const auto expectAt = [&](int index) {
        EXPECT_EQ(t.IconIndex, index);
        EXPECT_EQ(t.lblArquivo->text(), QString::number(index + 1));
        EXPECT_EQ(t.lblArquivo->toolTip(), QStringLiteral("%1 of 5").arg(index + 1));
        EXPECT_EQ(t.cmdBack->isEnabled(), index > 0);
        EXPECT_EQ(t.cmdNext->isEnabled(), index < 4);
        EXPECT_EQ(composedOver(f.Ikon->Image(), Grey), t.PicIcon->ImageAsShown());
    };
    expectAt(0);
    const QImage first = f.Ikon->Image();
    // The search is one step, each icon after it another; the untouched canvas stays saved.
    EXPECT_EQ(f.history.stack().count(), 1);
    for (int i = 0; i < 5; ++i) // never past the end
        t.cmdNext_Click();
    expectAt(4);
    EXPECT_NE(f.Ikon->Image(), first);
    EXPECT_EQ(f.history.stack().count(), 5);
    EXPECT_FALSE(f.history.unsaved());
    for (int i = 0; i < 5; ++i) // never before the first
        t.cmdBack_Click();
    expectAt(0);
    EXPECT_EQ(f.Ikon->Image(), first);

    // The caption is read as a number: a long one widens the label to show every digit.
    t.lblArquivo->setText(QStringLiteral("183"));
    t.cmdNext_Click();
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("184"));
    EXPECT_GE(t.lblArquivo->width(), t.lblArquivo->sizeHint().width());

    // Another file is searched anew; the same file again, or an invalid one, changes nothing.
    search(Resources + "library.icl");
    ASSERT_EQ(t.IconCount, 3);
    t.cmdNext_Click();
    const QImage shown = f.Ikon->Image();

    search(Resources + "library.icl"); // the same file: nothing at all
    EXPECT_EQ(t.IconIndex, 1);
    EXPECT_TRUE(scripted().messages.empty());

    // Nothing that is not a regular file is read, nor waited on.
    const QString fifo = dir.filePath("fifo.dll");
    ASSERT_TRUE(makeFifo(fifo));
    for (const QString &bad : {Resources + "noicons.dll", Resources + "missing.dll",
                               Resources + "make-fixtures.sh", QStringLiteral("/dev/zero"), fifo}) {
        search(bad);
        ASSERT_FALSE(scripted().messages.empty());
        EXPECT_EQ(scripted().messages.back().text,
                  QStringLiteral("  This  File  is  not  Valid!  "));
        EXPECT_EQ(scripted().messages.back().style, 16);
    }
    EXPECT_EQ(t.IconCount, 3);
    EXPECT_EQ(t.lblArquivo->text(), QStringLiteral("2"));
    EXPECT_EQ(f.Ikon->Image(), shown);
}

TEST_F(ToolBar, ALargeLibraryKeepsOneElementAndDecodesTheIconShownWithItsAlpha)
{
    search("many.dll", peLibrary(5000, {solidDib(32, 24, '\x10'), solidDib(32, 24, '\x20')}));
    ASSERT_EQ(t.IconCount, 5000);
    EXPECT_EQ(t.fraLocaliza->findChildren<PictureBox *>().size(), 1);
    EXPECT_EQ(f.Ikon->Point(31, 31), int32_t(RGB(16, 16, 16)));
    t.cmdNext_Click();
    EXPECT_EQ(f.Ikon->Point(31, 31), int32_t(RGB(32, 32, 32)));
    t.IconIndex = 4998;
    t.cmdNext_Click();
    EXPECT_EQ(t.IconIndex, 4999);
    EXPECT_EQ(f.grid->surface().pixel(5, 5), qRgb(32, 32, 32));

    // One icon with transparent corners shows on grey and arrives with its alpha.
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 255, 255));
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(255, 0, 0, 100));
    search("one.ico", encodeIcon32(image));
    ASSERT_EQ(t.IconCount, 1);
    EXPECT_FALSE(t.cmdNext->isEnabled());
    EXPECT_EQ(t.PicIcon->ImageAsShown().pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_EQ(qAlpha(f.Ikon->Image().pixel(0, 0)), 0);
    EXPECT_EQ(f.Ikon->Image().pixel(1, 0), qRgba(255, 0, 0, 100));
    EXPECT_EQ(f.grid->surface().pixel(5, 5), CheckerLight);
}

TEST_F(ToolBar, ResizeTransfersTheSmallIconAndReturnsToABlankCanvas)
{
    f.cd.FileName = Resources + "beta.ico";
    f.mnuReduzir_Click();
    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Transfer"));
    const int32_t corner = t.picPequeno->Point(1, 1);

    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Return, Clean!"));
    EXPECT_EQ(Width(f.grid), 2715);
    EXPECT_EQ(Width(f.lblNumero2), Width(f.grid)); // the column ruler follows
    EXPECT_EQ(f.Ikon->Point(1, 1), corner);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(vbWhite));
    EXPECT_EQ(f.Ikon->Point(25, 25), -1); // beyond the small canvas

    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Resize"));
    EXPECT_EQ(Width(f.grid), 4815);
    EXPECT_EQ(countPixels(f.Ikon, vbWhite), 1024);
    EXPECT_EQ(t.picPequeno->Point(1, 1), int32_t(vbWhite));
    // The bars drawn before the canvas shrank are there again.
    EXPECT_EQ(f.grid->surface().pixel(300, 5), qRgb(0, 0, 0));

    // An icon's own alpha comes in with it.
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(qRgba(0, 0, 255, 90));
    f.cd.FileName = dir.filePath("soft.ico");
    ASSERT_TRUE(writeAll(f.cd.FileName, icoFile({pngBytes(small)})));
    t.cmdDiminuir_Click();
    t.cmdDiminuir_Click();
    EXPECT_EQ(pixelsOf(f.Ikon->Image(), vbBlue), box(1, 1, 16, 16));
    EXPECT_EQ(f.Ikon->Image().pixel(16, 1), qRgba(0, 0, 255, 90));
    t.cmdDiminuir_Click();

    // A special file is not read: the desktop's icon for it stands in.
    f.cd.FileName = QStringLiteral("/dev/zero");
    t.cmdDiminuir_Click();
    EXPECT_EQ(t.cmdDiminuir->text(), QStringLiteral("Transfer"));
}
