#include <QApplication>
#include <QRubberBand>
#include <QTest>
#include <gtest/gtest.h>

#include "formats/Color.h"
#include "toolkit/SSPanel.h"

namespace {

// A window with a target that takes drops and a panel to drag.
class PanelDrop : public testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(300, 200);
        target = new QWidget(&window);
        target->setGeometry(150, 20, 100, 100);
        panel = new SSPanel(&window);
        panel->setGeometry(20, 20, 60, 60);
        setDragDropHandler(target, [this](QWidget *source, double x, double y) {
            ++drops;
            EXPECT_EQ(source, panel);
            at = {x, y};
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
    QWidget *target = nullptr;
    SSPanel *panel = nullptr;
    int drops = 0;
    std::pair<double, double> at;
};

} // namespace

TEST_F(PanelDrop, DraggingDropsOnlyInAutomaticModeAndOnlyOnTheControlUnderThePoint)
{
    const QPoint onTarget = panel->mapFromGlobal(target->mapToGlobal(QPoint(10, 20)));
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, onTarget);
    EXPECT_EQ(drops, 0);

    panel->setDragMode(SSPanel::vbAutomatic);
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(onTarget), panel->mapToGlobal(QPointF(onTarget)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &move);
    const QRubberBand *outline = window.findChild<QRubberBand *>();
    ASSERT_NE(outline, nullptr);
    EXPECT_TRUE(outline->isVisible());
    EXPECT_EQ(outline->geometry(), QRect(target->pos() + QPoint(5, 15), panel->size()));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, onTarget);
    EXPECT_EQ(window.findChild<QRubberBand *>(), nullptr);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(at, std::make_pair(150.0, 300.0));

    // Only the control under the point takes the drop.
    EXPECT_TRUE(dropAt(panel, target->mapToGlobal(QPoint(5, 7))));
    EXPECT_EQ(at, std::make_pair(75.0, 105.0));

    // The dragged panel itself is seen through.
    panel->setGeometry(140, 10, 60, 60);
    EXPECT_TRUE(dropAt(panel, target->mapToGlobal(QPoint(20, 20))));

    // A child of a target is a control of its own, without a handler.
    auto *child = new QWidget(target);
    child->setGeometry(0, 0, 50, 50);
    child->show();
    EXPECT_FALSE(dropAt(panel, target->mapToGlobal(QPoint(10, 10))));
    EXPECT_EQ(drops, 3);

    delete target;
    auto *reborn = new QWidget(&window);
    reborn->setGeometry(150, 20, 100, 100);
    reborn->show();
    EXPECT_FALSE(dropAt(panel, reborn->mapToGlobal(QPoint(5, 5))));
}

TEST(SSPanelLook, BevelRaisedInsetOrDesignTimeCaptionWholeElsePrefixAndEllipsis)
{
    SSPanel panel;
    panel.resize(20, 20);
    panel.setBevelWidth(2);
    const QRgb light = panel.palette().color(QPalette::Light).rgb();
    const QRgb dark = panel.palette().color(QPalette::Dark).rgb();
    // Any other kind, such as the 3 written without a settings file, shows the design's bevel.
    for (int kind : {int(SSPanel::BevelInset), 3, 0, int(SSPanel::BevelRaised)}) {
        panel.setBevelOuter(SSPanel::BevelInset);
        panel.setBevelOuter(kind);
        const bool raised = kind != SSPanel::BevelInset;
        EXPECT_EQ(panel.BevelOuter(), raised ? SSPanel::BevelRaised : SSPanel::BevelInset);
        const auto [topLeft, bottomRight] =
            raised ? std::pair(light, dark) : std::pair(dark, light);
        const QImage shown = panel.grab().toImage();
        for (const QPoint &p : {QPoint(1, 10), QPoint(10, 1)})
            EXPECT_EQ(shown.pixel(p), topLeft) << kind;
        for (const QPoint &p : {QPoint(18, 10), QPoint(10, 19)})
            EXPECT_EQ(shown.pixel(p), bottomRight) << kind;
        EXPECT_EQ(shown.pixel(2, 10), toQRgb(vbButtonFace));
    }

    // The caption is whole where it fits, else its start and an ellipsis.
    SSPanel titled(nullptr, QStringLiteral("TEXT"));
    titled.resize(130, 60);
    EXPECT_EQ(titled.shownCaption(), QStringLiteral("TEXT"));
    const QString font = QStringLiteral("Font: Nimbus Sans Narrow Condensed [urw] Bold Oblique");
    titled.setCaption(font);
    const QString shown = titled.shownCaption();
    EXPECT_EQ(titled.Caption(), font);
    // Cut at the end only: the start is kept, and what is drawn fits inside the bevels.
    const QString kept = QString(shown).remove(QChar(0x2026)).remove(QStringLiteral("..."));
    EXPECT_TRUE(kept.size() > 6 && kept.size() < shown.size() && font.startsWith(kept))
        << shown.toStdString();
    EXPECT_LE(titled.fontMetrics().horizontalAdvance(shown), 130 - 2 * titled.BevelWidth());
    titled.resize(2000, 60);
    EXPECT_EQ(titled.shownCaption(), font);
}
