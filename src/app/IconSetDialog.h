#pragma once

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <map>
#include <optional>
#include <vector>

#include "formats/FormatError.h"
#include "formats/IconDecode.h"
#include "formats/Pixels.h"

class QCheckBox;
class QLabel;
class QPushButton;

// The sizes an icon set offers, smallest first.
inline constexpr int kIconSetSides[] = {16, 20, 24, 32, 40, 48, 64, 96, 128, 256};
// Checked when the dialog opens: what a desktop asks of every icon.
bool iconSetSideByDefault(int side);

// The images of one size that an opened icon file holds, to be written back byte for byte, and
// how the best of them looks.
struct HeldImage
{
    struct Entry
    {
        IconEntryInfo info;
        QByteArray data;
    };
    std::vector<Entry> entries;
    QImage shown;
};
// The sizes of the set, other than the drawing's 32, that the icon file holds square images of,
// told by each image's own header; those whose best image does not decode are left out.
std::map<int, HeldImage> heldImages(QByteArrayView file);

// "Save Icon Set": per size, a check box and a preview at actual size of the image that will be
// written; a size the opened file holds offers to keep that image (the default) or make it from
// the drawing, which is the 32 x 32 image itself.
class IconSetDialog : public QDialog
{
public:
    IconSetDialog(const QImage &drawing, std::map<int, HeldImage> held, QWidget *parent = nullptr);

    QCheckBox *sizeBox(int side) const { return rows_.at(side).include; }
    // Checked to keep the file's image; none for a size the file does not hold.
    QCheckBox *keepBox(int side) const { return rows_.at(side).keep; }
    QLabel *preview(int side) const { return rows_.at(side).preview; }
    // The .ico file of the checked sizes, largest first; nothing, with the reason, when it
    // cannot be made.
    std::optional<QByteArray> iconSet(FormatError *error = nullptr) const;

private:
    struct Row
    {
        QCheckBox *include = nullptr;
        QCheckBox *keep = nullptr;
        QLabel *preview = nullptr;
    };
    QWidget *makeCell(int side);
    void showPreview(int side);
    bool keeps(int side) const;

    std::map<int, Pixels> made_;
    std::map<int, HeldImage> held_;
    std::map<int, Row> rows_;
    QPushButton *ok_ = nullptr;
};
