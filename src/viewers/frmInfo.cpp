#include "viewers/frmInfo.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "face/Editor.h"
#include "formats/Pictures.h"
#include "placement/placement.h"
#include "toolkit/twips.h"

namespace {

const QString kNoFile = QStringLiteral("Select a bitmap or RLE file to detail...");

// The picture box is 1215 x 1095 twips: only that much of a picture can show.
const QSize kImageBox(81, 73);

constexpr const char *Captions[6] = {
    "Width:", "Height:", "Image Size:", "Planes:", "Bits per Pixel:", "Compression:"};
constexpr double Tops[6] = {360, 600, 840, 1080, 1440, 1800};

} // namespace

frmInfo::frmInfo()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint"));
    setCentralWidget(new QWidget(this));
    QFont times(QStringLiteral("Times New Roman"));
    times.setStyleHint(QFont::Serif);
    times.setPointSizeF(8.25);
    lblFileName = place(new QGroupBox(kNoFile, centralWidget()), 120, 120, 5415, 2295);
    Frame1 = place(new QGroupBox(lblFileName), 3720, 200, 1455, 1455);
    Image1 = place(new QLabel(Frame1), 120, 240, 1215, 1095);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (size_t i = 0; i < Label1.size(); ++i) {
        Label1[i] = place(new QLabel(QString::fromLatin1(Captions[i]), lblFileName), 240, Tops[i],
                          1050, 240);
        lblInfo[i] = place(new QLabel(QStringLiteral("#"), lblFileName), 1320, Tops[i], 2250, 240);
    }
    // The compression's words may take two lines.
    Move(lblInfo[5], 1320, 1800, 3930, 450);
    lblInfo[5]->setWordWrap(true);
    lblInfo[5]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel *label : Label1)
        label->setFont(times);
    for (QLabel *label : lblInfo)
        label->setFont(times);
    fitCaptions();
    Toplbl = new QLineEdit(centralWidget());
    Leftlbl = new QLineEdit(centralWidget());
    Toplbl->hide();
    Leftlbl->hide();
}

void frmInfo::fitCaptions()
{
    // The desktop's serif may be wider than the one the places were made for: the values move
    // right so that no caption is cut, the upper ones taking the room up to the picture's frame
    // and the compression keeping its right edge.
    int widest = 0;
    for (const QLabel *label : Label1)
        widest = std::max(widest, label->sizeHint().width());
    const int shift = std::max(0, Label1[0]->x() + widest + 4 - lblInfo[0]->x());
    for (size_t i = 0; i < Label1.size(); ++i) {
        Label1[i]->resize(std::max(Label1[i]->width(), widest), Label1[i]->height());
        QRect place = lblInfo[i]->geometry().adjusted(shift, 0, 0, 0);
        if (i < 5)
            place.setRight(Frame1->x() - 3);
        lblInfo[i]->setGeometry(place);
    }
}

void frmInfo::Form_Load()
{
    Move(this, 200, 200, 5775, 2895);
    PlaceToolWindow(this, true);
}

bool frmInfo::event(QEvent *event)
{
    const bool handled = Form::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void frmInfo::Form_Activate()
{
    // Whatever cannot be read leaves the window as far as it got, without a word.
    showPath(kNoFile);
    for (QLabel *label : lblInfo)
        label->clear();
    lblInfo[5]->setToolTip(QString());
    if (!Editor::exists())
        return;
    const QString path = Editor::current().msg();
    const std::optional<QImage> picture = LoadPicture(path, vbButtonFace, kImageBox);
    if (!picture)
        return;
    Image1->setPixmap(QPixmap::fromImage(composedOver(*picture, vbButtonFace)));
    Image1->lower();
    const std::optional<BitmapHeader> header = readBitmapHeaderFile(path);
    if (!header)
        return;
    showPath(path);
    showHeader(*header);
}

void frmInfo::showPath(const QString &path)
{
    // The frame's title leaves room for its own margins at either end.
    const QFontMetrics metrics(lblFileName->font());
    const int room = lblFileName->width() - 4 * metrics.averageCharWidth();
    const QString shown = elidedPath(path, metrics, room);
    lblFileName->setTitle(shown);
    lblFileName->setToolTip(shown == path ? QString() : path);
}

QString elidedPath(const QString &path, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0) {
        const QString name = path.mid(slash);
        const QString folder = path.left(slash);
        const QString head =
            metrics.elidedText(folder, Qt::ElideRight, width - metrics.horizontalAdvance(name));
        // Only while something of the folder's start is left beside the ellipsis.
        if (!head.isEmpty() && head.front() == folder.front())
            return head + name;
    }
    return metrics.elidedText(path, Qt::ElideMiddle, width);
}

void frmInfo::showHeader(const BitmapHeader &header)
{
    const QString pixels = QStringLiteral(" pixels");
    lblInfo[0]->setText(QString::number(header.width) + pixels);
    lblInfo[1]->setText(QString::number(header.height) + pixels);
    lblInfo[2]->setText(header.imageSize != 0
                            ? groupedNumber(header.imageSize) + QStringLiteral(" bytes")
                            : QStringLiteral("BI_RGB bitmap; size variable."));
    lblInfo[3]->setText(QString::number(header.planes));
    const std::optional<QString> colours = powerOfTwoText(header.bitCount);
    if (!colours)
        return;
    lblInfo[4]->setText(QString::number(header.bitCount) + QStringLiteral(" (") + *colours +
                        QStringLiteral(" colours)"));
    lblInfo[5]->setText(compressionText(header.compression));
    lblInfo[5]->setToolTip(colourNotes(header, *colours));
}

std::optional<QString> powerOfTwoText(int bits)
{
    const double value = std::ldexp(1.0, bits);
    if (!std::isfinite(value))
        return std::nullopt;
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return QString::fromLatin1(text, written.ptr - text);
}

QString groupedNumber(int32_t value)
{
    // Qt's C locale has a separator but leaves it out of numbers; the pattern always groups.
    QString separator = QLocale().groupSeparator();
    if (separator.isEmpty())
        separator = QStringLiteral(",");
    const QString digits = QString::number(std::abs(int64_t(value)));
    QString grouped = value < 0 ? QStringLiteral("-") : QString();
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

QString compressionText(int32_t compression)
{
    switch (compression) {
    case 0:
        return QStringLiteral("Uncompressed bitmap.");
    case 1:
        return QStringLiteral("Run-length encoded (RLE) format for bitmaps with 8 bits per pixel.");
    case 2:
        return QStringLiteral("Run-length encoded (RLE) format for bitmaps with 4 bits per pixel.");
    case 3:
        return QStringLiteral("Uncompressed 16- or 32-bit-per-pixel format.");
    default:
        return QStringLiteral("Unknown compression (%1).").arg(compression);
    }
}

QString colourNotes(const BitmapHeader &header, const QString &colours)
{
    const QString used =
        header.colorsUsed != 0
            ? QStringLiteral("The size of the colour table used to optimize performance"
                             " of Windows colour palettes is ") +
                  QString::number(header.colorsUsed)
            : QStringLiteral("Bitmap uses the maximum number of colours corresponding to the"
                             " bits-per-pixel for the compression mode.");
    const QString important =
        header.colorsImportant != 0
            ? QStringLiteral("The number of colours that are considered important for displaying"
                             " this bitmap are ") +
                  QString::number(header.colorsImportant)
            : QStringLiteral("All ") + colours +
                  QStringLiteral(" colour indices are considered important for displaying this "
                                 "bitmap.");
    return used + QLatin1Char('\n') + important;
}
