#include "colour/frmVeCor1.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "colour/frmVeCor2.h"
#include "face/Editor.h"
#include "placement/placement.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Seam.h"
#include "toolkit/twips.h"

int32_t PickedColor = 0;
int16_t PickedRed = 0;
int16_t PickedGreen = 0;
int16_t PickedBlue = 0;

namespace {

QLabel *caption(QWidget *parent, const char *text, QColor colour, double top)
{
    auto *label = place(new QLabel(QString::fromLatin1(text), parent), 1110, top, 555, 255);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

QLabel *valueBox(QWidget *parent, double left, double top, double width)
{
    auto *label = place(new QLabel(parent), left, top, width, 255);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    return label;
}

} // namespace

ColorComponents splitColor(int32_t color)
{
    // C++ division truncates toward zero and the remainder keeps the dividend's sign.
    int32_t blue = color / 65536;
    int32_t rest = color % 65536;
    int32_t green = rest / 256;
    rest %= 256;
    return {int16_t(std::max(rest, 0)), int16_t(std::max(green, 0)), int16_t(std::max(blue, 0))};
}

void SplitPickedColor()
{
    const ColorComponents c = splitColor(PickedColor);
    PickedBlue = c.blue;
    PickedGreen = c.green;
    PickedRed = c.red;
    frmVeCor1 &picker = Forms::get<frmVeCor1>();
    picker.Picture1->setBackColor(RGB(PickedRed, PickedGreen, PickedBlue));
    picker.Lbl_red->setText(QString::number(PickedRed));
    picker.Lbl_green->setText(QString::number(PickedGreen));
    picker.Lbl_blue->setText(QString::number(PickedBlue));
}

frmVeCor1::frmVeCor1()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint "));
    // A compact font, as a tool window's: the controls are laid out in fixed twips.
    QFont compact = font();
    compact.setPointSizeF(7.5);
    setFont(compact);
    setCentralWidget(new QWidget(this));
    QWidget *client = centralWidget();

    Btn_select = place(new QPushButton(QStringLiteral("Initialize Color Search"), client), 120, 120,
                       2415, 375);
    Btn_select->setToolTip(QStringLiteral("Pick a color from desktop"));
    Picture1 = place(new PictureBox(client), 120, 600, 870, 735);
    Picture1->setBorderStyle(1);
    Picture1->setBackColor(vbBlack);
    Picture1->setToolTip(QStringLiteral("Actual color"));
    Label7 = caption(client, "Red", QColor(255, 0, 0), 600);
    Label8 = caption(client, "Green", QColor(0, 128, 0), 900);
    Label9 = caption(client, "Blue", QColor(0, 0, 255), 1200);
    Lbl_red = valueBox(client, 1680, 600, 855);
    Lbl_green = valueBox(client, 1680, 900, 855);
    Lbl_blue = valueBox(client, 1680, 1200, 855);
    Lbl_long = valueBox(client, 1110, 1500, 1425);
    Lbl_long->setAlignment(Qt::AlignCenter);
    Lbl_long->setToolTip(QStringLiteral("Long integer for selected color"));
    cmdLevaCor = place(new QPushButton(client), 120, 1440, 870, 375);
    cmdLevaCor->setToolTip(QStringLiteral("Fastens chosen color"));
    cmdLevaCor->hide();
    connect(Btn_select, &QPushButton::clicked, this, [this] { Btn_select_Click(); });
    connect(cmdLevaCor, &QPushButton::clicked, this, [this] { cmdLevaCor_Click(); });
}

void frmVeCor1::Form_Load()
{
    PlaceToolWindow(this, true);
    setWidth(this, 2730);
    setHeight(this, 2370);
    setLeft(this, (Screen::Width() - Width(this)) / 2);
    RestoreWindowPosition(this);
    if (Forms::loaded<frmVeCor2>() && Forms::get<frmVeCor2>().isVisible())
        Forms::unload<frmVeCor2>();
}

void frmVeCor1::Form_Unload(int &Cancel)
{
    Cancel = 0;
    Forms::unload<frmVeCor2>();
}

void frmVeCor1::Btn_select_Click()
{
    // Taken before the snapshot window shows, so the still holds the desktop as it was.
    const std::optional<ScreenStill> still = seam().grabScreen();
    if (!still) {
        MsgBox(QStringLiteral("  The colours of other windows cannot be read on this desktop.  "),
               vbOKOnly | vbExclamation, QStringLiteral("Inform the User!"));
        return;
    }
    Forms::get<frmVeCor2>().showStill(*still);
    Btn_select->setEnabled(false);
}

void frmVeCor1::cmdLevaCor_Click()
{
    Btn_select->setEnabled(true);
    cmdLevaCor->hide();
    if (Editor::exists())
        Editor::current().LeftColor->setBackColor(Picture1->BackColor());
}

void frmVeCor1::showPickedColor()
{
    Lbl_long->setText(QString::number(PickedColor));
    SplitPickedColor();
}
