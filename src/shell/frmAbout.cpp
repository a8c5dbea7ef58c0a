#include "shell/frmAbout.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "face/project.h"
#include "placement/placement.h"
#include "toolkit/PictureBox.h"
#include "toolkit/ShellExecute.h"
#include "toolkit/twips.h"

namespace {

const QSize ClientSize(twipsToPixels(6300), twipsToPixels(3690));

QString notice()
{
    return QStringLiteral("Orvel Pixmint\n"
                          "Version 2.1.0\n\n"
                          "An editor for 32 x 32 icons: draw them pixel by pixel, take them "
                          "from pictures, programs and the screen, and save them as icons or "
                          "bitmaps.\n\n"
                          "Free software, under the licence\n"
                          "GPL-3.0-or-later: see LICENSE.\n"
                          "\u00a9 Orvel Orvelcraft");
}

// The home page, a dash and the mail address, the address beginning over its hot spot.
QString contactLine(const QFont &font)
{
    const QFontMetrics metrics(font);
    const auto padTo = [&metrics](QString &line, int x) {
        while (metrics.horizontalAdvance(line + QLatin1Char(' ')) <= x)
            line += QLatin1Char(' ');
    };
    QString line = QString::fromLatin1(project::HomePage).remove(QStringLiteral("https://"));
    const int mailAt = twipsToPixels(3360 - 480) + 4;
    padTo(line, (metrics.horizontalAdvance(line) + mailAt - metrics.horizontalAdvance('-')) / 2);
    line += QLatin1Char('-');
    padTo(line, mailAt);
    return line + QString::fromLatin1(project::MailAddress);
}

// The artwork drawn from the top-left corner, its last column carried on to the client area's
// right edge: the plain ramp there continues without a grey strip beside it.
QPixmap artwork()
{
    const QPixmap art(QStringLiteral(":/about/artwork.png"));
    QPixmap wide(std::max(art.width(), ClientSize.width()), art.height());
    QPainter p(&wide);
    p.drawPixmap(0, 0, art);
    // The column next to the last: the last one is the edge of the drawn band below.
    if (wide.width() > art.width() && art.width() > 1)
        p.drawPixmap(QRect(art.width(), 0, wide.width() - art.width(), art.height()), art,
                     QRect(art.width() - 2, 0, 1, art.height()));
    return wide;
}

QLabel *hotSpot(QWidget *parent, double left)
{
    auto *spot = place(new QLabel(parent), left, 3360, 2535, 255);
    // Moves reach it with no button held, for the pointer to change over it.
    spot->setMouseTracking(true);
    return spot;
}

} // namespace

frmAbout::frmAbout()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("About Orvel Pixmint"));
    setFixedSize(ClientSize);
    Picture = new QLabel(this);
    Picture->setPixmap(artwork());
    Picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(Picture);

    Label2 = place(new QLabel(notice(), Picture), 2520, 300, 3480, 2580);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QFont times(QStringLiteral("Times New Roman"));
    times.setPointSizeF(9);
    Label3 = place(new QLabel(contactLine(times), Picture), 480, 3360, 5265, 225);
    Label3->setFont(times);
    QPalette red = Label3->palette();
    red.setColor(QPalette::WindowText, toQColor(0x000000FF));
    Label3->setPalette(red);

    Label4 = hotSpot(Picture, 360);
    Label5 = hotSpot(Picture, 3360);
    for (QLabel *spot : {Label4, Label5})
        spot->installEventFilter(this);
}

void frmAbout::Form_Load()
{
    PlaceToolWindow(this, true);
    centre();
}

void frmAbout::centre()
{
    const auto toCentre = [this] {
        setLeft(this, (Screen::Width() - Width(this)) / 2);
        setTop(this, (Screen::Height() - Height(this)) / 2);
    };
    // Once now, by the window alone; again once the window manager has framed it, when what was
    // given before as the window's size has become its frame's.
    toCentre();
    whenFramed(this, [this, toCentre] {
        setFixedSize(ClientSize);
        toCentre();
    });
}

void frmAbout::Label4_MouseMove(int, int, double, double)
{
    Label4->setCursor(LinkCursor());
}

void frmAbout::Label5_MouseMove(int, int, double, double)
{
    Label5->setCursor(LinkCursor());
}

void frmAbout::Label4_Click()
{
    PlaceToolWindow(this, false);
    // A link that cannot be opened passes silently.
    ShellExecute(QStringLiteral("Open"), QString::fromLatin1(project::HomePage), QString(),
                 QString());
}

void frmAbout::Label5_Click()
{
    PlaceToolWindow(this, false);
    ShellExecute(QStringLiteral("Open"),
                 QStringLiteral("mailto:") + QString::fromLatin1(project::MailAddress), QString(),
                 QString());
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    const bool home = watched == Label4;
    if (event->type() == QEvent::MouseMove) {
        const auto *e = static_cast<QMouseEvent *>(event);
        const int buttons = mouseButtons(e);
        const int shift = shiftState(e->modifiers());
        const double x = pixelsToTwips(int(e->position().x()));
        const double y = pixelsToTwips(int(e->position().y()));
        if (home)
            Label4_MouseMove(buttons, shift, x, y);
        else
            Label5_MouseMove(buttons, shift, x, y);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        // A click is a left button let go over the spot it was pressed on.
        const auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton ||
            !static_cast<QWidget *>(watched)->rect().contains(e->position().toPoint()))
            return Form::eventFilter(watched, event);
        if (home)
            Label4_Click();
        else
            Label5_Click();
    }
    return Form::eventFilter(watched, event);
}
