#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

#include "app/frmGeral.h"
#include "support/helpers.h"

namespace {

constexpr ColorValue Blue = RGB(0, 0, 255);

class Clipboard : public ::testing::Test
{
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    void capture(double left, double top, double width, double height)
    {
        f.picModeSel_Click(8);
        f.shCapture->setLeft(left);
        f.shCapture->setTop(top);
        f.shCapture->setWidth(width);
        f.shCapture->setHeight(height);
        f.shCapture->setVisible(true);
    }

    int count(ColorValue c) const { return countPixels(f.Ikon, c); }

    frmGeral &f = Forms::get<frmGeral>();
};

} // namespace

TEST_F(Clipboard, CopyFillsTheBufferAndTheDesktopClipboardCarryingTransparencyAndPasteBringsIt)
{
    QImage earlier(39, 39, QImage::Format_RGB32);
    earlier.fill(qRgb(0, 128, 0));
    QGuiApplication::clipboard()->setImage(earlier);
    f.Form_MouseMove(0, 0, 1, 1); // now the buffer's picture
    f.Ikon->LineBox(2, 3, 4, 3, Blue, true);
    capture(300, 450, 300, 10);
    f.mnuCopiar_Click();
    EXPECT_EQ(QRect(QPoint(f.SelX1, f.SelY1), QPoint(f.SelX2, f.SelY2)), QRect(2, 3, 3, 1));
    EXPECT_TRUE(f.mnuColar->isEnabled());
    EXPECT_FALSE(f.mnuCopiar->isEnabled());
    EXPECT_FALSE(f.mnuCortar->isEnabled());
    EXPECT_FALSE(f.shCapture->Visible());

    // The region in the corner and nothing of the earlier bitmap around it.
    const QImage held = QGuiApplication::clipboard()->image();
    ASSERT_EQ(held.size(), QSize(39, 39));
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 39; ++x)
            ASSERT_EQ(held.pixel(x, y), y == 0 && x < 3 ? qRgb(0, 0, 255) : qRgb(255, 255, 255))
                << x << "," << y;
    EXPECT_EQ(f.picCap->Picture().pixel(5, 5), qRgb(0, 128, 0)); // the picture stays

    // Copy and paste carry transparency, and an opaque copy stays opaque.
    f.mnuLimpar_Click();
    capture(0, 0, 300, 150);
    f.mnuCopiar_Click();
    EXPECT_FALSE(QGuiApplication::clipboard()->image().hasAlphaChannel());

    QImage soft = f.Ikon->Image();
    soft.setPixel(0, 0, qRgba(10, 20, 30, 99));
    soft.setPixel(1, 0, 0);
    f.Ikon->setPicture(soft);
    capture(0, 0, 300, 150);
    f.mnuCopiar_Click();
    const QImage carried =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(carried.pixel(0, 0), qRgba(10, 20, 30, 99));
    EXPECT_EQ(qAlpha(carried.pixel(1, 0)), 0);
    const QRgb back = toQRgb(vbWindowBackground);
    EXPECT_EQ(carried.pixel(2, 0), back);

    f.mnuLimpar_Click();
    f.Form_MouseMove(0, 0, 1, 1); // the buffer takes the clipboard's bitmap
    f.mnuColar_Click();
    EXPECT_EQ(f.Ikon->Image().pixel(0, 0), qRgba(10, 20, 30, 99));
    EXPECT_EQ(f.Ikon->Image().pixel(1, 0), back & 0xFFFFFFu);
    f.SelX1 = 0, f.SelY1 = 0, f.SelX2 = 1, f.SelY2 = 0;
    f.grid_MouseUp(1, 0, cellMiddle(20), cellMiddle(20));
    EXPECT_EQ(f.Ikon->Image().pixel(20, 20), qRgba(10, 20, 30, 99));
    EXPECT_EQ(qAlpha(f.Ikon->Image().pixel(21, 20)), 0);
}

TEST_F(Clipboard, PasteArmsTheModeOrTakesAClipboardBitmapCleanTakesTheRightColourCutWhitens)
{
    f.mnuLimpar_Click();
    const QImage before = f.Ikon->Image();
    f.mnuColar->setEnabled(true);
    f.mnuColar_Click();
    EXPECT_EQ(f.DrawMode, Mode::Paste);
    EXPECT_EQ(f.picMode->Picture(), f.imgColar->pixmap().toImage());
    EXPECT_EQ(f.Ikon->Image(), before);
    EXPECT_TRUE(f.mnuColar->isEnabled());

    QImage other(8, 4, QImage::Format_RGB32);
    other.fill(qRgb(200, 10, 10));
    QGuiApplication::clipboard()->setImage(other); // put there by another program
    f.mnuColar_Click();
    EXPECT_EQ(f.Ikon->Point(7, 3), int32_t(RGB(200, 10, 10)));
    EXPECT_EQ(f.Ikon->Point(8, 3), int32_t(resolveColor(f.Ikon->BackColor())));
    EXPECT_FALSE(f.mnuColar->isEnabled());
    EXPECT_EQ(f.DrawMode, Mode::Paste);

    // Clean after start-up takes the window colour.
    f.Ikon->PSet(5, 5, Blue);
    f.mnuLimpar_Click();
    EXPECT_EQ(count(resolveColor(vbWindowBackground)), 1024);

    f.RightColor->setBackColor(Blue);
    f.mnuLimpar_Click();
    capture(160, 470, 100, 100); // inside one cell, off the diagonal
    f.mnuCortar_Click();
    EXPECT_EQ(f.Ikon->Point(1, 3), int32_t(vbWhite));
    EXPECT_EQ(count(Blue), 1023);
    EXPECT_EQ(f.grid->surface().pixel(15, 35), qRgb(255, 255, 255));
}
