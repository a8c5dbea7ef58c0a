#include "colour/ColorPalette.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <optional>

#include "colour/controls.h"
#include "face/Editor.h"
#include "placement/placement.h"
#include "toolkit/twips.h"

namespace {

// The channel a box holds, or nothing when its text is not a whole number; a number above 255
// only says that it is, since a pasted one may be far too long for any integer.
struct BoxNumber
{
    int value;
    bool aboveRange;
};

std::optional<BoxNumber> boxNumber(const QString &text)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return std::nullopt;
    qsizetype first = 0;
    while (first < text.size() && text[first] == QLatin1Char('0'))
        ++first;
    if (text.size() - first > 3)
        return BoxNumber{255, true};
    const int value = text.mid(first).toInt();
    return BoxNumber{value, value > 255};
}

// The key as a typed character: 8 for backspace, nothing for keys that type no character
// (arrows, delete, the clipboard shortcuts), -1 for text of several characters.
std::optional<int> typedCode(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Backspace)
        return 8;
    const QString text = key->text();
    if (text.isEmpty() || (text.size() == 1 && !text.front().isPrint()))
        return std::nullopt;
    return text.size() == 1 ? int(text.front().unicode()) : -1;
}

} // namespace

QString colorHex(ColorValue color)
{
    return QString::number(color, 16).toUpper().rightJustified(6, QLatin1Char('0'));
}

ColorPalette::ColorPalette()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint "));
    setFont(compactFont(font()));
    setCentralWidget(new QWidget(this));
}

void ColorPalette::makeControls()
{
    buildChannel(1, "Red", RGB(255, 0, 0));
    buildChannel(2, "Green", RGB(0, 128, 0));
    buildChannel(3, "Blue", RGB(0, 0, 255));
    RedValue->Click = [this] { RedValue_Click(); };
    GreenValue->Click = [this] { GreenValue_Click(); };
    BlueValue->Click = [this] { BlueValue_Click(); };

    fraValue =
        place(new QGroupBox(QStringLiteral("Selected"), centralWidget()), 90, 1590, 2010, 615);
    picColor = place(new PictureBox(fraValue), 120, 255, 735, 270);
    picColor->setBorderStyle(1);
    cmdSelect = place(new QPushButton(QStringLiteral("Select"), fraValue), 990, 210, 900, 330);
    connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });

    lblValue =
        place(new QLabel(QStringLiteral("Color Value:"), centralWidget()), 90, 2295, 960, 210);
    txtValue = place(new QLineEdit(QStringLiteral("0"), centralWidget()), 1050, 2265, 1050, 270);
    txtValue->setAlignment(Qt::AlignCenter);
}

void ColorPalette::buildChannel(int index, const char *caption, ColorValue captionColor)
{
    const double top = 45 + 510 * (index - 1);
    QLabel *label =
        place(new QLabel(QString::fromLatin1(caption), centralWidget()), 90, top, 900, 210);
    setForeground(label, captionColor);
    (index == 1 ? RedLabel : index == 2 ? GreenLabel : BlueLabel) = label;

    QLineEdit *number =
        place(new QLineEdit(QStringLiteral("0"), centralWidget()), 1500, top - 15, 600, 255);
    setLightGrey(number);
    number->installEventFilter(this);
    connect(number, &QLineEdit::textChanged, this, [this, index] { RGBNumber_Change(index); });
    RGBNumber[index] = number;

    QScrollBar *bar = place(channelBar(centralWidget()), 90, top + 255, 1500, 210);
    connect(bar, &QScrollBar::valueChanged, this, [this, index] { RGBValue_Change(index); });
    RGBValue[index] = bar;

    PictureBox *swatch = place(new PictureBox(centralWidget()), 1680, top + 255, 420, 210);
    swatch->setBorderStyle(1);
    swatch->setBackColor(vbBlack);
    (index == 1 ? RedValue : index == 2 ? GreenValue : BlueValue) = swatch;
}

void ColorPalette::Form_Load()
{
    PlaceToolWindow(this, true);
    setLeft(this, (Screen::Width() - Width(this)) / 2);
    setWidth(this, 2250);
    setHeight(this, 3075);
    RestoreWindowPosition(this);
}

void ColorPalette::RGBValue_Change(int)
{
    const int red = RGBValue[1]->value(), green = RGBValue[2]->value(), blue = RGBValue[3]->value();
    for (int i = 1; i <= 3; ++i)
        RGBNumber[i]->setText(QString::number(RGBValue[i]->value()));
    RedValue->setBackColor(RGB(red, 0, 0));
    GreenValue->setBackColor(RGB(0, green, 0));
    BlueValue->setBackColor(RGB(0, 0, blue));
    picColor->setBackColor(RGB(red, green, blue));
    txtValue->setText(colorHex(picColor->BackColor()));
}

void ColorPalette::RGBNumber_Change(int Index)
{
    QLineEdit *box = RGBNumber[Index];
    const std::optional<BoxNumber> number = boxNumber(box->text());
    if (!number) {
        // Pasted text that is no whole number empties the box, which then counts as 0.
        if (box->text().isEmpty())
            RGBValue[Index]->setValue(0);
        else
            box->setText(QString());
        return;
    }
    if (number->aboveRange)
        box->setText(QStringLiteral("255"));
    RGBValue[Index]->setValue(std::min(number->value, 255));
}

void ColorPalette::RGBNumber_KeyPress(int, int &KeyAscii)
{
    if (KeyAscii != 8 && (KeyAscii < '0' || KeyAscii > '9'))
        KeyAscii = 0;
}

bool ColorPalette::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return Form::eventFilter(watched, event);
    const auto box = std::find(RGBNumber.begin() + 1, RGBNumber.end(), watched);
    const std::optional<int> code = typedCode(static_cast<QKeyEvent *>(event));
    if (box == RGBNumber.end() || !code)
        return false;
    int KeyAscii = *code;
    RGBNumber_KeyPress(int(box - RGBNumber.begin()), KeyAscii);
    return KeyAscii == 0;
}

void ColorPalette::RedValue_Click()
{
    RGBValue[2]->setValue(0);
    RGBValue[3]->setValue(0);
}

void ColorPalette::GreenValue_Click()
{
    RGBValue[1]->setValue(0);
    RGBValue[3]->setValue(0);
}

void ColorPalette::BlueValue_Click()
{
    RGBValue[1]->setValue(0);
    RGBValue[2]->setValue(0);
}

void ColorPalette::cmdSelect_Click()
{
    if (Editor::exists())
        Editor::current().LeftColor->setBackColor(picColor->BackColor());
}
