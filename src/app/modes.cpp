#include "app/frmGeral.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cstdlib>

ColorValue frmGeral::buttonColor(int Button) const
{
    return Button == 1 ? LeftColor->BackColor() : RightColor->BackColor();
}

void frmGeral::picModeSel_Click(int Index)
{
    if (Index < 0 || Index >= ModeButtonCount)
        return;
    DrawMode = Mode(Index);
    picMode->setPicture(picModeSel[Index]->Picture());
    mnuColar->setEnabled(false);
    mnuCortar->setEnabled(false);
    mnuCopiar->setEnabled(false);
    shCapture->setVisible(false);
}

void frmGeral::grid_MouseDown(int Button, int, double X, double Y)
{
    // A press whose release never came ends its stroke here.
    stroke_.reset();
    DownX = toInt16(X);
    DownY = toInt16(Y);
    switch (DrawMode) {
    case Mode::Pencil:
        stroke_.emplace(*this);
        PaintCell(int16_t(CellTwips * CurCol), int16_t(CellTwips * CurRow), buttonColor(Button));
        break;
    case Mode::Line:
        // A click without a move draws the pressed cell alone.
        shLine->setPoints(DownX, DownY, DownX, DownY);
        shLine->setVisible(true);
        break;
    case Mode::Rectangle:
    case Mode::FilledRectangle:
        shRect->setVisible(true);
        break;
    case Mode::Circle:
    case Mode::FilledCircle:
        shCircle->setVisible(true);
        break;
    case Mode::Capture:
        shCapture->setVisible(true);
        break;
    case Mode::Text:
    case Mode::ColorFill:
    case Mode::Paste:
        break;
    }
}

void frmGeral::grid_MouseMove(int Button, int Shift, double X, double Y)
{
    picVeCor->hide();
    grid->setCursor(Qt::CrossCursor);
    CurCol = cellOf(X);
    CurRow = cellOf(Y);
    lblCordenadas->setText(coordinatesText(CurCol, CurRow));
    lblCordenadas->show();
    if (Button == 0)
        return;

    switch (DrawMode) {
    case Mode::Pencil:
        constrainPencil(Shift, X, Y, DownX, DownY, CurCol, CurRow);
        PaintCell(int16_t(CellTwips * CurCol), int16_t(CellTwips * CurRow), buttonColor(Button));
        break;
    case Mode::Line:
        shLine->setPoints(DownX, DownY, X, Y);
        break;
    case Mode::Rectangle:
    case Mode::FilledRectangle:
    case Mode::Capture: {
        Shape *band = DrawMode == Mode::Capture ? shCapture : shRect;
        band->setLeft(std::min<double>(X, DownX));
        band->setTop(std::min<double>(Y, DownY));
        band->setWidth(std::abs(DownX - X));
        band->setHeight(std::abs(DownY - Y));
        break;
    }
    case Mode::Circle:
    case Mode::FilledCircle: {
        const int16_t r = bandRadius(DownX, DownY, X, Y);
        shCircle->setWidth(2 * r);
        shCircle->setHeight(2 * r);
        shCircle->setLeft(DownX - r);
        shCircle->setTop(DownY - r);
        break;
    }
    case Mode::Text:
    case Mode::ColorFill:
    case Mode::Paste:
        break;
    }
}

void frmGeral::grid_MouseUp(int Button, int, double X, double Y)
{
    const ColorValue color = buttonColor(Button);
    const int16_t col = cellOf(X);
    const int16_t row = cellOf(Y);
    switch (DrawMode) {
    case Mode::Pencil:
        break;
    case Mode::Line:
        releaseLine(color);
        break;
    case Mode::Rectangle:
    case Mode::FilledRectangle:
        releaseBox(color, col, row);
        break;
    case Mode::Circle:
    case Mode::FilledCircle:
        releaseCircle(color);
        break;
    case Mode::Text:
        releaseText(color, col, row);
        break;
    case Mode::ColorFill:
        releaseFill(color, col, row);
        break;
    case Mode::Capture:
        releaseCapture();
        break;
    case Mode::Paste:
        releasePaste(col, row);
        break;
    }
    stroke_.reset();
}

void frmGeral::releaseLine(ColorValue color)
{
    const int16_t x2 = cellOf(shLine->X2());
    const int16_t y2 = cellOf(shLine->Y2());
    changeIcon([&] {
        Ikon->Line(cellOf(shLine->X1()), cellOf(shLine->Y1()), x2, y2, color);
        // The line leaves out its last pixel.
        Ikon->PSet(x2, y2, color);
    });
    shLine->setPoints(0, 0, 0, 0);
    shLine->setVisible(false);
}

void frmGeral::releaseBox(ColorValue color, int16_t col, int16_t row)
{
    const bool filled = DrawMode == Mode::FilledRectangle;
    changeIcon([&] {
        Ikon->FillStyle = filled ? PictureBox::vbFSSolid : PictureBox::vbFSTransparent;
        Ikon->LineBox(cellOfWhole(DownX), cellOfWhole(DownY), col, row, color, filled);
    });
    shRect->setWidth(0);
    shRect->setHeight(0);
    shRect->setVisible(false);
}

void frmGeral::releaseCircle(ColorValue color)
{
    changeIcon([&] {
        Ikon->FillStyle =
            DrawMode == Mode::FilledCircle ? PictureBox::vbFSSolid : PictureBox::vbFSTransparent;
        Ikon->FillColor = color;
        // The band's width is 2r twips: the radius in pixels is r / 150.
        Ikon->Circle(cellOfWhole(DownX), cellOfWhole(DownY), shCircle->Width() / (2.0 * CellTwips),
                     color);
    });
    shCircle->setWidth(0);
    shCircle->setHeight(0);
    shCircle->setVisible(false);
}

void frmGeral::releaseText(ColorValue color, int16_t col, int16_t row)
{
    const QString t = txtAlpha->text();
    changeIcon([&] {
        Ikon->CurrentX = col - Ikon->TextWidth(t) / 2;
        Ikon->CurrentY = row - Ikon->TextHeight(t) / 2;
        Ikon->ForeColor = color;
        Ikon->Print(t);
    });
}

void frmGeral::releaseFill(ColorValue color, int16_t col, int16_t row)
{
    changeIcon([&] {
        Ikon->FillStyle = PictureBox::vbFSSolid;
        Ikon->FillColor = color;
        Ikon->takeImageAsPicture();
        // A release outside the icon has no colour to fill over.
        const int32_t target = Ikon->Point(col, row);
        if (target >= 0)
            Ikon->ExtFloodFill(cellOfWhole(DownX), cellOfWhole(DownY), ColorValue(target));
    });
}

void frmGeral::releaseCapture()
{
    mnuCopiar->setEnabled(true);
    mnuCortar->setEnabled(true);
}

void frmGeral::releasePaste(int16_t col, int16_t row)
{
    const int w = SelX2 - SelX1 + 1;
    const int h = SelY2 - SelY1 + 1;
    changeIcon([&] {
        if (w > 0 && h > 0)
            Ikon->PaintPicture(picCap->Image(), col, row, 0, 0, w, h);
    });
    shCapture->setWidth(0);
    shCapture->setHeight(0);
    shCapture->setVisible(false);
}
