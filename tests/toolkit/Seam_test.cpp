#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "toolkit/Seam.h"

TEST(QtFilter, TakesPatternsFromThePatternFieldsAndTheDialogShowsEachLabelOnce)
{
    // Qt reads the patterns from the last parentheses; the dialog shows what comes before.
    EXPECT_EQ(qtFilter(QStringLiteral("Icons (*.ico)|*.ico|Bitmaps|*.bmp;*.dib")),
              QStringLiteral("Icons (*.ico) (*.ico);;Bitmaps (*.bmp *.dib)"));
    EXPECT_EQ(qtFilter(QStringLiteral("Pictures (bmp, ico)|*.bmp;*.ico")),
              QStringLiteral("Pictures (bmp, ico) (*.bmp *.ico)"));
    EXPECT_EQ(qtFilter(QStringLiteral("Icons (*.ico)|*.ico;*.icl|dangling")),
              QStringLiteral("Icons (*.ico) (*.ico *.icl)"));

    const QString filter = QStringLiteral("Icons (*.ico)|*.ico|Windows BMP (*.bmp;*.dib)|*.BMP|"
                                          "Any|*.*|Two|*.a;*.b");
    EXPECT_EQ(filterIndexOf(filter, QStringLiteral("face.ICO")), 1);
    EXPECT_EQ(filterIndexOf(filter, QStringLiteral("face.bmp")), 2);
    EXPECT_EQ(filterIndexOf(filter, QStringLiteral("face.dib")), 3);
    EXPECT_EQ(filterIndexOf(QStringLiteral("Icons|*.ico"), QStringLiteral("face.bmp")), 0);
    // From index 0, which names no filter, to one past the last.
    const char *const extensions[] = {"", "ico", "BMP", "", "", ""};
    for (int index = 0; index < 6; ++index)
        EXPECT_EQ(filterExtension(filter, index), QString::fromLatin1(extensions[index])) << index;

    // The dialog shows each label once and offers the requested type and name.
    QTemporaryDir dir;
    FileDialogRequest request;
    request.save = true;
    request.filter =
        QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp");
    request.filterIndex = 2;
    request.fileName = dir.filePath(QStringLiteral("drawing.bmp"));
    QFileDialog dialog;
    prepareFileDialog(dialog, request);
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(types && name);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), QStringLiteral("Icon Files (*.ico)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("Windows BMP (*.bmp;*.dib;*.rle)"));
    EXPECT_EQ(selectedFilter(dialog, request.filter), 2);
    EXPECT_EQ(name->text(), QStringLiteral("drawing.bmp"));
    EXPECT_EQ(dialog.directory().absolutePath(), QDir(dir.path()).absolutePath());
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("bmp"));

    // The user picks the icon type: the name shown and the extension of a bare name follow.
    types->setCurrentIndex(0);
    emit types->activated(0);
    emit types->textActivated(types->itemText(0));
    EXPECT_EQ(selectedFilter(dialog, request.filter), 1);
    EXPECT_EQ(name->text(), QStringLiteral("drawing.ico"));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("ico"));
}
