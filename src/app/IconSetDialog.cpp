#include "app/IconSetDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "formats/IconScale.h"
#include "formats/IconSet.h"
#include "formats/PixelImage.h"
#include "formats/QtBridge.h"

bool iconSetSideByDefault(int side)
{
    return side == 16 || side == 24 || side == 32 || side == 48 || side == 256;
}

namespace {

bool offered(int side)
{
    return side != 32 && std::find(std::begin(kIconSetSides), std::end(kIconSetSides), side) !=
                             std::end(kIconSetSides);
}

// The deepest image of each offered size, decoded; the others of that size go along unread.
void showBest(HeldImage &held)
{
    const auto depth = [&held](size_t i) {
        return probeIconImage(bytesView(held.entries[i].data))->bitCount;
    };
    size_t best = 0;
    for (size_t i = 1; i < held.entries.size(); ++i)
        if (depth(i) > depth(best))
            best = i;
    if (const auto image = decodeIconPixels(bytesView(held.entries[best].data)))
        held.shown = toImage(transparentPixels(*image));
}

// Clear pixels over a checkerboard, as the editor shows them.
QPixmap onCheckerboard(const QImage &image)
{
    QPixmap out(image.size());
    QPainter p(&out);
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            p.fillRect(x, y, 4, 4, (x + y) / 4 % 2 ? QColor(204, 204, 204) : QColor(Qt::white));
    p.drawImage(0, 0, image);
    return out;
}

} // namespace

std::map<int, HeldImage> heldImages(QByteArrayView file)
{
    std::map<int, HeldImage> held;
    const auto entries = readIconDirectory(bytesView(file));
    if (!entries)
        return held;
    for (const IconDirEntry &e : *entries) {
        const QByteArrayView data = file.sliced(e.imageOffset, e.bytesInRes);
        const auto info = probeIconImage(bytesView(data));
        if (info && info->width == info->height && offered(info->width))
            held[info->width].entries.push_back({e, data.toByteArray()});
    }
    for (auto it = held.begin(); it != held.end();) {
        showBest(it->second);
        it = it->second.shown.isNull() ? held.erase(it) : std::next(it);
    }
    return held;
}

IconSetDialog::IconSetDialog(const QImage &drawing, std::map<int, HeldImage> held, QWidget *parent)
    : QDialog(parent)
    , held_(std::move(held))
{
    setWindowTitle(QStringLiteral("Save Icon Set"));
    const Pixels pixels = toPixels(drawing);
    auto *grid = new QGridLayout;
    // The small sizes share a row; the large ones, up to 256 high, take the next.
    const int perRow = 7;
    for (int i = 0; i < int(std::size(kIconSetSides)); ++i) {
        const int side = kIconSetSides[i];
        made_[side] = side == pixels.width && side == pixels.height
                          ? pixels
                          : scaledPixels(pixels, side, side);
        grid->addWidget(makeCell(side), i / perRow, i % perRow, Qt::AlignBottom);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    // Nothing in it grows: the window is the size of its previews, with nothing to maximise.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    for (const int side : kIconSetSides)
        showPreview(side);
}

QWidget *IconSetDialog::makeCell(int side)
{
    auto *cell = new QWidget;
    auto *column = new QVBoxLayout(cell);
    Row &row = rows_[side];
    row.preview = new QLabel;
    row.preview->setFixedSize(side, side);
    column->addWidget(row.preview, 0, Qt::AlignHCenter | Qt::AlignBottom);
    row.include = new QCheckBox(QStringLiteral("%1 x %1").arg(side));
    row.include->setChecked(iconSetSideByDefault(side));
    column->addWidget(row.include);
    connect(row.include, &QCheckBox::toggled, this, [this, side] { showPreview(side); });
    if (held_.count(side)) {
        row.keep = new QCheckBox(QStringLiteral("Keep"));
        row.keep->setToolTip(QStringLiteral("Keep the image the icon file holds; clear to make "
                                            "it from the drawing"));
        row.keep->setChecked(true);
        column->addWidget(row.keep);
        connect(row.keep, &QCheckBox::toggled, this, [this, side] { showPreview(side); });
    }
    return cell;
}

bool IconSetDialog::keeps(int side) const
{
    const QCheckBox *keep = rows_.at(side).keep;
    return keep && keep->isChecked();
}

void IconSetDialog::showPreview(int side)
{
    const Row &row = rows_.at(side);
    row.preview->setPixmap(
        onCheckerboard(keeps(side) ? held_.at(side).shown : toImage(made_.at(side))));
    row.preview->setEnabled(row.include->isChecked());
    if (row.keep)
        row.keep->setEnabled(row.include->isChecked());
    ok_->setEnabled(std::any_of(rows_.begin(), rows_.end(),
                                [](const auto &r) { return r.second.include->isChecked(); }));
}

std::optional<QByteArray> IconSetDialog::iconSet(FormatError *error) const
{
    std::vector<Pixels> made;
    std::vector<IcoFilePart> kept;
    for (const auto &[side, row] : rows_) {
        if (!row.include->isChecked())
            continue;
        if (!keeps(side)) {
            made.push_back(made_.at(side));
            continue;
        }
        for (const HeldImage::Entry &e : held_.at(side).entries)
            kept.push_back({e.info, bytesView(e.data)});
    }
    return toByteArray(writeIconSet(std::move(made), kept, error));
}
