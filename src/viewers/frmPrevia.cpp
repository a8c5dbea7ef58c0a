#include "viewers/frmPrevia.h"

#include <QPainter>

#include "face/Editor.h"
#include "toolkit/twips.h"

namespace {

constexpr ColorValue kPreviewBack = 0xFFFFC0;

// The window's client area, painted by the window's paint operation.
class Surface : public QWidget
{
public:
    explicit Surface(frmPrevia *form)
        : QWidget(form)
        , form_(form)
    {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter hdc(this);
        form_->Form_Paint(hdc);
    }

private:
    frmPrevia *form_;
};

} // namespace

frmPrevia::frmPrevia()
    : Form(nullptr, Qt::Window)
{
    setCaption(QStringLiteral("Preview Background"));
    setCentralWidget(new Surface(this));
    picTile = new PictureBox(centralWidget(), PictureBox::ScaleMode::Pixels);
    picTile->AutoSize = true;
    Timer1 = new Timer(this);
    Timer1->setInterval(10);
    Timer1->onTimer = [this] { Timer1_Timer(); };
    setBackColor(vbButtonFace);
}

void frmPrevia::setBackColor(ColorValue c)
{
    backColor_ = c;
    QPalette palette = centralWidget()->palette();
    palette.setColor(QPalette::Window, toQColor(c));
    centralWidget()->setPalette(palette);
}

void frmPrevia::Form_Load()
{
    Timer1->setEnabled(true);
}

void frmPrevia::Timer1_Timer()
{
    // The tile box has sized itself to its picture.
    TileWidth = toInt16(picTile->surfaceWidth());
    TileHeight = toInt16(picTile->surfaceHeight());
    picTile->hide();
    Tiling = true;
    setBackColor(kPreviewBack);
    Show();
    centralWidget()->update();
    Timer1->setEnabled(false);
}

void frmPrevia::Form_Paint(QPainter &hdc)
{
    if (Tiling) {
        const QImage tile = picTile->Image();
        for (const QPoint &at : tileOrigins(WinWidth, WinHeight, TileWidth, TileHeight))
            hdc.drawImage(at, tile, QRect(0, 0, TileWidth, TileHeight));
    }
    storeIcon();
}

void frmPrevia::Form_Resize()
{
    WinHeight = int32_t(vbRound(Height(this)) / Screen::TwipsPerPixelY);
    WinWidth = int32_t(vbRound(Width(this)) / Screen::TwipsPerPixelX);
    if (!Editor::exists())
        return;
    Form &main = Editor::current().mainWindow();
    if (WindowState() != vbMinimized) {
        main.setWindowState(vbMinimized);
        storeIcon();
    } else {
        storeIcon();
        main.setWindowState(vbMaximized);
    }
    // Qt shows a restored window from its last frame; the tile stored here must be painted.
    centralWidget()->update();
}

void frmPrevia::storeIcon()
{
    if (Editor::exists())
        picTile->setPicture(Editor::current().Ikon->ImageAsShown());
}

std::vector<QPoint> tileOrigins(int32_t width, int32_t height, int16_t tileWidth,
                                int16_t tileHeight)
{
    std::vector<QPoint> origins;
    // A tile without size would never step on.
    if (tileWidth <= 0 || tileHeight <= 0 || width < 0 || height < 0)
        return origins;
    origins.reserve(size_t(width / tileWidth + 1) * size_t(height / tileHeight + 1));
    for (int64_t y = 0; y <= height; y += tileHeight)
        for (int64_t x = 0; x <= width; x += tileWidth)
            origins.emplace_back(int(x), int(y));
    return origins;
}
