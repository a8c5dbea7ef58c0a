#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <vector>

#include "app/frmGeral.h"
#include "app/mdlStart.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"

TEST(StartUp, AFileOnTheCommandLineIsOpenedAsAConfirmedOpenLeavesIt)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(PIXMINT_TEST_DATA "/good")));
    Main(QStringLiteral("bmp24.bmp"));
    QDir::setCurrent(before);
    frmGeral &f = Forms::get<frmGeral>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QCoreApplication::processEvents();

    const QString path = QStringLiteral(PIXMINT_TEST_DATA "/good/bmp24.bmp");
    EXPECT_TRUE(scripted().messages.empty());
    EXPECT_EQ(f.lblMsg->text(), path);
    EXPECT_TRUE(f.mnuReduzir->isEnabled());
    EXPECT_TRUE(f.splashShown());
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(RGB(255, 0, 0)));

    rollUpSplash(f);
    EXPECT_EQ(f.grid->surface().pixel(4, 4), qRgb(255, 0, 0));
    EXPECT_TRUE(f.mnuPropriedade->isEnabled());
    f.mnusave_Click(); // Save offers the opened file, as after Open
    ASSERT_EQ(scripted().fileRequests.size(), 1u);
    EXPECT_EQ(scripted().fileRequests[0].fileName, path);
}

TEST(StartUp, AFileOnTheCommandLineThatIsNoPictureGetsOpensMessageOnceTheWindowShows)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.ico"));
    ASSERT_TRUE(writeAll(text, "not a picture\n"));
    for (const QString &path : {dir.filePath(QStringLiteral("missing.bmp")), text}) {
        Main(path);
        frmGeral &f = Forms::get<frmGeral>();
        // Not before the window is on screen: it would come up alone, ahead of the editor.
        EXPECT_TRUE(scripted().messages.empty());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        EXPECT_TRUE(QTest::qWaitFor([] { return !scripted().messages.empty(); }, 2000));
        QCoreApplication::processEvents();
        ASSERT_EQ(scripted().messages.size(), 1u) << path.toStdString();
        EXPECT_EQ(scripted().messages[0].text, OpenFailure); // the box Open shows
        EXPECT_EQ(f.lblMsg->text(), path);
        EXPECT_TRUE(f.mnuReduzir->isEnabled());
        EXPECT_EQ(countPixels(f.Ikon, resolveColor(vbWindowBackground)), 1024);
        Forms::unloadAll();
        scripted().reset();
    }
}

TEST(StartUp, WaylandSessionsRunThroughXWaylandUnlessThePlatformIsChosen)
{
    const char *names[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"};
    std::vector<std::optional<QByteArray>> saved;
    for (const char *name : names)
        saved.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                        : std::nullopt);
    const auto platformFor = [&](const char *chosen, const char *wayland, const char *display) {
        const char *values[] = {chosen, wayland, display};
        for (int i = 0; i < 3; ++i)
            values[i] ? qputenv(names[i], values[i]) : qunsetenv(names[i]);
        preferX11UnderWayland();
        return qgetenv("QT_QPA_PLATFORM");
    };
    EXPECT_EQ(platformFor(nullptr, "wayland-0", ":0"), "xcb");
    EXPECT_EQ(platformFor("", "wayland-0", ":0"), "xcb");
    EXPECT_EQ(platformFor("wayland", "wayland-0", ":0"), "wayland");
    EXPECT_EQ(platformFor(nullptr, "wayland-0", nullptr), ""); // no XWayland
    EXPECT_EQ(platformFor(nullptr, nullptr, ":0"), "");
    for (int i = 0; i < 3; ++i)
        saved[i] ? qputenv(names[i], *saved[i]) : qunsetenv(names[i]);
}
