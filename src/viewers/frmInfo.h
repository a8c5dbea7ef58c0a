#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "formats/BitmapHeader.h"
#include "toolkit/Forms.h"

class QFontMetrics;
class QGroupBox;
class QLabel;
class QLineEdit;

// The explanation of the opened file's headers, read as a Windows bitmap's. It reads the file
// afresh every time it becomes the active window.
class frmInfo : public Form
{
    Q_OBJECT
public:
    frmInfo();

    // Its caption is the file's path.
    QGroupBox *lblFileName;
    QGroupBox *Frame1;
    // The file as a picture, cut off at the box's edges.
    QLabel *Image1;
    // "Width:" ... "Compression:", and the values in the same order.
    std::array<QLabel *, 6> Label1;
    std::array<QLabel *, 6> lblInfo;
    QLineEdit *Toplbl;
    QLineEdit *Leftlbl;

    void Form_Load() override;
    void Form_Activate();

protected:
    bool event(QEvent *event) override;

private:
    void fitCaptions();
    void showPath(const QString &path);
    void showHeader(const BitmapHeader &header);
};

// The path as it fits `width` pixels: whole, else with the middle of its folder cut out so that
// its start and the file's name stay, else cut in the middle.
QString elidedPath(const QString &path, const QFontMetrics &metrics, int width);
// 2 to the power as the shortest decimal text (4294967296, 0.5, 1.2676506002282294e+30);
// nothing when the power is too large for a double.
std::optional<QString> powerOfTwoText(int bits);
// The number with its thousands grouped by the locale's separator, "," where it has none.
QString groupedNumber(int32_t value);
// The compression field in words.
QString compressionText(int32_t compression);
// What the colour counts say, one sentence a line; `colours` is 2 to the bits per pixel.
QString colourNotes(const BitmapHeader &header, const QString &colours);
