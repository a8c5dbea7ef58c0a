#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <atomic>
#include <thread>

#include "app/frmGeral.h"
#include "colour/ColorPalette.h"
#include "colour/frmVeCor1.h"
#include "placement/placement.h"
#include "placement/registry.h"
#include "support/helpers.h"
#include "toolkit/Forms.h"
#include "toolkit/twips.h"
#include "toolwindow/frmToolBar.h"

namespace {

const QString Key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Window Position");

class Placement : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearSettingsStore();
        PositionValue = 0;
    }

    // Stores the pair, then places `w` by it.
    static void restore(QWidget &w, const QString &left, const QString &top)
    {
        CreateRegKey(Key);
        WriteRegValue(Key, "Left", left);
        WriteRegValue(Key, "Top", top);
        RestoreWindowPosition(&w);
    }
};

} // namespace

TEST_F(Placement, ToolWindowsKeepTheirPositionAndTheirTopmostFlagComesAndGoes)
{
    frmToolBar &bar = Forms::get<frmToolBar>();
    EXPECT_EQ(bar.pos(), QPoint(0, 0)); // first run: nothing stored
    EXPECT_TRUE(onTop(&bar));

    bar.resize(150, 200);
    bar.move(200, 100);     // 3000 x 1500 twips
    Forms::get<frmGeral>(); // whose first load writes the frame style
    {
        FailingWrites counted;
        Forms::unload<frmToolBar>();
        EXPECT_EQ(counted.reached, 1); // one write per close
    }
    EXPECT_EQ(ReadRegValues(Key, {"Left", "Top"}), (QStringList{"3000", "1500"}));

    EXPECT_EQ(Forms::get<ColorPalette>().pos(), QPoint(200, 100));
    EXPECT_EQ(Forms::get<frmVeCor1>().pos(), QPoint(200, 100));
    EXPECT_TRUE(onTop(&Forms::get<ColorPalette>()));

    // The topmost flag comes and goes, keeping the geometry and the visibility.
    QWidget w(nullptr, Qt::Tool);
    w.setGeometry(120, 90, 200, 150);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect before = w.geometry();
    QWindow *native = w.windowHandle();

    // Any true value turns the flag on; the native window is kept, shown where it was.
    for (const int16_t on : {int16_t(-1), int16_t(0)}) {
        PlaceToolWindow(&w, on);
        EXPECT_EQ(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint), on != 0);
        EXPECT_EQ(native->flags().testFlag(Qt::WindowStaysOnTopHint), on != 0);
        EXPECT_TRUE(w.isVisible() && w.windowFlags().testFlag(Qt::Tool));
        EXPECT_EQ(w.windowHandle(), native);
        EXPECT_EQ(w.geometry(), before);
    }
}

TEST_F(Placement, APositionIsNeverReadHalfSavedRoundsHalfToEvenKeepsTheLastNumberForBadText)
{
    // Another copy reading while this one saves sees the old pair or the new one.
    QWidget w;
    w.resize(120, 80);
    std::atomic<bool> saving{true};
    std::atomic<int> reads{0}, mixed{0};
    std::thread other([&] {
        while (saving) {
            const QStringList pair = ReadRegValues(Key, {"Left", "Top"});
            reads += pair[0] != QLatin1String("Error");
            mixed += pair[0] != pair[1];
        }
    });
    for (int i = 1; i <= 100; ++i) {
        w.move(i, i);
        SaveWindowPosition(&w);
    }
    saving = false;
    other.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(mixed, 0);

    // Restored, it rounds half to even, keeps the last number for bad text and is on screen.
    restore(w, "1234.5", "1235.5");
    EXPECT_EQ(PositionValue, 1236);
    EXPECT_EQ(w.pos(), QPoint(twipsToPixels(1234), twipsToPixels(1236)));

    restore(w, "left", "  300  ");
    EXPECT_EQ(w.pos().x(), twipsToPixels(1236)); // "Error"-like text keeps the previous number
    EXPECT_EQ(PositionValue, 300);
    restore(w, "1e99", "NaN");
    EXPECT_EQ(PositionValue, 300);

    // Past each edge of the screen, across and down, it still opens on it.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const auto &[left, top] : {std::pair{"99999999", "-5000000"}, {"-5000000", "99999999"}}) {
        restore(w, left, top);
        EXPECT_TRUE(area.contains(w.frameGeometry().topLeft())) << left;
        EXPECT_TRUE(area.contains(w.frameGeometry().topLeft() + QPoint(63, 31))) << left;
    }
}
