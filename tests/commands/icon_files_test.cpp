#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <algorithm>
#include <cerrno>
#include <map>

#include "app/frmGeral.h"
#include "colour/ColorPalette.h"
#include "colour/frmDesenho.h"
#include "colour/frmVeCor1.h"
#include "filemanager/frmCopy.h"
#include "formats/IconImage.h"
#include "formats/Metafile.h"
#include "formats/QtBridge.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"
#include "support/icons.h"
#include "support/pixels.h"
#include "toolkit/twips.h"
#include "toolwindow/frmToolBar.h"
#include "toolwindow/shift.h"
#include "viewers/frmInfo.h"

namespace {

class IconFiles : public ::testing::Test
{
protected:
    // A picture file whose pixel (x, y) is qRgb(x * 5, y * 5, 100).
    QString writePattern(const QString &name, int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x * 5, y * 5, 100));
        QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    // How many of the six tool windows float above the others.
    static int floating()
    {
        const QWidget *windows[] = {&Forms::get<frmVeCor1>(),  &Forms::get<ColorPalette>(),
                                    &Forms::get<frmCopy>(),    &Forms::get<frmInfo>(),
                                    &Forms::get<frmToolBar>(), &Forms::get<frmDesenho>()};
        return int(std::count_if(std::begin(windows), std::end(windows), onTop));
    }
    // Open and Save, the file dialog answered with `path`.
    void open(const QString &path)
    {
        scripted().fileAnswers.push_back(path);
        f.mnuOpenSimples_Click();
    }
    bool save(const QString &path)
    {
        scripted().fileAnswers.push_back(path);
        return f.mnusave_Click();
    }
    // What the boxes said; each of them is titled as the others.
    static QStringList said()
    {
        QStringList texts;
        for (const ScriptedSeam::Message &m : scripted().messages) {
            EXPECT_EQ(m.title, QStringLiteral("Inform the User!")) << m.text.toStdString();
            texts << m.text;
        }
        return texts;
    }

    frmGeral &f = Forms::get<frmGeral>();
    QTemporaryDir dir;
};

// The pixels that show at all, by their alpha.
std::map<int, PixelSet> alphas(const QImage &image)
{
    std::map<int, PixelSet> out;
    for (const auto &[x, y] : minus(box(0, 0, 31, 31), clearOf(image)))
        out[qAlpha(image.pixel(x, y))].insert({x, y});
    return out;
}

QStringList &logged()
{
    static QStringList lines;
    return lines;
}

// What the program logs while `run` runs, each line led by its category.
template<class F> QStringList logOf(F run)
{
    logged().clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &context, const QString &text) {
            logged() << QLatin1String(context.category) + QStringLiteral(": ") + text;
        });
    run();
    qInstallMessageHandler(previous);
    return logged();
}

} // namespace

TEST_F(IconFiles, NewFillsWithTheRightColourAndRestoresTheCanvas)
{
    const QString caption = f.Caption();
    f.RightColor->setBackColor(RGB(0, 0, 200));
    setWidth(f.grid, 2415);
    setWidth(f.Ikon, 270);
    f.mnuNew_Click();
    EXPECT_EQ(Width(f.grid), 4815);
    EXPECT_EQ(Height(f.grid), 4830); // 4832 twips is 322 pixels
    EXPECT_EQ(f.Ikon->surfaceWidth(), 32);
    EXPECT_EQ(Top(f.lblNumero2), Top(f.grid) + Height(f.grid));
    for (int p : {0, 31})
        EXPECT_EQ(f.Ikon->Point(p, 31 - p), int32_t(RGB(0, 0, 200)));
    EXPECT_EQ(f.grid->surface().pixel(315, 315), qRgb(0, 0, 200));
    EXPECT_EQ(f.Caption(), caption); // neither caption nor file name change
    EXPECT_FALSE(f.mnuPropriedade->isEnabled());
}

TEST_F(IconFiles, OpenTakesTheTopLeftOfALargePicture)
{
    const QString path = writePattern("big.bmp", 40, 36);
    int seenFloating = -1;
    scripted().whileFileDialog = [&] { seenFloating = floating(); };
    f.show();
    f.mnuCorFixa_Click();
    open(path);
    // The tool windows went back into their band, and the keys still go to the editor.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &f; }, 1000));

    ASSERT_EQ(scripted().fileRequests.size(), 1u);
    const FileDialogRequest &asked = scripted().fileRequests[0];
    EXPECT_FALSE(asked.save);
    EXPECT_EQ(asked.filter, QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP "
                                           "(*.bmp;*.dib;*.rle)|*.bmp|CompuServe (*.gif)|*.gif|"
                                           "Metafiles (*.wmf)|*.wmf"));
    EXPECT_EQ(seenFloating, 0);
    EXPECT_EQ(floating(), 6);
    EXPECT_TRUE(scripted().messages.empty());
    EXPECT_EQ(f.lblMsg->text(), path);
    EXPECT_EQ(f.Ikon->Point(31, 31), int32_t(RGB(155, 155, 100)));

    // A metafile of a 600 x 600 bitmap, as office suites write them, opened now that the
    // window is up and Qt's threads run.
    QThreadPool::globalInstance()->start([] {});
    const QString wmf = dir.filePath("photo.wmf");
    ASSERT_TRUE(writeAll(wmf, stretchedBitmapMetafile(600, qRgb(200, 30, 40))));
    open(wmf);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(RGB(200, 30, 40)));
    EXPECT_EQ(f.Ikon->Point(31, 31), int32_t(RGB(200, 30, 40)));

    // A small picture goes in the corner over the back colour; Save offers its name.
    const QString small = writePattern("small.bmp", 20, 10);
    open(small);
    EXPECT_EQ(f.Ikon->Point(19, 9), int32_t(RGB(95, 45, 100)));
    EXPECT_EQ(f.Ikon->Point(25, 25), int32_t(resolveColor(vbWindowBackground)));
    EXPECT_EQ(f.Ikon->Point(20, 0), int32_t(resolveColor(vbWindowBackground)));
    f.setCaption(QStringLiteral("Pixmint 2.1.0"));
    save(small);
    EXPECT_EQ(scripted().fileRequests.back().fileName, small);
    EXPECT_EQ(f.Caption(), QStringLiteral("Pixmint 2.1.0"));
}

TEST_F(IconFiles, OpenCancelledOrUnreadableSaysSoAndKeepsTheIcon)
{
    f.Ikon->PSet(3, 3, RGB(9, 9, 9));
    const QImage before = f.Ikon->Image();

    f.mnuOpenSimples_Click(); // cancelled
    EXPECT_EQ(said(), QStringList{OpenFailure});
    EXPECT_EQ(scripted().messages[0].style, 0);
    EXPECT_FALSE(f.mnuReduzir->isEnabled());

    const QString junk = dir.filePath("junk.ico");
    ASSERT_TRUE(writeAll(junk, QByteArray("\0\0\1\0\xff\xff garbage", 16)));
    open(junk);
    EXPECT_EQ(said(), QStringList(2, OpenFailure));
    EXPECT_EQ(f.Ikon->Image(), before);
    EXPECT_EQ(floating(), 6);

    // A machine without libwmf's fonts: the same message, and the log says what is missing.
    const QString metafile = QStringLiteral(PIXMINT_TEST_DATA "/good/placeable.wmf");
    hideMetafileFonts(true);
    const QStringList log = logOf([&] { open(metafile); });
    hideMetafileFonts(false);
    EXPECT_EQ(said(), QStringList(3, OpenFailure));
    EXPECT_EQ(f.Ikon->Image(), before);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(QStringLiteral("pixmint.files: Cannot open ") + metafile +
                                  QStringLiteral(": Metafiles cannot be drawn on this machine: "
                                                 "libwmf finds no font file for \"Times\" in ")))
        << log[0].toStdString();
    EXPECT_TRUE(log[0].contains(QStringLiteral("fonts-urw-base35")));
    const QStringList junkLog = logOf([&] { open(junk); });
    ASSERT_EQ(junkLog.size(), 1);
    EXPECT_FALSE(junkLog[0].contains(QStringLiteral("cannot be drawn")));
}

TEST_F(IconFiles, SaveWritesTheDrawingNamesItInTheCaptionAndOffersTheTypeOfTheLastName)
{
    f.Ikon->PSet(0, 0, RGB(255, 0, 0));
    const QString caption = f.Caption();
    f.mnusave_Click(); // cancelled: nothing at all
    EXPECT_TRUE(scripted().messages.empty());
    EXPECT_EQ(f.Caption(), caption);

    const QString bmp = dir.filePath("drawn.bmp");
    save(bmp);
    const FileDialogRequest &asked = scripted().fileRequests.back();
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.filter,
              QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp"));
    EXPECT_EQ(asked.flags, 2);
    EXPECT_EQ(f.Caption(), QStringLiteral("Orvel Pixmint - ") + bmp);
    QImage saved(bmp);
    ASSERT_EQ(saved.size(), QSize(32, 32));
    EXPECT_EQ(saved.pixel(0, 0), qRgb(255, 0, 0));

    // The type each name's ending gives is the writer's own test.
    save(dir.filePath("drawn.ICO"));
    EXPECT_EQ(scripted().fileRequests.back().filterIndex, 2); // the bitmap's type is offered
    const QString png = dir.filePath("drawn.png");
    save(png);
    EXPECT_EQ(scripted().fileRequests.back().filterIndex, 1);
    EXPECT_EQ(f.Caption(), QStringLiteral("Orvel Pixmint - ") + png);
}

TEST_F(IconFiles, AnOpenedIconKeepsItsAlphaWhereNothingWasDrawnAndEveryReaderSeesItSaved)
{
    // A red band with a soft shadow under it on a transparent ground.
    constexpr QRgb Shadow = qRgba(0, 0, 0, 64);
    QImage art(32, 32, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    for (const auto &[x, y] : box(8, 8, 23, 15))
        art.setPixel(x, y, qRgb(255, 0, 0));
    for (int x = 8; x < 24; ++x)
        art.setPixel(x, 16, Shadow);
    const QString path = dir.filePath("clear.ico");
    ASSERT_TRUE(writeAll(path, icoFile({pngBytes(art)})));
    open(path);
    const ColorValue back = resolveColor(vbWindowBackground);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(back));
    EXPECT_EQ(f.grid->surface().pixel(15, 15), CheckerLight);
    EXPECT_EQ(f.Ikon->ImageAsShown().pixel(0, 0), toQRgb(back));

    // The band and its shadow move down with their surroundings; the opened top row is
    // painted, and one cell of the band cleared.
    f.mnuVertical_Click();
    ShiftDown(f.Ikon);
    f.PaintCell(int16_t(cellMiddle(2)), int16_t(cellMiddle(3)), RGB(0, 0, 255));
    f.PaintCell(int16_t(cellMiddle(10)), int16_t(cellMiddle(20)), vbTransparent);
    PixelSet opaque = minus(box(8, 17, 23, 24), {{10, 20}});
    opaque.merge(box(0, 0, 31, 0));
    opaque.insert({2, 3});
    const std::map<int, PixelSet> expected = {{64, box(8, 16, 23, 16)}, {255, opaque}};

    const QString ico = dir.filePath("kept.ico");
    const QString png = dir.filePath("kept.png");
    save(ico);
    save(png);
    const auto saved = loadBestIcon(readAll(ico));
    ASSERT_TRUE(saved);
    EXPECT_EQ(alphas(saved->color), expected);
    EXPECT_EQ(saved->color.pixel(8, 16), Shadow);
    EXPECT_EQ(saved->color.pixel(2, 3), qRgb(0, 0, 255));
    EXPECT_EQ(saved->color.pixel(8, 24), qRgb(255, 0, 0));
    EXPECT_EQ(alphas(QImage(png, "PNG").convertToFormat(QImage::Format_ARGB32)), expected);
    EXPECT_EQ(QImage(png, "PNG").pixel(8, 16), Shadow);

    // A bitmap has no transparency: the icon as the canvas shows it, over the back colour.
    const QString bmp = dir.filePath("kept.bmp");
    save(bmp);
    EXPECT_EQ(QImage(bmp).pixel(5, 5), toQRgb(back));
    EXPECT_EQ(QImage(bmp).pixel(8, 24), qRgb(255, 0, 0));
    EXPECT_EQ(QImage(bmp).pixel(10, 20), toQRgb(back));
    EXPECT_EQ(QImage(bmp).pixel(8, 16), composedPixel(Shadow, toQRgb(back)));
}

TEST_F(IconFiles, AFailedSaveSaysWhyAndKeepsTheOldFileAndCaption)
{
    const QString path = dir.filePath("keep.bmp");
    ASSERT_TRUE(writeAll(path, "previous"));
    f.setCaption(QStringLiteral("Pixmint 2.1.0"));
    // The writer's other reasons are its own test; the box names the file and says why.
    {
        FailingWrites full(SafeWrite::Step::Write, ENOSPC);
        EXPECT_FALSE(save(path));
    }
    EXPECT_EQ(said(), QStringList{"The icon could not be saved as\n" + path +
                                  "\n\nNo space left on device"});
    EXPECT_EQ(f.Caption(), QStringLiteral("Pixmint 2.1.0"));
    EXPECT_EQ(readAll(path), QByteArray("previous"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.bmp"});

    // Into a folder that is not there yet, and again once it is: the name typed is offered
    // again, and the file really written is named in the caption.
    const QString later = dir.filePath("later/drawn.bmp");
    save(later);
    EXPECT_EQ(scripted().messages.size(), 2u);
    ASSERT_TRUE(QDir(dir.path()).mkdir("later"));
    save(later);
    EXPECT_EQ(scripted().fileRequests.back().fileName, later);
    EXPECT_EQ(scripted().messages.size(), 2u);
    EXPECT_TRUE(QFile::exists(later));
    EXPECT_EQ(f.Caption(), QStringLiteral("Orvel Pixmint - ") + later);
}

TEST_F(IconFiles, UnsavedFollowsTheStepsALoadIntoASavedCanvasKeepsItSavedAndDiscardingLeaves)
{
    EXPECT_FALSE(f.history.unsaved());
    open(writePattern("a.bmp", 32, 32));
    EXPECT_FALSE(f.history.unsaved());
    f.changeIcon([&] { f.Ikon->PSet(0, 0, RGB(1, 2, 3)); });
    EXPECT_TRUE(f.history.unsaved());
    f.history.undo();
    EXPECT_FALSE(f.history.unsaved());
    f.history.redo();
    open(writePattern("b.bmp", 32, 32));
    EXPECT_TRUE(f.history.unsaved()); // the drawing before it was never saved

    EXPECT_TRUE(save(dir.filePath("saved.bmp")));
    EXPECT_FALSE(f.history.unsaved());
    f.history.undo();
    EXPECT_TRUE(f.history.unsaved());

    // Leaving without saving writes nothing, and is asked once: the end of the program does
    // not ask again.
    scripted().messageAnswers = {vbNo};
    const size_t asked = scripted().fileRequests.size();
    EXPECT_TRUE(f.mayLeave());
    EXPECT_TRUE(f.mayLeave());
    EXPECT_EQ(scripted().fileRequests.size(), asked);
    EXPECT_EQ(said(), QStringList{QStringLiteral("Save the icon before leaving?")});
}

TEST_F(IconFiles, ExitUnloadsToolWindowsAndWithUnsavedChangesAsksAndLeavesOnlyWhenAllowed)
{
    // Without changes nothing is asked, and Exit unloads three tool windows but not the file
    // manager, which Open Copy Move shows.
    f.mnuOpenAs_Click();
    Forms::get<ColorPalette>();
    Forms::get<frmVeCor1>();
    f.mnuCorFixa_Click();
    f.mnuFechar_Click();
    EXPECT_TRUE(scripted().messages.empty());
    EXPECT_FALSE(Forms::loaded<ColorPalette>() || Forms::loaded<frmToolBar>() ||
                 Forms::loaded<frmVeCor1>());
    EXPECT_TRUE(Forms::loaded<frmCopy>());

    bool floatingWhileAsked = true;
    scripted().whileMessageBox = [&] { floatingWhileAsked = onTop(&Forms::get<frmToolBar>()); };
    f.mnuCorFixa_Click();
    f.changeIcon([&] { f.Ikon->PSet(0, 0, RGB(1, 2, 3)); });

    scripted().messageAnswers = {vbCancel};
    f.mnuFechar_Click();
    EXPECT_EQ(said(), QStringList{QStringLiteral("Save the icon before leaving?")});
    EXPECT_EQ(scripted().messages[0].style & 7, int(vbSaveDiscardCancel));
    EXPECT_FALSE(floatingWhileAsked);
    EXPECT_TRUE(onTop(&Forms::get<frmToolBar>()));
    EXPECT_TRUE(Forms::loaded<frmToolBar>()); // still running

    // A close from the window manager asks the same; a Save that writes nothing stays.
    scripted().messageAnswers = {vbYes};
    EXPECT_FALSE(f.close());
    EXPECT_EQ(scripted().messages.size(), 2u);
    EXPECT_EQ(scripted().fileRequests.size(), 1u);

    // Save that writes leaves.
    scripted().messageAnswers = {vbYes};
    scripted().fileAnswers.push_back(dir.filePath("kept.bmp"));
    EXPECT_TRUE(f.mayLeave());
}

TEST_F(IconFiles, SavingAnIconOfSeveralImagesKeepsTheOthers)
{
    const QString opened = dir.filePath("multi.ico");
    ASSERT_TRUE(QFile::copy(testData("good/multi.ico"), opened));
    const auto sizes = [](const QString &path) {
        QList<QPair<int, int>> found;
        for (const IconDirEntry &e :
             readIconDirectory(bytesView(readAll(path))).value_or(std::vector<IconDirEntry>()))
            found << qMakePair(e.width, e.bitCount);
        std::sort(found.begin(), found.end());
        return found;
    };
    const auto before = sizes(opened);
    ASSERT_EQ(before.size(), 4);
    open(opened);
    f.changeIcon([&] { f.Ikon->PSet(3, 3, RGB(1, 2, 3)); });

    // Saved over itself and under another name: the same images, the edited one changed.
    const QString copy = dir.filePath("copy.ico");
    ASSERT_TRUE(save(opened) && save(copy));
    for (const QString &path : {opened, copy}) {
        EXPECT_EQ(sizes(path), before) << path.toStdString();
        const auto icon = loadBestIcon(readAll(path));
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->color.pixel(3, 3), qRgb(1, 2, 3));
    }
    EXPECT_TRUE(scripted().messages.empty());

    // Rewritten by another program since: the edit joins the file as it is now.
    open(opened);
    ASSERT_TRUE(QFile::remove(opened));
    ASSERT_TRUE(QFile::copy(testData("good/multi.ico"), opened));
    ASSERT_TRUE(save(opened));
    EXPECT_EQ(sizes(opened), before);

    // No icon any more: asked before anything is written, and Cancel writes nothing.
    const QByteArray bitmap = readAll(testData("good/bmp24.bmp"));
    ASSERT_TRUE(writeAll(opened, bitmap));
    scripted().messageAnswers = {vbCancel};
    EXPECT_FALSE(save(opened));
    EXPECT_EQ(said(), QStringList{QStringLiteral("  The other images of this icon could not be "
                                                 "kept.  \n\nSave the edited image alone?")});
    EXPECT_EQ(scripted().messages[0].style & 7, int(vbSaveCancel));
    EXPECT_EQ(readAll(opened), bitmap);
    scripted().messageAnswers = {vbYes};
    ASSERT_TRUE(save(opened));
    EXPECT_EQ(scripted().messages.size(), 2u);
    EXPECT_EQ(sizes(opened).size(), 1);
}
