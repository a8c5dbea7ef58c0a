#include "colour/frmDesenho.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "colour/controls.h"
#include "face/Editor.h"
#include "placement/placement.h"

namespace {

constexpr int RampBands = 63;

int32_t darker(int32_t channel)
{
    channel -= 4;
    return channel < 1 ? 0 : channel;
}

QLineEdit *greyBox(const QString &text, QWidget *parent)
{
    auto *box = new QLineEdit(text, parent);
    setLightGrey(box);
    return box;
}

} // namespace

std::vector<RampBand> rampBands(double height, int32_t red, int32_t green, int32_t blue,
                                bool fromTop)
{
    const int16_t step = toInt16(height / RampBands);
    int y1 = fromTop ? 0 : toInt16(height - step);
    int y2 = y1 + step;
    std::vector<RampBand> bands;
    bands.reserve(RampBands);
    for (int k = 0; k < RampBands; ++k) {
        bands.push_back({y1, y2, RGB(red, green, blue)});
        red = darker(red);
        green = darker(green);
        blue = darker(blue);
        y1 = fromTop ? y2 : y1 - step;
        y2 = y1 + step;
    }
    return bands;
}

void PaintColorRamp(PictureBox *box, int32_t red, int32_t green, int32_t blue, bool fromTop)
{
    const int16_t width = toInt16(Width(box));
    for (const RampBand &band : rampBands(Height(box), red, green, blue, fromTop))
        box->LineBox(0, band.y1, width, band.y2, band.color, true);
}

frmDesenho::frmDesenho()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint"));
    setFont(compactFont(font()));
    setCentralWidget(new QWidget(this));
}

void frmDesenho::makeControls()
{
    Frame1 = place(new QGroupBox(centralWidget()), 60, 0, 2370, 1680);
    Slider1 = buildChannel(1, RedLabel, Label1, Picture1);
    Slider2 = buildChannel(2, GreenLabel, Label2, Picture2);
    Slider3 = buildChannel(3, BlueLabel, Label3, Picture3);
    Slider3->setValue(255);
    Label3->setText(QStringLiteral("255"));
    connect(Slider1, &QScrollBar::valueChanged, this, [this] { Slider1_Change(); });
    connect(Slider2, &QScrollBar::valueChanged, this, [this] { Slider2_Change(); });
    connect(Slider3, &QScrollBar::valueChanged, this, [this] { Slider3_Change(); });

    fraValue =
        place(new QGroupBox(QStringLiteral("Composite:"), centralWidget()), 60, 1740, 2370, 960);
    Check1 = place(new QCheckBox(QStringLiteral("Top"), fraValue), 120, 270, 900, 240);
    Check1->setChecked(true);
    connect(Check1, &QCheckBox::stateChanged, this, [this] { Check1_Click(); });
    cmdSelect = place(new QPushButton(QStringLiteral("Background"), fraValue), 120, 570, 1200, 330);
    connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });
    Ikon = place(new PictureBox(fraValue), 1710, 270, 540, 540);
    Ikon->setBorderStyle(1);

    lblValue =
        place(new QLabel(QStringLiteral("Color Value:"), centralWidget()), 90, 2805, 930, 210);
    Label5 = place(greyBox(QStringLiteral("0,0,255"), centralWidget()), 1020, 2775, 1410, 270);
    Label5->setAlignment(Qt::AlignCenter);
}

QScrollBar *frmDesenho::buildChannel(int index, QLabel *&label, QLineEdit *&number,
                                     PictureBox *&box)
{
    static const char *const captions[] = {"Red", "Green", "Blue"};
    const double top = 195 + 480 * (index - 1);
    label = place(new QLabel(QString::fromLatin1(captions[index - 1]), Frame1), 90, top, 900, 210);
    number = place(greyBox(QStringLiteral("0"), Frame1), 1620, top - 15, 660, 255);
    box = place(new PictureBox(Frame1), 1785, top + 270, 375, 135);
    box->setBorderStyle(1);
    box->setBackColor(vbBlack);
    return place(channelBar(Frame1), 90, top + 240, 1470, 210);
}

void frmDesenho::Form_Load()
{
    PlaceToolWindow(this, true);
    setWidth(this, 2490);
    setHeight(this, 3645);
    setLeft(this, (Screen::Width() - Width(this)) / 2);
}

bool frmDesenho::direction() const
{
    return Check1->checkState() != Qt::Unchecked;
}

void frmDesenho::paintComposite()
{
    PaintColorRamp(Ikon, Slider1->value(), Slider2->value(), Slider3->value(), direction());
}

void frmDesenho::writeComposite()
{
    Label5->setText(QStringLiteral("%1, %2, %3")
                        .arg(Slider1->value())
                        .arg(Slider2->value())
                        .arg(Slider3->value()));
}

void frmDesenho::Slider1_Change()
{
    Label1->setText(QString::number(Slider1->value()));
    PaintColorRamp(Picture1, Slider1->value(), 0, 0, direction());
    paintComposite();
    writeComposite();
}

void frmDesenho::Slider2_Change()
{
    Label2->setText(QString::number(Slider2->value()));
    PaintColorRamp(Picture2, 0, Slider2->value(), 0, direction());
    paintComposite();
    writeComposite();
}

void frmDesenho::Slider3_Change()
{
    Label3->setText(QString::number(Slider3->value()));
    PaintColorRamp(Picture3, 0, 0, Slider3->value(), direction());
    paintComposite();
    writeComposite();
}

void frmDesenho::Check1_Click()
{
    PaintColorRamp(Picture1, Slider1->value(), 0, 0, direction());
    PaintColorRamp(Picture2, 0, Slider2->value(), 0, direction());
    PaintColorRamp(Picture3, 0, 0, Slider3->value(), direction());
    paintComposite();
    writeComposite();
}

void frmDesenho::Picture3_Paint()
{
    PaintColorRamp(Picture3, 0, 0, 255, true);
    PaintColorRamp(Ikon, 0, 0, 255, true);
}

void frmDesenho::cmdSelect_Click()
{
    paintComposite();
    if (!Editor::exists())
        return;
    Editor &main = Editor::current();
    const QImage ramp = Ikon->Image();
    main.changeIcon([&] { main.Ikon->setPicture(ramp); });
}

void frmDesenho::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    if (!uncovered_)
        return;
    uncovered_ = false;
    // The channel boxes keep nothing while off the screen; only the blue one draws itself back.
    Picture1->Cls();
    Picture2->Cls();
    Picture3->Cls();
    Picture3_Paint();
}

void frmDesenho::hideEvent(QHideEvent *event)
{
    Form::hideEvent(event);
    uncovered_ = true;
}
