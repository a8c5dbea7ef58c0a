#include "face/cells.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "face/project.h"
#include "formats/SettingsFile.h"
#include "toolkit/SeqFile.h"

int16_t cellOf(double twips)
{
    return cellOfWhole(toInt16(twips));
}

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
        col = cellOfWhole(DownX);
    else
        row = cellOfWhole(DownY);
}

int16_t bandRadius(int16_t DownX, int16_t DownY, double X, double Y)
{
    const double dx = DownX - X;
    const double dy = DownY - Y;
    // Saturated so that the band's width 2r still fits its 16-bit field.
    return int16_t(std::min<int64_t>(vbRound(std::sqrt(dx * dx + dy * dy)), 16383));
}

CellRegion captureRegion(double left, double top, double width, double height)
{
    return {cellOf(left), cellOf(top), cellOf(left + width), cellOf(top + height)};
}

std::vector<ColorValue> spectrumColumns()
{
    std::vector<ColorValue> columns;
    int16_t red = 0, green = 0, blue = 0, dr = 5, dg = 0, db = 0;
    ColorValue c = vbBlack;
    for (;;) {
        columns.push_back(c);
        if (red == 255 && green == 255 && blue == 255)
            return columns;
        red += dr;
        if (red > 255) {
            red = 255, dr = 50, dg = 5;
        } else if (red < 0) {
            red = 0, dr = 0, db = 5;
        }
        green += dg;
        if (green > 255) {
            green = 255, dg = 0, dr = -5;
        } else if (green < 0) {
            green = 0, dg = 0, dr = 5;
        }
        blue += db;
        if (blue > 255)
            blue = 255, db = 0, dg = -5;
        c = RGB(red, green, blue);
    }
}

namespace {

QString centred(const QString &text)
{
    const qsizetype pad = std::max<qsizetype>(0, 50 - text.size());
    return QString(pad / 2, ' ') + text + QString(pad - pad / 2, ' ');
}

} // namespace

QString settingsFilePath()
{
    return SettingsFile::path(QStringLiteral("OrvelForm.orv"));
}

QByteArray settingsFileContent(const QString &style)
{
    const QString hyphens(50, '-');
    const QStringList head = {centred(QStringLiteral("Orvel Orvelcraft 1998 - 2026")),
                              centred(QString::fromLatin1(project::MailAddress)), hyphens};
    QStringList lines = head;
    lines << QStringLiteral("    D o n ' t   A l t e r   T h i s   F i l e     ") << hyphens
          << style;
    for (const char *credit :
         {"Written by", "Orvel", "Orvelcraft", "Mintbrook", "Green Valley", "Pixeland"})
        lines << centred(QString::fromLatin1(credit)) << hyphens;
    lines << centred(QString::fromLatin1(project::HomePage)) << QString() << QString(50, ' ')
          << head;
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += SeqFile::writeRecord({line});
    return bytes;
}
