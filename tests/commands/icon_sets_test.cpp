#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>

#include "app/IconSetDialog.h"
#include "app/frmGeral.h"
#include "formats/IconImage.h"
#include "formats/QtBridge.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"
#include "support/icons.h"

namespace {

class IconSets : public ::testing::Test
{
protected:
    // Opens an icon file of a 4-bit 16 x 16, a 32-bit 48 x 48 and a 32 x 32, then draws on it.
    void openHeldIcon()
    {
        held16 = solidDib(16, 4, '\x11');
        const QString path = dir.filePath("held.ico");
        ASSERT_TRUE(writeAll(
            path, describedIcoFile({solidDib(32, 24, '\x40'), held16, solidDib(48, 32, '\x7f')})));
        scripted().fileAnswers = {path};
        f.mnuOpenSimples_Click();
        ASSERT_FALSE(f.iconSource().empty());
        f.changeIcon([&] { f.Ikon->PSet(3, 5, RGB(1, 2, 3)); });
    }

    // Each image's side and bytes, in the file's order.
    static std::vector<std::pair<int, QByteArray>> images(const QByteArray &file)
    {
        std::vector<std::pair<int, QByteArray>> out;
        for (const IconDirEntry &e :
             readIconDirectory(bytesView(file)).value_or(std::vector<IconDirEntry>()))
            out.emplace_back(e.width, file.mid(e.imageOffset, e.bytesInRes));
        return out;
    }

    frmGeral &f = Forms::get<frmGeral>();
    QTemporaryDir dir;
    QByteArray held16;
};

TEST_F(IconSets, CancelOrAFailedWriteLeaveNoFileTheDialogOffersEverySizeTheFileHoldsWhatItShowed)
{
    const QString out = dir.filePath("set.ico");
    // The set's dialog cancelled: no Save dialog.
    EXPECT_FALSE(f.mnuSaveSet_Click());
    EXPECT_EQ(scripted().dialogTitles, QStringList{QStringLiteral("Save Icon Set")});
    EXPECT_TRUE(scripted().fileRequests.empty());
    // The Save dialog cancelled.
    scripted().dialogAnswers = {QDialog::Accepted};
    EXPECT_FALSE(f.mnuSaveSet_Click());
    EXPECT_EQ(scripted().fileRequests.size(), 1u);
    // A folder that is not there: said as Save says it.
    const QString nowhere = dir.filePath("missing/set.ico");
    scripted().dialogAnswers = {QDialog::Accepted};
    scripted().fileAnswers = {nowhere};
    EXPECT_FALSE(f.mnuSaveSet_Click());
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_TRUE(scripted().messages[0].text.startsWith(
        QStringLiteral("The icon could not be saved as\n") + nowhere));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(nowhere));

    scripted().reset();
    openHeldIcon();
    const QImage drawing = f.Ikon->Image();
    scripted().whileDialog = [](QDialog &d) {
        auto &dialog = dynamic_cast<IconSetDialog &>(d);
        for (const int side : kIconSetSides) {
            SCOPED_TRACE(side);
            EXPECT_EQ(dialog.sizeBox(side)->isChecked(), iconSetSideByDefault(side));
            EXPECT_EQ(dialog.preview(side)->pixmap().size(), QSize(side, side));
            // Only the sizes the file holds may be kept, and are by default.
            EXPECT_EQ(dialog.keepBox(side) != nullptr, side == 16 || side == 48);
            EXPECT_TRUE(!dialog.keepBox(side) || dialog.keepBox(side)->isChecked());
        }
        // The preview shows the held image, then the drawing made smaller once it is not kept.
        const QImage kept = dialog.preview(48)->pixmap().toImage();
        dialog.keepBox(48)->setChecked(false);
        EXPECT_NE(dialog.preview(48)->pixmap().toImage(), kept);
        dialog.sizeBox(48)->setChecked(false);
        dialog.sizeBox(64)->setChecked(true);
    };
    scripted().dialogAnswers = {QDialog::Accepted};
    scripted().fileAnswers = {out};
    ASSERT_TRUE(f.mnuSaveSet_Click());
    ASSERT_EQ(scripted().fileRequests.size(), 2u);
    EXPECT_EQ(scripted().fileRequests[1].filter, QStringLiteral("Icon Files (*.ico)|*.ico"));
    EXPECT_EQ(scripted().fileRequests[1].fileName, dir.filePath("held.ico"));
    EXPECT_TRUE(scripted().messages.empty());

    const auto written = images(readAll(out));
    std::vector<int> sides(written.size());
    std::transform(written.begin(), written.end(), sides.begin(),
                   [](const auto &image) { return image.first; });
    // How each size is encoded, and that other readers take it, is the writer's own test.
    EXPECT_EQ(sides, (std::vector<int>{256, 64, 32, 24, 16}));
    EXPECT_EQ(written[4].second, held16);
    const auto image32 = decodeIconImage(written[2].second);
    ASSERT_TRUE(image32);
    EXPECT_EQ(image32->color, drawing.convertToFormat(QImage::Format_ARGB32));
}

} // namespace
