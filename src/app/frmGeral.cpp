#include "app/frmGeral.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRawFont>
#include <QShortcut>

#include "app/mdlTool.h"
#include "app/processes.h"
#include "colour/ColorPalette.h"
#include "colour/frmDesenho.h"
#include "colour/frmVeCor1.h"
#include "colour/frmVeCor2.h"
#include "filemanager/frmCopy.h"
#include "formats/PixelImage.h"
#include "toolkit/twips.h"
#include "toolwindow/frmToolBar.h"

namespace {

const QString kCaptionLoad = QStringLiteral("Orvel Pixmint 2.1.0");
const QString kCaptionNormal = QStringLiteral("Pixmint 2.1.0");
const QString kCaptionMaximised =
    QStringLiteral("Orvel Pixmint - Version: 2.10 - Orvel Orvelcraft");

const char *const kModeTips[ModeButtonCount] = {
    "Pencil Mode",
    "Line Mode",
    "Rectangle Mode",
    "Filled Rectangle Mode",
    "Circle Mode",
    "Filled Circle Mode",
    "Text Mode",
    "Color Fill Mode",
    "Capture (Select Region) Mode",
};

// Each number of a ruler centred in its own 10-pixel cell, so that it stands beside its row or
// under its column whatever the font's advance: the window's font at 8 pixels serves. The glyphs
// are placed here and drawn as one run: laying out the 64 numbers as text, one by one, was a
// fifth of the first frame's work. The rulers' own font is left as it is, so that the font is
// only looked up once they are painted, after the splash.
void paintRuler(QWidget *w, const QStringList &numbers, bool vertical)
{
    QFont ruler = w->window()->font();
    ruler.setPixelSize(8);
    const QRawFont font = QRawFont::fromFont(ruler);
    const qreal height = font.ascent() + font.descent();
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (int i = 0; i < numbers.size(); ++i) {
        const QList<quint32> own = font.glyphIndexesForString(numbers[i]);
        const QList<QPointF> advances = font.advancesForGlyphIndexes(own);
        qreal width = 0;
        for (const QPointF &a : advances)
            width += a.x();
        const QRectF cell =
            vertical ? QRectF(0, i * 10, w->width(), 10) : QRectF(i * 10, 0, 10, w->height());
        QPointF at(cell.x() + (cell.width() - width) / 2,
                   cell.y() + (cell.height() - height) / 2 + font.ascent());
        for (qsizetype g = 0; g < own.size(); ++g) {
            glyphs.append(own[g]);
            positions.append(at);
            at.rx() += advances[g].x();
        }
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    QPainter p(w);
    p.setPen(w->palette().color(QPalette::WindowText));
    p.drawGlyphRun(QPointF(0, 0), run);
}

// The row ruler: its caption wraps to one number per row.
class RowRuler : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        paintRuler(this, text().split(' ', Qt::SkipEmptyParts), true);
    }
};

// The column ruler: a read-only text box of two digits per column.
class ColumnRuler : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStringList pairs;
        for (qsizetype i = 0; i + 1 < text().size(); i += 2)
            pairs.append(text().mid(i, 2));
        paintRuler(this, pairs, false);
    }
};

const QCursor &handCursor()
{
    static const QCursor cursor = LinkCursor();
    return cursor;
}

} // namespace

frmGeral::frmGeral()
    : Form(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowMaximizeButtonHint)
{
    buildControls();
    buildMenus();
    wireEvents();
}

void frmGeral::buildControls()
{
    auto *body = new QWidget(this);
    body->setObjectName(QStringLiteral("body"));
    body->setMouseTracking(true);
    setCentralWidget(body);

    txtFormat = new QLineEdit(body);
    txtFormat->hide();
    tmrLogo = new Timer(this);
    tmrLogo->setInterval(1);

    lblMsg = new QLabel(QStringLiteral("Untitled"), body);
    lblAviso = new QLabel(QStringLiteral("."), body);
    lblAviso->hide();
    imgColar = new QLabel(body);
    imgColar->setPixmap(QPixmap::fromImage(resourcePicture(QStringLiteral(":/modes/paste.png"))));
    imgColar->hide();

    pnlBarra = new SSPanel(body);
    pnlBarra->setMouseTracking(true);

    picCap = place(new PictureBox(pnlBarra, PictureBox::ScaleMode::Pixels), 0, 0, 585, 585);
    // Copy and Paste carry transparency.
    picCap->setKeepsTransparency(true);
    picCap->setBackColor(vbWhite);
    picCap->hide();
    picLimpa = place(new PictureBox(pnlBarra, PictureBox::ScaleMode::Pixels), 0, 0, 540, 540);
    picLimpa->setBackColor(vbWhite);
    picLimpa->hide();

    buildCanvasPanel();
    buildModeButtons();
    buildModePanel();
    buildIconPanel();
    buildTextPanel();
    buildColourPanel();
    buildSplash();

    lblMsg->raise();
    lblAviso->raise();

    for (QWidget *w : {static_cast<QWidget *>(body), static_cast<QWidget *>(pnlBarra)})
        w->setCursor(handCursor());
    for (QWidget *w : {static_cast<QWidget *>(pnlMaster), static_cast<QWidget *>(pic3DTool),
                       static_cast<QWidget *>(pic3DMode), static_cast<QWidget *>(pic3dIco),
                       static_cast<QWidget *>(fraTexto), static_cast<QWidget *>(pic3DColor),
                       static_cast<QWidget *>(pnlMaster2)})
        w->setCursor(Qt::ArrowCursor);
}

// The canvas panel: row ruler, grid, column ruler and the coordinates label.
void frmGeral::buildCanvasPanel()
{
    pnlMaster = place(new SSPanel(pnlBarra), 0, 0, 5370, 5580);
    lblNumero1 = place(new RowRuler(pnlMaster), 120, 120, 270, 4832);
    lblNumero1->setText(QStringLiteral("00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 "
                                       "19 20 21 22 23 24 25 26 27 28 29 30 31"));
    grid = place(new PictureBox(pnlMaster), 420, 120, 4815, 4832);
    grid->setBackColor(vbWindowBackground);
    // The canvas, not the text box, has the focus at start: focus on the text picks Text mode.
    grid->setFocusPolicy(Qt::StrongFocus);
    grid->setFocus();
    lblNumero2 = place(new ColumnRuler(pnlMaster), 420, 120 + 4832, 4815, 255);
    lblNumero2->setText(
        QStringLiteral("0001020304050607080910111213141516171819202122232425262728293031"));
    lblNumero2->setReadOnly(true);
    lblNumero2->setFrame(false);
    lblNumero2->setFocusPolicy(Qt::NoFocus);
    lblCordenadas = place(new QLabel(pnlMaster), 420, 5265, 2400, 240);
    // Black over whatever is behind it; a palette rather than a style sheet, which would set up
    // the style sheet machinery for one hidden label.
    lblCordenadas->setAttribute(Qt::WA_TranslucentBackground);
    QPalette coordinates = lblCordenadas->palette();
    coordinates.setColor(QPalette::WindowText, Qt::black);
    lblCordenadas->setPalette(coordinates);
    lblCordenadas->hide();

    shCapture = new Shape(grid, Shape::Rectangle, vbBlue);
    shRect = new Shape(grid, Shape::Rectangle, vbWindowText);
    shCircle = new Shape(grid, Shape::Circle, vbWindowText);
    shLine = new LineShape(grid, vbWindowText);
    grid->addBand(shCapture);
    grid->addBand(shRect);
    grid->addBand(shCircle);
    grid->addBand(shLine);
}

// The mode buttons, three by three.
void frmGeral::buildModeButtons()
{
    pic3DTool = place(new SSPanel(pnlBarra), 0, 0, 1950, 1950);
    for (int i = 0; i < ModeButtonCount; ++i) {
        auto *b = new PictureBox(pic3DTool, PictureBox::ScaleMode::Pixels);
        b->setBorderStyle(1);
        place(b, 150 + (i % 3) * 585, 150 + (i / 3) * 585, 510, 510);
        b->setPicture(resourcePicture(QStringLiteral(":/modes/mode%1.png").arg(i)));
        b->setToolTip(QString::fromLatin1(kModeTips[i]));
        b->setFocusPolicy(Qt::ClickFocus);
        picModeSel[i] = b;
    }
}

void frmGeral::buildModePanel()
{
    pic3DMode = place(new SSPanel(pnlBarra), 0, 0, 840, 840);
    picMode = place(new PictureBox(pic3DMode, PictureBox::ScaleMode::Pixels), 165, 165, 510, 510);
    picMode->setBorderStyle(1);
    picMode->setToolTip(QStringLiteral("Displays Selected Mode"));
}

void frmGeral::buildIconPanel()
{
    pic3dIco = place(new SSPanel(pnlBarra), 0, 0, 840, 840);
    Ikon = place(new PictureBox(pic3dIco, PictureBox::ScaleMode::Pixels), 165, 165, 510, 510);
    Ikon->setBorderStyle(1);
    // An opened icon's transparent background stays so when it is saved again.
    Ikon->setKeepsTransparency(true);
    Ikon->setBackColor(vbWindowBackground);
    Ikon->Font = QFont(QStringLiteral("MS Sans Serif"));
    Ikon->Font.setPointSizeF(8.25);
    Ikon->Font.setBold(true);
}

void frmGeral::buildTextPanel()
{
    fraTexto = place(new SSPanel(pnlBarra, QStringLiteral("TEXT")), 0, 0, 1950, 900);
    fraTexto->hide(); // "Open Text" shows it
    txtAlpha = place(new QLineEdit(fraTexto), 150, 375, 1650, 375);
    txtAlpha->setToolTip(QStringLiteral("Text Click-me"));
}

// The colour panel: the two button colours, the preview and the default palette.
void frmGeral::buildColourPanel()
{
    pic3DColor = place(new SSPanel(pnlBarra), 0, 0, 7500, 960);
    LeftColor = place(new PictureBox(pic3DColor), 150, 135, 420, 420);
    LeftColor->setBorderStyle(1);
    LeftColor->setBackColor(vbBlack);
    LeftColor->setToolTip(QStringLiteral("Left Button Color"));
    RightColor = place(new PictureBox(pic3DColor), 390, 375, 420, 420);
    RightColor->setBorderStyle(1);
    RightColor->setBackColor(vbWindowBackground);
    RightColor->setToolTip(QStringLiteral("Right Button Color"));
    LeftColor->raise();
    // The button colours appear when the splash starts rolling up.
    LeftColor->hide();
    RightColor->hide();
    picVeCor = place(new PictureBox(pic3DColor), 960, 135, 420, 660);
    picVeCor->setBorderStyle(1);
    picVeCor->hide();
    picTransparent = place(new PictureBox(pic3DColor), 600, 135, 225, 225);
    picTransparent->setBorderStyle(1);
    picTransparent->setBackColor(vbTransparent);
    picTransparent->setToolTip(QStringLiteral("Transparent: Left or Right Button"));
    picTransparent->hide();
    picDefaltColor = place(new PictureBox(pic3DColor), 1530, 135, 6000, 660);
    picDefaltColor->setBorderStyle(1);
    picDefaltColor->setBackColor(vbButtonFace);
}

// The splash, over everything else until it rolls up.
void frmGeral::buildSplash()
{
    pnlMaster2 = new SSPanel(pnlBarra);
    picLogo = place(new PictureBox(pnlMaster2), 0, 0, 4650, 4500);
    picLogo->setBorderStyle(1);
    picLogo->setBackColor(vbWhite);
    picLogo->setPicture(resourcePicture(QStringLiteral(":/splash/logo.png")));
    picLogo->setToolTip(QStringLiteral("Click-me!"));
    Image2 = place(new QLabel(picLogo), 240, 1650, 810, 585);
    Image2->setPixmap(QPixmap::fromImage(resourcePicture(QStringLiteral(":/splash/emblem.png"))));
    Label4 = place(new QLabel(QStringLiteral("Orvel Orvelcraft"), picLogo), 1200, 1740, 3000, 390);
    Label4->setToolTip(QStringLiteral("Click-Me!"));
    QFont makerFont = Label4->font();
    makerFont.setPointSizeF(makerFont.pointSizeF() * 1.3);
    makerFont.setBold(true);
    Label4->setFont(makerFont);
    Label1 =
        place(new QLabel(QStringLiteral("Applications in Use:"), picLogo), 240, 2430, 4170, 300);
    List1 = place(new QListWidget(picLogo), 240, 2760, 4170, 1500);
    List1->setFocusPolicy(Qt::NoFocus);
    pnlMaster2->raise();
}

QAction *frmGeral::menuEntry(QMenu *menu, const char *caption, const char *shortcut)
{
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    if (shortcut) {
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        // Also while a tool window is active; a focused text box still takes its own keys first.
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    return a;
}

void frmGeral::buildMenus()
{
    buildFileMenu();
    buildEditMenu();
    buildGradMenu();
    buildColorsMenu();
    buildToolsMenu();
    buildOptionsMenu();
    buildAboutMenu();
    // Locked while the splash is up.
    setEditingMenusEnabled(false);
}

void frmGeral::setEditingMenusEnabled(bool enabled)
{
    for (QMenu *m : {mnuOptions, mnuOpen, mnuEdit, mnuColors, mnuFerramentas, mnuGradeOption})
        m->menuAction()->setEnabled(enabled);
}

void frmGeral::wireEvents()
{
    tmrLogo->onTimer = [this] { tmrLogo_Timer(); };

    for (int i = 0; i < ModeButtonCount; ++i)
        picModeSel[i]->Click = [this, i] { picModeSel_Click(i); };

    grid->MouseDown = [this](int b, int s, double x, double y) { grid_MouseDown(b, s, x, y); };
    grid->MouseMove = [this](int b, int s, double x, double y) { grid_MouseMove(b, s, x, y); };
    grid->MouseUp = [this](int b, int s, double x, double y) { grid_MouseUp(b, s, x, y); };

    picDefaltColor->MouseMove = [this](int b, int s, double x, double y) {
        picDefaltColor_MouseMove(b, s, x, y);
    };
    picDefaltColor->MouseDown = [this](int b, int s, double x, double y) {
        picDefaltColor_MouseDown(b, s, x, y);
    };
    picTransparent->MouseDown = [this](int b, int s, double x, double y) {
        picTransparent_MouseDown(b, s, x, y);
    };
    picLogo->Click = [this] { picLogo_Click(); };

    setDragDropHandler(
        pnlBarra, [this](QWidget *source, double x, double y) { pnlBarra_DragDrop(source, x, y); });

    for (QObject *o : std::initializer_list<QObject *>{centralWidget(), pnlBarra, txtAlpha, Label1,
                                                       Label4, Image2})
        o->installEventFilter(this);

    // F2 and F3 reach the window whichever control has the focus; other keys pass on.
    for (int key : {int(Qt::Key_F2), int(Qt::Key_F3)}) {
        auto *s = new QShortcut(QKeySequence(key), this);
        connect(s, &QShortcut::activated, this,
                [this, key] { Form_KeyDown(key == Qt::Key_F2 ? vbKeyF2 : vbKeyF3, 0); });
    }
}

bool frmGeral::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove && (watched == centralWidget() || watched == pnlBarra)) {
        auto *e = static_cast<QMouseEvent *>(event);
        const double x = pixelsToTwips(int(e->position().x()));
        const double y = pixelsToTwips(int(e->position().y()));
        if (watched == pnlBarra)
            pnlBarra_MouseMove(mouseButtons(e), shiftState(e->modifiers()), x, y);
        else
            Form_MouseMove(mouseButtons(e), shiftState(e->modifiers()), x, y);
    } else if (type == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == txtAlpha)
            txtAlpha_Click();
        else if (watched == Label1)
            Label1_Click();
        else if (watched == Label4)
            Label4_Click();
        else if (watched == Image2)
            Image2_Click();
    } else if (type == QEvent::FocusIn && watched == txtAlpha) {
        // Coming back to the window or from a menu is not the user moving to the text.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtAlpha_GotFocus();
    }
    return Form::eventFilter(watched, event);
}

void frmGeral::layOutInside()
{
    const double innerW = pixelsToTwips(width());
    const double innerH = pixelsToTwips(height() - menuBar()->sizeHint().height());

    // The outer panel, centred.
    const double barraW = 0.98 * innerW;
    const double barraH = 0.98 * innerH;
    Move(pnlBarra, (innerW - barraW) / 2, (innerH - barraH) / 2, barraW, barraH);
    layoutPanels();

    // The splash panel and its picture, centred.
    const double splashW = 0.9 * innerW;
    const double splashH = 0.88 * innerH;
    Move(pnlMaster2, (barraW - splashW) / 2, (barraH - splashH) / 2, splashW, splashH);
    setTop(picLogo, (Height(pnlMaster2) - Height(picLogo)) / 2);
    setLeft(picLogo, (Width(pnlMaster2) - Width(picLogo)) / 2);
}

void frmGeral::Form_Load()
{
    // Nearly the whole screen, frame included.
    setWidth(this, Screen::Width() - 100);
    setHeight(this, Screen::Height() - 100);
    // The panels laid out inside, and again once the window manager's frame has taken its room
    // from the inner size.
    layOutInside();
    whenFramed(this, [this] { layOutInside(); });

    // No Close command: the window flags leave the close button out.
    // Centred across, a fixed way down, under the start-up caption.
    setLeft(this, (Screen::Width() - Width(this)) / 2);
    setTop(this, 400);
    setCaption(kCaptionLoad);

    // The pencil, and the grid with its bars.
    picModeSel_Click(int(Mode::Pencil));
    mnuGrade_Click();

    // What the user does not see waits for the first frame, in this sequence's order: the tool
    // windows that the first resize loads, all hidden, and the applications running now (the
    // process table is slow to walk; the list is not refreshed).
    whenOnScreen(this, [this] {
        onScreen_ = true;
        hideToolWindows();
        List1->addItems(runningApplications());
    });
    // The panels' frame style as last saved.
    readFrameStyle();
}

// The inner panels keep their sizes; as a block they sit in the middle of the outer panel.
void frmGeral::layoutPanels()
{
    const double gap = 180;
    const double toolsW = Width(pic3DTool);
    const double blockW = Width(pnlMaster) + gap + toolsW;
    const double blockH = Height(pnlMaster) + gap + Height(pic3DColor);
    const double left = std::max(120.0, (Width(pnlBarra) - blockW) / 2);
    const double top = std::max(120.0, (Height(pnlBarra) - blockH) / 2);
    const double toolsLeft = left + Width(pnlMaster) + gap;

    setLeft(pnlMaster, left);
    setTop(pnlMaster, top);
    setLeft(pic3DTool, toolsLeft);
    setTop(pic3DTool, top);
    const double row2 = top + Height(pic3DTool) + gap;
    setLeft(pic3DMode, toolsLeft);
    setTop(pic3DMode, row2);
    setLeft(pic3dIco, toolsLeft + toolsW - Width(pic3dIco));
    setTop(pic3dIco, row2);
    setLeft(fraTexto, toolsLeft);
    setTop(fraTexto, row2 + Height(pic3DMode) + gap);
    // The colour panel spans the window, so that the default palette, which centres itself by
    // the window's width, sits in the middle of it.
    setLeft(pic3DColor, 120);
    setWidth(pic3DColor, Width(pnlBarra) - 240);
    setTop(pic3DColor, top + Height(pnlMaster) + gap);

    const double msgTop = Top(pnlBarra) + Height(pnlBarra) - 420;
    Move(lblMsg, Left(pnlBarra) + left, msgTop, blockW, 300);
    Move(lblAviso, Left(pnlBarra) + Width(pnlBarra) - 300, msgTop, 150, 300);
}

void frmGeral::Form_Resize()
{
    if (WindowState() == vbMaximized) {
        setCaption(kCaptionMaximised);
        lblAviso->setVisible(true);
        return;
    }
    setCaption(kCaptionNormal);
    // Before the first frame the load sequence's deferred work hides them.
    if (onScreen_)
        hideToolWindows();
}

void frmGeral::hideToolWindows()
{
    Forms::get<frmToolBar>().Hide();
    Forms::get<ColorPalette>().Hide();
    Forms::get<frmVeCor1>().Hide();
    Forms::get<frmVeCor2>().Hide();
    Forms::get<frmCopy>().Hide();
    Forms::get<frmDesenho>().Hide();
}

void frmGeral::Form_Unload(int &Cancel)
{
    Cancel = mayLeave() ? 0 : 1;
    if (Cancel)
        return;
    Forms::unload<ColorPalette>();
    Forms::unload<frmToolBar>();
    Forms::unload<frmVeCor1>();
    Forms::unload<frmCopy>();
    QCoreApplication::quit();
}

void frmGeral::Form_KeyDown(int KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == vbKeyF2)
        setWindowState(vbMinimized);
    else if (KeyCode == vbKeyF3)
        setWindowState(vbMaximized);
}

void frmGeral::Form_MouseMove(int Button, int Shift, double X, double Y)
{
    pnlBarra_MouseMove(Button, Shift, X, Y);
    CheckClipboard();
}

void frmGeral::pnlBarra_MouseMove(int, int, double, double)
{
    picVeCor->hide();
    lblCordenadas->hide();
    setCursor(handCursor());
}

void frmGeral::pnlBarra_DragDrop(QWidget *Source, double X, double Y)
{
    setLeft(Source, X);
    setTop(Source, Y);
}

void frmGeral::picLogo_Click()
{
    StartLogoRollUp();
}
void frmGeral::Image2_Click()
{
    StartLogoRollUp();
}
void frmGeral::Label4_Click()
{
    StartLogoRollUp();
}

void frmGeral::Label1_Click()
{
    StartLogoRollUp();
}

void frmGeral::StartLogoRollUp()
{
    tmrLogo->setEnabled(true);
    LeftColor->setVisible(true);
    RightColor->setVisible(true);
    picTransparent->setVisible(true);
}

void frmGeral::tmrLogo_Timer()
{
    if (setHeight(picLogo, Height(picLogo) - 150))
        return;
    finishRollUp();
}

void frmGeral::finishRollUp()
{
    GradiendColor();
    picLogo->hide();
    pnlMaster2->hide();
    setEditingMenusEnabled(true);
    CheckClipboard();
    tmrLogo->setEnabled(false);
}

bool frmGeral::splashShown() const
{
    return pnlMaster2->isVisibleTo(const_cast<frmGeral *>(this));
}

void frmGeral::picDefaltColor_MouseMove(int, int, double X, double Y)
{
    lblCordenadas->hide();
    const int32_t c = picDefaltColor->Point(X, Y);
    if (c < 0)
        return;
    picVeCor->show();
    picVeCor->setBackColor(ColorValue(c));
}

void frmGeral::picDefaltColor_MouseDown(int Button, int, double X, double Y)
{
    const int32_t c = picDefaltColor->Point(X, Y);
    if (c < 0)
        return;
    if (Button == 1)
        LeftColor->setBackColor(ColorValue(c));
    else if (Button == 2)
        RightColor->setBackColor(ColorValue(c));
}

void frmGeral::picTransparent_MouseDown(int Button, int, double, double)
{
    (Button == 1 ? LeftColor : RightColor)->setBackColor(vbTransparent);
}

void frmGeral::txtAlpha_Click()
{
    cd.Flags = CommonDialog::cdlCFBoth | CommonDialog::cdlCFEffects;
    cd.FontName = QStringLiteral("Ms Sans Serif");
    // In the text's own style, so that the dialog offers its bold face when the text is bold.
    cd.FontBold = Ikon->Font.bold();
    cd.FontItalic = Ikon->Font.italic();
    // The colour offered after the font is the text's own, which a cancel keeps.
    cd.Color = fromQColor(txtAlpha->palette().color(QPalette::Text));
    if (cd.ShowFont() != 0)
        return;
    fraTexto->setCaption(QStringLiteral("Font: ") + cd.FontName);

    QFont t = txtAlpha->font();
    t.setFamily(cd.FontName);
    t.setItalic(cd.FontItalic);
    t.setBold(cd.FontBold);
    txtAlpha->setFont(t);
    QPalette p = txtAlpha->palette();
    p.setColor(QPalette::Text, toQColor(cd.Color));
    txtAlpha->setPalette(p);

    Ikon->Font.setFamily(cd.FontName);
    if (cd.FontSize > 0)
        Ikon->Font.setPointSizeF(cd.FontSize);
    Ikon->Font.setItalic(cd.FontItalic);
    Ikon->Font.setBold(cd.FontBold);
}

void frmGeral::txtAlpha_GotFocus()
{
    picModeSel_Click(int(Mode::Text));
}

QString frmGeral::msg() const
{
    return lblMsg->text();
}

void frmGeral::setMsg(const QString &caption)
{
    if (lblMsg->text() == caption)
        return;
    lblMsg->setText(caption);
    lblMsg_Change();
}

void frmGeral::lblMsg_Change()
{
    mnuPropriedade->setEnabled(!lblMsg->text().isEmpty());
}
