#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>

#include "app/frmGeral.h"
#include "app/mdlStart.h"
#include "colour/ColorPalette.h"
#include "colour/frmDesenho.h"
#include "colour/frmVeCor1.h"
#include "colour/frmVeCor2.h"
#include "filemanager/frmCopy.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"
#include "toolkit/twips.h"
#include "toolwindow/frmToolBar.h"

namespace {

frmGeral &started()
{
    Main();
    frmGeral &f = Forms::get<frmGeral>();
    // What the user does not see waits for the first frame.
    EXPECT_FALSE(Forms::loaded<frmToolBar>() || f.List1->count() > 0);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_TRUE(QTest::qWaitFor([&f] { return f.List1->count() > 0; }));
    return f;
}

// How many of the six editing menus are enabled.
int editingMenusEnabled(const frmGeral &f)
{
    int enabled = 0;
    for (QMenu *m :
         {f.mnuOpen, f.mnuEdit, f.mnuGradeOption, f.mnuColors, f.mnuFerramentas, f.mnuOptions})
        enabled += m->menuAction()->isEnabled();
    return enabled;
}

} // namespace

TEST(StartUp, SplashLocksEverythingButAboutUntilAClickRollsItUpAndTheWindowIsPlaced)
{
    frmGeral &f = started();
    EXPECT_TRUE(f.splashShown());
    EXPECT_EQ(editingMenusEnabled(f), 0);
    EXPECT_TRUE(f.mnuAbout->menuAction()->isEnabled());
    EXPECT_TRUE(f.mnu40000->isEnabled());
    EXPECT_EQ(f.DrawMode, Mode::Pencil);
    for (const QAction *off : {f.mnuColar, f.mnuCopiar, f.mnuReduzir, f.mnuPropriedade})
        EXPECT_FALSE(off->isEnabled()) << off->text().toStdString();
    EXPECT_FALSE(f.tmrLogo->Enabled());
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    // The first resize loaded the six tool windows, hidden, before the applications were listed.
    EXPECT_TRUE(Forms::loaded<frmToolBar>());
    EXPECT_TRUE(Forms::loaded<frmDesenho>());
    EXPECT_FALSE(Forms::get<frmVeCor2>().isVisible());
    // Their controls wait for their first show, so that the start does not pay for them.
    EXPECT_EQ(Forms::get<ColorPalette>().txtValue, nullptr);
    EXPECT_EQ(Forms::get<frmCopy>().lstDir[0], nullptr);
    EXPECT_EQ(Forms::get<frmToolBar>().fraCores, nullptr);

    // The size is the outer one, frame included, though the frame came only with the mapping;
    // the panels follow the inner size that is left.
    EXPECT_NEAR(Width(&f), Screen::Width() - 100, 15);
    EXPECT_NEAR(Height(&f), Screen::Height() - 100, 15);
    EXPECT_LT(f.width(), f.frameGeometry().width());
    EXPECT_NEAR(Width(f.pnlBarra), 0.98 * ScaleWidth(f.centralWidget()), 30);
    EXPECT_NEAR(Height(f.pnlBarra), 0.98 * ScaleHeight(f.centralWidget()), 30);
    EXPECT_NEAR(Left(f.picLogo), (Width(f.pnlMaster2) - Width(f.picLogo)) / 2, 15);
    EXPECT_EQ(f.grid->surfaceWidth(), 321);

    // A click on the splash rolls it up, and its timer finishes it and enables the menus.
    EXPECT_FALSE(f.LeftColor->isVisibleTo(&f));
    QTest::mouseClick(f.picLogo, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(f.tmrLogo->Enabled());
    EXPECT_TRUE(f.LeftColor->isVisibleTo(&f));
    EXPECT_TRUE(f.RightColor->isVisibleTo(&f));
    f.Label4_Click(); // a second click restarts nothing
    const double h = Height(f.picLogo);
    f.tmrLogo_Timer();
    EXPECT_EQ(Height(f.picLogo), h - 150);
    EXPECT_EQ(editingMenusEnabled(f), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.tmrLogo->Enabled(); }, 5000));
    EXPECT_FALSE(f.splashShown());
    EXPECT_EQ(editingMenusEnabled(f), 6);
}

TEST(Window, F2MinimisesAndHidesToolWindowsF3MaximisesAndUnloadEndsThem)
{
    frmGeral &f = started();
    Forms::get<frmToolBar>().Show();
    Forms::get<frmCopy>().Show();

    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_EQ(f.WindowState(), 2);
    EXPECT_EQ(f.Caption(), QStringLiteral("Orvel Pixmint - Version: 2.10 - Orvel Orvelcraft"));
    EXPECT_TRUE(f.lblAviso->isVisibleTo(&f));
    EXPECT_TRUE(Forms::get<frmToolBar>().isVisible());

    QTest::keyClick(&f, Qt::Key_F2);
    EXPECT_EQ(f.WindowState(), 1);
    EXPECT_EQ(f.Caption(), QStringLiteral("Pixmint 2.1.0"));
    EXPECT_FALSE(Forms::get<frmToolBar>().isVisible());
    EXPECT_FALSE(Forms::get<frmCopy>().isVisible());

    // Unloading ends the tool windows.
    ASSERT_TRUE(Forms::loaded<ColorPalette>());
    int cancel = 1;
    f.Form_Unload(cancel);
    EXPECT_EQ(cancel, 0);
    EXPECT_FALSE(Forms::loaded<ColorPalette>() || Forms::loaded<frmToolBar>() ||
                 Forms::loaded<frmVeCor1>() || Forms::loaded<frmCopy>());
}

TEST(Window, PanelsDropOnlyOnTheOuterPanelThePaletteTakesItsColourPropertiesFollowTheFile)
{
    frmGeral &f = started();
    rollUpSplash(f);
    f.pnlBarra_DragDrop(f.pic3dIco, 1500, 300);
    EXPECT_EQ(f.pic3dIco->pos(), QPoint(100, 20));
    EXPECT_EQ(f.pic3dIco->size().width(), 56);

    // A drop onto another panel is not taken.
    f.pic3DMode->setDragMode(SSPanel::vbAutomatic);
    const QPoint onGrid = f.grid->mapToGlobal(QPoint(5, 5));
    const QPoint modeBefore = f.pic3DMode->pos();
    EXPECT_FALSE(dropAt(f.pic3DMode, onGrid));
    EXPECT_EQ(f.pic3DMode->pos(), modeBefore);

    // The default palette shows and takes the colour under the pointer.
    f.picDefaltColor->PSet(30, 30, RGB(10, 20, 30));
    f.picDefaltColor_MouseMove(0, 0, 30, 30);
    EXPECT_TRUE(f.picVeCor->isVisibleTo(&f));
    EXPECT_EQ(f.picVeCor->BackColor(), RGB(10, 20, 30));
    f.picDefaltColor_MouseDown(1, 0, 30, 30);
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(10, 20, 30));
    f.picDefaltColor_MouseDown(4, 0, 30, 30);
    EXPECT_EQ(f.RightColor->BackColor(), vbWindowBackground);
    f.picDefaltColor_MouseDown(2, 0, 30, 30);
    EXPECT_EQ(f.RightColor->BackColor(), RGB(10, 20, 30));
    f.picDefaltColor_MouseDown(1, 0, -9000, 30); // off the strip: no colour
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(10, 20, 30));

    f.pnlBarra_MouseMove(0, 0, 10, 10);
    EXPECT_FALSE(f.picVeCor->isVisibleTo(&f));

    // Opening enables Properties (the file tests check that); no file disables it.
    f.setMsg(QStringLiteral("/tmp/a.bmp"));
    f.setMsg(QString());
    EXPECT_FALSE(f.mnuPropriedade->isEnabled());
}

TEST(Window, ClipboardBitmapEnablesPasteAndClearOnEveryMoveOverTheBodyUntilCleared)
{
    frmGeral &f = started();
    QGuiApplication::clipboard()->clear();
    f.Form_MouseMove(0, 0, 5, 5);
    EXPECT_FALSE(f.mnuColar->isEnabled());
    EXPECT_FALSE(f.mnuClear->isVisible());

    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    f.Form_MouseMove(0, 0, 5, 5);
    EXPECT_FALSE(f.mnuColar->isEnabled());

    QImage huge(4000, 3000, QImage::Format_RGB32);
    huge.fill(qRgb(0, 128, 0));
    QGuiApplication::clipboard()->setImage(huge);
    f.Form_MouseMove(0, 0, 5, 5); // during the splash too
    EXPECT_TRUE(f.mnuColar->isEnabled());
    EXPECT_TRUE(f.mnuClear->isVisible());
    EXPECT_LE(f.picCap->Picture().width(), f.picCap->surfaceWidth());
    EXPECT_EQ(f.picCap->Point(0, 0), int32_t(RGB(0, 128, 0)));

    // Clear empties the buffer and the desktop's clipboard, and hides itself.
    f.mnuClear_Click();
    EXPECT_FALSE(f.mnuClear->isVisible());
    EXPECT_FALSE(f.mnuColar->isEnabled());
    EXPECT_TRUE(f.picCap->Picture().isNull());
    const QMimeData *held = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!held || !held->hasImage());
}

TEST(TextTool, FontDialogSetsTheTextBoxAndIkonFonts)
{
    frmGeral &f = started();
    const QFont before = f.Ikon->Font;
    f.txtAlpha_Click(); // cancelled: nothing changes, no colour asked
    ASSERT_EQ(scripted().fontRequests.size(), 1u);
    EXPECT_EQ(scripted().fontRequests[0].name, QStringLiteral("Ms Sans Serif"));
    EXPECT_TRUE(scripted().fontRequests[0].bold && !scripted().fontRequests[0].italic);
    EXPECT_TRUE(scripted().colorRequests.empty());
    EXPECT_EQ(f.Ikon->Font, before);

    FontChoice chosen{QStringLiteral("DejaVu Serif"), 20, false, true};
    scripted().fontAnswers.push_back(chosen);
    scripted().colorAnswers.push_back(RGB(200, 0, 0));
    f.txtAlpha_Click();
    EXPECT_EQ(f.fraTexto->Caption(), QStringLiteral("Font: DejaVu Serif"));
    EXPECT_EQ(f.Ikon->Font.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(f.Ikon->Font.pointSizeF(), 20);
    EXPECT_TRUE(f.Ikon->Font.italic());
    EXPECT_FALSE(f.Ikon->Font.bold());
    EXPECT_EQ(f.txtAlpha->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_NE(f.txtAlpha->font().pointSizeF(), 20); // the box keeps its size
    EXPECT_EQ(f.txtAlpha->palette().color(QPalette::Text), QColor(200, 0, 0));

    // The colour is offered right after the font; cancelling it keeps the text's colour.
    f.cd.Color = RGB(0, 0, 255); // left by another dialog
    chosen.name = QStringLiteral("DejaVu Sans");
    scripted().fontAnswers.push_back(chosen);
    f.txtAlpha_Click();
    ASSERT_EQ(scripted().colorRequests.size(), 2u);
    EXPECT_EQ(scripted().colorRequests[1], RGB(200, 0, 0));
    // Offered in the style chosen last: italic, not bold.
    EXPECT_TRUE(!scripted().fontRequests[2].bold && scripted().fontRequests[2].italic);
    EXPECT_EQ(f.txtAlpha->palette().color(QPalette::Text), QColor(200, 0, 0));
}

TEST(StartUp, ShortcutsOfLockedMenusWaitForTheSplash)
{
    frmGeral &f = started();
    f.activateWindow();
    int fired = 0;
    QObject::connect(f.mnuNew, &QAction::triggered, [&] { ++fired; });
    QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(fired, 0);
    rollUpSplash(f);
    QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);

    // They work from a tool window too, while a text box keeps its own keys.
    f.mnuCorFixa_Click();
    frmToolBar &t = Forms::get<frmToolBar>();
    t.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &t; }, 2000));
    QTest::keyClick(&t, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(fired, 2);
    f.mnuOpTxt_Click();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &f; }, 2000));
    f.txtAlpha->setText(QStringLiteral("abc"));
    f.txtAlpha->selectAll();
    f.txtAlpha->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.DrawMode == Mode::Text; }, 2000));
    f.mnuCopiar->setEnabled(true);
    int copied = 0;
    QObject::connect(f.mnuCopiar, &QAction::triggered, [&] { ++copied; });
    QTest::keyClick(f.txtAlpha, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copied, 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
}
