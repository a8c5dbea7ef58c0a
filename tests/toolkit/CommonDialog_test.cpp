#include <gtest/gtest.h>

#include "support/ScriptedSeam.h"
#include "toolkit/CommonDialog.h"

TEST(CommonDialogFiles, ConfirmedOpenCancelledSaveAndBareNamesCompletedByTheSelectedFilter)
{
    CommonDialog cd;
    cd.FileName = QStringLiteral("start.ico");
    cd.InitDir = QStringLiteral("/tmp");
    scripted().fileAnswers = {QStringLiteral("/home/u/pics/face.ico")};
    EXPECT_EQ(cd.ShowOpen(), 0);
    EXPECT_EQ(cd.FileName, QStringLiteral("/home/u/pics/face.ico"));
    EXPECT_EQ(cd.FileTitle, QStringLiteral("face.ico"));

    EXPECT_EQ(cd.ShowSave(), CommonDialog::cdlCancel);
    EXPECT_EQ(cd.FileName, QStringLiteral("/home/u/pics/face.ico"));
    EXPECT_EQ(cd.FileTitle, QStringLiteral("face.ico"));

    const auto &asked = scripted().fileRequests;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].fileName, QStringLiteral("start.ico"));
    EXPECT_EQ(asked[0].initDir, QStringLiteral("/tmp"));
    EXPECT_TRUE(asked[1].save);
    EXPECT_EQ(asked[1].fileName, QStringLiteral("/home/u/pics/face.ico"));

    scripted().reset();
    cd = CommonDialog();
    cd.Filter = QStringLiteral("Icons|*.ico|Bitmaps|*.bmp|Any|*.*");
    cd.FilterIndex = 2;
    // A bare name saved, even in a dotted folder, takes the selected filter's extension; "*.*"
    // names none, a name with a dot keeps its own, and an opened name is taken as it is.
    const std::tuple<const char *, int, const char *, bool> saves[] = {
        {"face", 2, "face.bmp", true},
        {"face", 1, "face.ico", true},
        {"face", 3, "face", true},
        {"my.face", 3, "my.face", true},
        {"face", 2, "face", false}};
    for (const auto &[answer, filter, title, save] : saves) {
        const int offered = cd.FilterIndex;
        scripted().fileAnswers = {QStringLiteral("/p.d/") + answer};
        scripted().filterAnswers = {filter};
        EXPECT_EQ(save ? cd.ShowSave() : cd.ShowOpen(), 0);
        EXPECT_EQ(scripted().fileRequests.back().filterIndex, offered);
        EXPECT_EQ(cd.FileName, QStringLiteral("/p.d/") + title);
        EXPECT_EQ(cd.FileTitle, QString::fromLatin1(title));
        EXPECT_EQ(cd.FilterIndex, filter);
    }
}

TEST(CommonDialogFontAndColor, WriteBackOnlyWhenConfirmed)
{
    CommonDialog cd;
    cd.FontItalic = true;
    cd.Color = RGB(1, 2, 3);
    cd.Flags = CommonDialog::cdlCFEffects;
    // With effects the colour dialog follows the font; cancelling it keeps the colour.
    scripted().fontAnswers = {FontChoice{QStringLiteral("Mono"), 20, true, false, true, true}};
    EXPECT_EQ(cd.ShowFont(), 0);
    ASSERT_EQ(scripted().fontRequests.size(), 1u);
    EXPECT_TRUE(scripted().fontRequests[0].italic);
    EXPECT_EQ(cd.FontName, QStringLiteral("Mono"));
    EXPECT_EQ(cd.FontSize, 20);
    EXPECT_TRUE(cd.FontBold && !cd.FontItalic && cd.FontUnderline && cd.FontStrikethru);
    EXPECT_EQ(scripted().colorRequests, std::vector<ColorValue>{RGB(1, 2, 3)});
    EXPECT_EQ(scripted().colorTitles, QStringList{"Text Colour"});
    EXPECT_EQ(cd.Color, RGB(1, 2, 3));
    scripted().fontAnswers = {FontChoice{QStringLiteral("Sans")}};
    scripted().colorAnswers = {RGB(0, 0, 0)};
    EXPECT_EQ(cd.ShowFont(), 0);
    EXPECT_EQ(cd.Color, RGB(0, 0, 0));

    // A cancelled font, or fonts without effects, ask for no colour.
    EXPECT_EQ(cd.ShowFont(), CommonDialog::cdlCancel);
    EXPECT_EQ(cd.FontName, QStringLiteral("Sans"));
    cd.Flags = 3;
    scripted().fontAnswers = {FontChoice{QStringLiteral("Mono")}};
    scripted().colorAnswers = {RGB(9, 9, 9)};
    EXPECT_EQ(cd.ShowFont(), 0);
    EXPECT_EQ(scripted().colorRequests.size(), 2u);

    EXPECT_EQ(cd.ShowColor(), 0);
    EXPECT_EQ(cd.Color, RGB(9, 9, 9));
    EXPECT_TRUE(scripted().colorTitles.back().isEmpty()); // the desktop's own
    EXPECT_EQ(cd.ShowColor(), CommonDialog::cdlCancel);
    EXPECT_EQ(cd.Color, RGB(9, 9, 9));
}
