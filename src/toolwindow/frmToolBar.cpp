#include "toolwindow/frmToolBar.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <cmath>

#include "face/Editor.h"
#include "formats/IconImage.h"
#include "formats/Pictures.h"
#include "formats/QtBridge.h"
#include "placement/placement.h"
#include "toolkit/twips.h"
#include "toolwindow/shift.h"

namespace {

QGroupBox *face(QWidget *parent, const char *caption, const char *tip, double width, double height)
{
    auto *f = place(new QGroupBox(QString::fromLatin1(caption), parent), 120, 120, width, height);
    f->setToolTip(QString::fromLatin1(tip));
    f->hide();
    return f;
}

// A compass arrow pointing along (dx, dy), for the move buttons.
QIcon compassArrow(int dx, int dy)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(12, 12);
    p.rotate(std::atan2(double(dy), double(dx)) * 180.0 / M_PI);
    QPainterPath arrow;
    arrow.moveTo(9, 0);
    arrow.lineTo(1, -7);
    arrow.lineTo(1, -3);
    arrow.lineTo(-8, -3);
    arrow.lineTo(-8, 3);
    arrow.lineTo(1, 3);
    arrow.lineTo(1, 7);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x2d, 0x3a, 0x45), 1.2));
    p.setBrush(QColor(0x3e, 0xc2, 0x8f));
    p.drawPath(arrow);
    return QIcon(pixmap);
}

constexpr ColorValue Palette[32] = {
    RGB(255, 255, 255), RGB(255, 192, 192), RGB(255, 224, 192), RGB(255, 255, 192),
    RGB(192, 255, 192), RGB(192, 255, 255), RGB(192, 192, 255), RGB(255, 192, 255),
    RGB(224, 224, 224), RGB(255, 128, 128), RGB(255, 192, 128), RGB(255, 255, 128),
    RGB(128, 255, 128), RGB(128, 255, 255), RGB(128, 128, 255), RGB(255, 128, 255),
    RGB(192, 192, 192), RGB(255, 0, 0),     RGB(255, 128, 0),   RGB(255, 255, 0),
    RGB(0, 255, 0),     RGB(0, 255, 255),   RGB(0, 0, 255),     RGB(255, 0, 255),
    RGB(0, 0, 0),       RGB(192, 0, 0),     RGB(192, 64, 0),    RGB(192, 192, 0),
    RGB(0, 192, 0),     RGB(0, 192, 192),   RGB(0, 0, 192),     RGB(192, 0, 192),
};

constexpr QRgb IconBackground = qRgb(192, 192, 192);

// A file's icons, whose images are slices of its bytes: read once, never copied.
struct IconFile
{
    QByteArray bytes;
    std::vector<IconGroup> groups;
};

std::optional<IconFile> iconGroupsOf(const QString &path)
{
    std::optional<QByteArray> bytes = readUserFile(path);
    if (!bytes)
        return std::nullopt;
    IconFile file{std::move(*bytes), {}};
    auto groups = readIconGroups(bytesView(file.bytes));
    if (!groups)
        return std::nullopt;
    file.groups = std::move(*groups);
    return file;
}

// An icon as the desktop hands it out: at 32 x 32, drawn through its mask over the grey, with
// its alpha.
QImage shownIcon(const IconImage &icon)
{
    QImage composed = rgbWhenOpaque(composeIcon(icon, IconBackground));
    if (composed.size() != QSize(32, 32))
        composed = composed.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return composed;
}

// The file's own 16 x 16 icon when it is or holds icons, else the desktop's icon for its type.
QImage smallIconOf(const QString &path)
{
    if (const auto file = iconGroupsOf(path)) {
        const IconGroup &first = file->groups.front();
        std::optional<IconImage> chosen;
        for (const IconGroupImage &image : first.images) {
            const auto info = probeIconImage(image.data);
            if (info && info->width == 16 && info->height == 16 &&
                (!chosen || info->bitCount > chosen->bitCount))
                chosen = decodeIconImage(qtView(image.data));
        }
        if (!chosen)
            chosen = groupIcon(first);
        // Through the mask over white, as the shell draws, with its alpha.
        if (chosen)
            return rgbWhenOpaque(composeIcon(*chosen, qRgb(255, 255, 255)))
                .scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return QFileIconProvider().icon(QFileInfo(path)).pixmap(16, 16).toImage();
}

// The move buttons in the order of cmdShift, each moving the image by (dx, dy) pixels.
struct MoveButton
{
    double left, top;
    const char *tip;
    int dx, dy;
};
constexpr MoveButton MoveButtons[8] = {
    {1440, 1200, "Lateral Direita", 1, 0},
    {240, 1200, "Lateral Esquerda", -1, 0},
    {840, 720, "Topo", 0, -1},
    {840, 1680, "Base", 0, 1},
    {120, 600, "Topo Esquerdo", -1, -1},
    {1560, 600, "Topo Direito", 1, -1},
    {120, 1800, "Base Esquerda", -1, 1},
    {1560, 1800, "Base Direita", 1, 1},
};

// The custom slots from left to right.
constexpr int CustomSlots[8] = {47, 45, 40, 42, 39, 35, 34, 33};

} // namespace

frmToolBar::frmToolBar()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint "));
    // A compact font, as a tool window's: its faces are laid out in fixed twips.
    QFont compact = font();
    compact.setPointSizeF(7.5);
    setFont(compact);
    setCentralWidget(new QWidget(this));
    LeftColor = new PictureBox(centralWidget());
    RightColor = new PictureBox(centralWidget());
    for (PictureBox *swatch : {LeftColor, RightColor}) {
        swatch->hide();
        swatch->setBorderStyle(1);
    }
}

QGroupBox *frmToolBar::made(Face which)
{
    // In the order of Face.
    struct Maker
    {
        QGroupBox *frmToolBar::*face;
        void (frmToolBar::*build)();
    };
    static constexpr Maker makers[] = {{&frmToolBar::fraCores, &frmToolBar::buildPalette},
                                       {&frmToolBar::fraMove, &frmToolBar::buildMove},
                                       {&frmToolBar::fraDiminui, &frmToolBar::buildResize},
                                       {&frmToolBar::fraLocaliza, &frmToolBar::buildSearch}};
    const Maker &maker = makers[size_t(which)];
    if (!(this->*maker.face))
        (this->*maker.build)();
    return this->*maker.face;
}

void frmToolBar::buildPalette()
{
    fraCores = face(centralWidget(), "Color", "Color", 2175, 3135);
    Label1 = place(new QLabel(QStringLiteral("Selected color"), fraCores), 120, 360, 1020, 195);
    // The swatches move in from where the load left them, with their colours.
    for (PictureBox *swatch : {LeftColor, RightColor}) {
        swatch->setParent(fraCores);
        swatch->show();
    }
    place(LeftColor, 120, 600, 975, 375)->setToolTip(QStringLiteral("Color Left Button"));
    place(RightColor, 1200, 600, 735, 375)->setToolTip(QStringLiteral("Color Right Button"));
    Label2 = place(new QLabel(QStringLiteral("Select:"), fraCores), 120, 1080, 495, 195);
    Label3 = place(new QLabel(QStringLiteral("... Its Option."), fraCores), 120, 2400, 900, 195);
    // The desktop's font may be wider than the one the sizes were made for: never cut a word.
    for (QLabel *label : {Label1, Label2, Label3})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());

    const auto addCell = [this](int i, double left, double top, double size) {
        PictureBox *cell = place(new PictureBox(fraCores), left, top, size, size);
        cell->setBorderStyle(1);
        cell->MouseDown = [this, i](int b, int s, double x, double y) {
            Color_MouseDown(i, b, s, x, y);
        };
        // A click is a press and release over the cell with the left or the right button.
        cell->MouseUp = [this, i, cell](int b, int, double x, double y) {
            const QPoint at(cell->toPixelX(x), cell->toPixelY(y));
            if ((b == 1 || b == 2) && QRect(QPoint(0, 0), cell->size()).contains(at))
                Color_Click(i);
        };
        Color[i] = cell;
        return cell;
    };
    for (int i = 0; i < 32; ++i)
        addCell(i, 120 + 240 * (i % 8), 1320 + 240 * (i / 8), 200)->setBackColor(Palette[i]);
    for (int k = 0; k < 8; ++k)
        addCell(CustomSlots[k], 120 + 240 * k, 2640, 255)
            ->setToolTip(QStringLiteral("Its Option "));
    for (int slot : CustomSlots)
        Color[slot]->setBackColor(vbWhite);
}

void frmToolBar::buildMove()
{
    fraMove = face(centralWidget(), "Move Image", "Moves Image", 2175, 2655);
    for (int i = 0; i < 8; ++i) {
        const MoveButton &button = MoveButtons[i];
        auto *b = place(new QToolButton(fraMove), button.left, button.top, 495, 495);
        b->setToolTip(QString::fromLatin1(button.tip));
        b->setIcon(compassArrow(button.dx, button.dy));
        b->setIconSize(QSize(24, 24));
        connect(b, &QToolButton::clicked, this, [this, i] { cmdShift_Click(i); });
        cmdShift[i] = b;
    }
}

void frmToolBar::buildSearch()
{
    fraLocaliza =
        face(centralWidget(), "Search: Exe, Dll, Cls.", "Search: Exe, Dll, Cls.", 2175, 2055);
    cmdOpen = place(new QPushButton(QStringLiteral("Search"), fraLocaliza), 480, 450, 1215, 495);
    cmdOpen->setToolTip(QStringLiteral("Search"));
    cmdBack = place(new QToolButton(fraLocaliza), 120, 1080, 495, 495);
    cmdBack->setIcon(compassArrow(-1, 0));
    cmdNext = place(new QToolButton(fraLocaliza), 1560, 1080, 495, 495);
    cmdNext->setIcon(compassArrow(1, 0));
    for (QToolButton *b : {cmdBack, cmdNext}) {
        b->setIconSize(QSize(24, 24));
        b->setEnabled(false);
    }
    PicIcon =
        place(new PictureBox(fraLocaliza, PictureBox::ScaleMode::Pixels), 840, 1080, 510, 510);
    PicIcon->setBorderStyle(1);
    // Icons come in with their alpha and show over the grey.
    PicIcon->setKeepsTransparency(true);
    PicIcon->setBackColor(fromQRgb(IconBackground));
    PicIcon->hide();
    lblArquivo = place(new QLabel(QStringLiteral("#"), fraLocaliza), 1000, 1680, 135, 195);
    lblArquivo->hide();
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdNext, &QToolButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdBack, &QToolButton::clicked, this, [this] { cmdBack_Click(); });
}

void frmToolBar::buildResize()
{
    fraDiminui = face(centralWidget(), "Resize Icon", "Reduce Icon", 1695, 2295);
    cmdDiminuir = place(new QPushButton(QStringLiteral("Resize"), fraDiminui), 240, 360, 1215, 375);
    cmdDiminuir->setToolTip(QStringLiteral("Resize"));
    Frame1 = place(new QGroupBox(fraDiminui), 240, 840, 1215, 1215);
    picPequeno = place(new PictureBox(Frame1, PictureBox::ScaleMode::Pixels), 360, 360, 540, 540);
    picPequeno->setKeepsTransparency(true);
    picPequeno->setBackColor(vbWhite);
    connect(cmdDiminuir, &QPushButton::clicked, this, [this] { cmdDiminuir_Click(); });
}

void frmToolBar::Form_Load()
{
    PixelTwipsX = toInt16(Screen::TwipsPerPixelX);
    PixelTwipsY = toInt16(Screen::TwipsPerPixelY);
    // The swatches start from the desktop's menu-text and caption-text colours at every load.
    LeftColor->setBackColor(0x80000007);
    RightColor->setBackColor(0x80000009);
    PlaceToolWindow(this, true);
    RestoreWindowPosition(this);
}

void frmToolBar::Form_Unload(int &Cancel)
{
    Cancel = 0;
    // The main window unloads this one before it goes.
    if (Editor::exists()) {
        Editor &main = Editor::current();
        main.RightColor->setBackColor(RightColor->BackColor());
        main.LeftColor->setBackColor(LeftColor->BackColor());
    }
    SaveWindowPosition(this);
}

void frmToolBar::Color_MouseDown(int Index, int Button, int, double, double)
{
    const auto cell = Color.find(Index);
    if (cell == Color.end())
        return;
    (Button == 1 ? LeftColor : RightColor)->setBackColor(cell->second->BackColor());
}

void frmToolBar::Color_Click(int Index)
{
    const auto cell = Color.find(Index);
    if (cell == Color.end())
        return;
    Editor &main = Editor::current();
    if (Index > 31) {
        // A cancelled dialog gives the colour it held last, which the slot takes all the same.
        main.cd.ShowColor();
        cell->second->setBackColor(main.cd.Color);
        LeftColor->setBackColor(cell->second->BackColor());
    }
    main.RightColor->setBackColor(RightColor->BackColor());
    main.LeftColor->setBackColor(LeftColor->BackColor());
}

void frmToolBar::cmdShift_Click(int Index)
{
    if (Index < 0 || Index >= int(cmdShift.size()))
        return;
    Editor &main = Editor::current();
    const MoveButton &move = MoveButtons[Index];
    // Up or down first, then sideways.
    main.changeIcon([&move, ikon = main.Ikon] {
        if (move.dy != 0)
            (move.dy < 0 ? ShiftUp : ShiftDown)(ikon);
        if (move.dx != 0)
            (move.dx < 0 ? ShiftLeft : ShiftRight)(ikon);
    });
}

void frmToolBar::openFace(Face which, double width, double height)
{
    Show();
    QGroupBox *shown = made(which);
    for (QGroupBox *f : {fraCores, fraMove, fraDiminui, fraLocaliza})
        if (f && f != shown)
            f->hide();
    shown->show();
    setWidth(this, width);
    setHeight(this, height);
}

void frmToolBar::cmdOpen_Click()
{
    CommonDialog1.DialogTitle = QStringLiteral("Orvel Pixmint - Open...");
    CommonDialog1.Filter = QStringLiteral(
        "Executable (*.exe)|*.EXE|D. L. Libraries (*.dll)|*.DLL|Icon Libraries (*.icl)|*.ICL");
    const QString remembered = CommonDialog1.FileName;
    CommonDialog1.ShowOpen();
    if (CommonDialog1.FileName == remembered)
        return;
    const QString path = CommonDialog1.FileName;

    std::optional<IconFile> file = iconGroupsOf(path);
    // As the desktop's extraction does, the list ends at the first icon that cannot be had.
    // Only the icon shown is decoded, when it is shown.
    const size_t count = file ? leadingIconGroups(file->groups) : 0;
    if (count == 0) {
        MsgBox(QStringLiteral("  This  File  is  not  Valid!  "), vbOKOnly | vbCritical,
               QStringLiteral("Inform the User!"));
        return;
    }
    file->groups.resize(count);
    // The groups are slices of the bytes, which move without a copy.
    searched_ = std::move(file->groups);
    searchedBytes_ = std::move(file->bytes);
    IconCount = int32_t(count);
    IconIndex = 0;
    PicIcon->show();

    Editor &main = Editor::current();
    main.setMsg(QStringLiteral("File: ") + QFileInfo(path).fileName() +
                QStringLiteral("    Total: ") + QString::number(IconCount));
    setArquivo(QStringLiteral("1"));
    lblArquivo->show();
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(IconCount >= 2);
    showIcon(0);
    main.mnuReduzir->setEnabled(false);
}

void frmToolBar::cmdNext_Click()
{
    if (IconIndex + 1 < IconCount) {
        ++IconIndex;
        setArquivo(QString::number(lblArquivo->text().toInt() + 1));
    }
    cmdNext->setEnabled(IconIndex + 1 < IconCount);
    if (IconIndex != 0)
        cmdBack->setEnabled(true);
    showIcon(IconIndex);
}

void frmToolBar::cmdBack_Click()
{
    if (IconIndex != 0) {
        --IconIndex;
        setArquivo(QString::number(lblArquivo->text().toInt() - 1));
    }
    cmdBack->setEnabled(IconIndex != 0);
    if (IconCount - IconIndex >= 2)
        cmdNext->setEnabled(true);
    showIcon(IconIndex);
}

void frmToolBar::PicIcon_Change()
{
    Editor &main = Editor::current();
    main.loadIcon([&main, this] { main.Ikon->setPicture(PicIcon->Picture()); });
}

void frmToolBar::showIcon(int index)
{
    // Before any search there is nothing to show but the element's grey.
    PicIcon->setPicture(QImage());
    if (size_t(index) < searched_.size()) {
        if (const std::optional<IconImage> icon = groupIcon(searched_[size_t(index)]))
            PicIcon->PaintPicture(shownIcon(*icon), 0, 0, 0, 0, 32, 32);
    }
    PicIcon->setPicture(PicIcon->Image());
    PicIcon_Change();
}

void frmToolBar::setArquivo(const QString &caption)
{
    lblArquivo->setText(caption);
    lblArquivo->setToolTip(caption + QStringLiteral(" of ") + QString::number(IconCount));
    // Laid out for one digit: a longer number widens the label about the same middle.
    const double width = std::max(135.0, pixelsToTwips(lblArquivo->sizeHint().width()));
    Move(lblArquivo, 1000 + (135 - width) / 2, 1680, width, 195);
    if (caption > QLatin1String("0"))
        Editor::current().mnuPropriedade->setEnabled(false);
}

void frmToolBar::cmdDiminuir_Click()
{
    Editor &main = Editor::current();
    const QString state = cmdDiminuir->text();
    if (state == QLatin1String("Resize")) {
        cmdDiminuir->setText(QStringLiteral("Transfer"));
        const QImage small = smallIconOf(main.cd.FileName);
        const int x = int(vbRound((main.Ikon->surfaceWidth() / double(PixelTwipsX) + 2) / 2 - 1));
        const int y = int(vbRound((main.Ikon->surfaceHeight() / double(PixelTwipsY) + 2) / 2 - 1));
        picPequeno->PaintPicture(small, x, y, 0, 0, small.width(), small.height());
        picPequeno->Refresh();
    } else if (state == QLatin1String("Transfer")) {
        cmdDiminuir->setText(QStringLiteral("Return, Clean!"));
        transferToCanvas(SmallCanvas);
    } else if (state == QLatin1String("Return, Clean!")) {
        picPequeno->setPicture(main.picLimpa->Image());
        cmdDiminuir->setText(QStringLiteral("Resize"));
        transferToCanvas(StandardCanvas);
    }
}

void frmToolBar::transferToCanvas(const CanvasSize &size)
{
    Editor &main = Editor::current();
    main.changeIcon([&] {
        main.setCanvasSize(size);
        main.Ikon->setPicture(picPequeno->Image());
    });
}
