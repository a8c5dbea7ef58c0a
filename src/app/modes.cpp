#include "app/frmGeral.h"

#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <cstdlib>

QString coordinatesText(int16_t col, int16_t row)
{
    const auto two = [](int16_t n) { return (QStringLiteral("0") + QString::number(n)).right(2); };
    return QStringLiteral("X: ") + two(col) + QStringLiteral("  ") + QStringLiteral("Y: ") +
           two(row);
}

void constrainPencil(int Shift, double X, double Y, int16_t DownX, int16_t DownY, int16_t &col,
                     int16_t &row)
{
    if (Shift == 0)
        return;
    const double dx = std::abs(X - DownX);
    const double dy = std::abs(Y - DownY);
    if (dy >= dx)
        col = int16_t(DownX / 150);
    else
        row = int16_t(DownY / 150);
}

int16_t bandRadius(int16_t DownX, int16_t DownY, double X, double Y)
{
    const double dx = DownX - X;
    const double dy = DownY - Y;
    // Saturated so that the band's width 2r still fits its 16-bit field.
    return int16_t(std::min<int64_t>(vbRound(std::sqrt(dx * dx + dy * dy)), 16383));
}

ColorValue frmGeral::buttonColor(int Button) const
{
    return Button == 1 ? LeftColor->BackColor() : RightColor->BackColor();
}

void frmGeral::picModeSel_Click(int Index)
{
    if (Index < 0 || Index > 8)
        return;
    DrawMode = int16_t(Index);
    picMode->setPicture(picModeSel[Index]->Picture());
    mnuColar->setEnabled(false);
    mnuCortar->setEnabled(false);
    mnuCopiar->setEnabled(false);
    shCapture->setVisible(false);
}

void frmGeral::grid_MouseDown(int Button, int, double X, double Y)
{
    DownX = toInt16(X);
    DownY = toInt16(Y);
    const ColorValue color = buttonColor(Button);
    switch (DrawMode) {
    case 0:
        PaintCell(int16_t(150 * CurCol), int16_t(150 * CurRow), color);
        break;
    case 1:
        // A click without a move draws the pressed cell alone.
        shLine->setPoints(DownX, DownY, DownX, DownY);
        shLine->setVisible(true);
        break;
    case 2:
    case 3:
        shRect->setVisible(true);
        break;
    case 4:
    case 5:
        shCircle->setVisible(true);
        break;
    case 8:
        shCapture->setVisible(true);
        break;
    default:
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

    const ColorValue color = buttonColor(Button);
    switch (DrawMode) {
    case 0:
        constrainPencil(Shift, X, Y, DownX, DownY, CurCol, CurRow);
        PaintCell(int16_t(150 * CurCol), int16_t(150 * CurRow), color);
        break;
    case 1:
        shLine->setPoints(DownX, DownY, X, Y);
        break;
    case 2:
    case 3:
    case 8: {
        Shape *band = DrawMode == 8 ? shCapture : shRect;
        band->setLeft(std::min<double>(X, DownX));
        band->setTop(std::min<double>(Y, DownY));
        band->setWidth(std::abs(DownX - X));
        band->setHeight(std::abs(DownY - Y));
        break;
    }
    case 4:
    case 5: {
        const int16_t r = bandRadius(DownX, DownY, X, Y);
        shCircle->setWidth(2 * r);
        shCircle->setHeight(2 * r);
        shCircle->setLeft(DownX - r);
        shCircle->setTop(DownY - r);
        break;
    }
    default:
        break;
    }
}

void frmGeral::grid_MouseUp(int Button, int, double X, double Y)
{
    const ColorValue color = buttonColor(Button);
    const int16_t downCol = int16_t(DownX / 150);
    const int16_t downRow = int16_t(DownY / 150);
    switch (DrawMode) {
    case 1: {
        const int16_t x2 = cellOf(shLine->X2());
        const int16_t y2 = cellOf(shLine->Y2());
        Ikon->Line(cellOf(shLine->X1()), cellOf(shLine->Y1()), x2, y2, color);
        Ikon->PSet(x2, y2, color);
        RedrawGrid();
        shLine->setPoints(0, 0, 0, 0);
        shLine->setVisible(false);
        break;
    }
    case 2:
    case 3:
        Ikon->FillStyle = DrawMode == 3 ? PictureBox::vbFSSolid : PictureBox::vbFSTransparent;
        Ikon->LineBox(downCol, downRow, cellOf(X), cellOf(Y), color, DrawMode == 3);
        RedrawGrid();
        shRect->setWidth(0);
        shRect->setHeight(0);
        shRect->setVisible(false);
        break;
    case 4:
    case 5:
        Ikon->FillStyle = DrawMode == 5 ? PictureBox::vbFSSolid : PictureBox::vbFSTransparent;
        Ikon->FillColor = color;
        Ikon->Circle(downCol, downRow, shCircle->Width() / 300.0, color);
        RedrawGrid();
        shCircle->setWidth(0);
        shCircle->setHeight(0);
        shCircle->setVisible(false);
        break;
    case 6: {
        const QString t = txtAlpha->text();
        Ikon->CurrentX = cellOf(X) - Ikon->TextWidth(t) / 2;
        Ikon->CurrentY = cellOf(Y) - Ikon->TextHeight(t) / 2;
        Ikon->ForeColor = color;
        Ikon->Print(t);
        RedrawGrid();
        break;
    }
    case 7: {
        Ikon->FillStyle = PictureBox::vbFSSolid;
        Ikon->FillColor = color;
        Ikon->takeImageAsPicture();
        // A release outside the icon has no colour to fill over.
        const int32_t target = Ikon->Point(cellOf(X), cellOf(Y));
        if (target >= 0)
            Ikon->ExtFloodFill(downCol, downRow, ColorValue(target));
        RedrawGrid();
        break;
    }
    case 8:
        mnuCopiar->setEnabled(true);
        mnuCortar->setEnabled(true);
        break;
    case 9: {
        const int w = SelX2 - SelX1 + 1;
        const int h = SelY2 - SelY1 + 1;
        if (w > 0 && h > 0)
            Ikon->PaintPicture(picCap->Image(), cellOf(X), cellOf(Y), 0, 0, w, h);
        RedrawGrid();
        shCapture->setWidth(0);
        shCapture->setHeight(0);
        shCapture->setVisible(false);
        break;
    }
    default:
        break;
    }
}
