#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "face/project.h"
#include "shell/frmAbout.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"

TEST(About, AFixedCentredToolWindowShowsItsNoticeAndOpensTheLinksUnderItsHotSpots)
{
    frmAbout &a = Forms::get<frmAbout>();
    a.Show();
    const Qt::WindowFlags flags = a.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
              Qt::WindowCloseButtonHint);
    EXPECT_EQ(a.minimumSize(), a.maximumSize());
    EXPECT_EQ(a.Picture->geometry(), QRect(QPoint(0, 0), a.size()));
    EXPECT_LE((a.geometry().center() - QGuiApplication::primaryScreen()->geometry().center())
                  .manhattanLength(),
              2);
    // The artwork carried on to the client area's right edge.
    EXPECT_EQ(a.Picture->pixmap().size(), QSize(420, 200));
    // Each part of the contact line lies under its hot spot.
    const QString line = a.Label3->text();
    const QString home = QStringLiteral("orvelcraft.example/pixmint");
    const QString mail = QString::fromLatin1(project::MailAddress);
    ASSERT_TRUE(line.startsWith(home + QLatin1Char(' ')));
    ASSERT_TRUE(line.endsWith(QLatin1Char(' ') + mail));
    const QFontMetrics metrics(a.Label3->font());
    const int mailStart = a.Label3->x() + metrics.horizontalAdvance(line.chopped(mail.size()));
    EXPECT_GE(a.Label4->geometry().right(), a.Label3->x() + metrics.horizontalAdvance(home));
    EXPECT_GE(mailStart, a.Label5->x());
    EXPECT_LT(a.Label4->geometry().right(), a.Label5->x()); // a click falls on one spot only
    EXPECT_LE(a.Label3->x() + metrics.horizontalAdvance(line), a.Label5->geometry().right());
    // The spots are invisible over the line, yet there to be clicked.
    for (const QLabel *spot : {a.Label4, a.Label5})
        EXPECT_TRUE(spot->text().isEmpty() && spot->isVisible() && !spot->autoFillBackground());

    // They point with the hand and open their links silently, out of the band.
    EXPECT_EQ(a.Label4->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(a.Label5, QPoint(20, 5));
    a.Label4_MouseMove(0, 0, 30, 30);
    for (const QLabel *spot : {a.Label4, a.Label5}) {
        EXPECT_EQ(spot->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(spot->cursor().hotSpot(), QPoint(5, 0));
    }

    ScriptedSeam &s = scripted();
    // Let go outside the spot, or another button: no click.
    QTest::mousePress(a.Label5, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(a.Label5, Qt::LeftButton, {}, QPoint(5, 400));
    QTest::mouseClick(a.Label5, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(s.programs.empty() && onTop(&a));

    QTest::mouseClick(a.Label5, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(!onTop(&a) && a.isVisible());
    // Even a failing opener says nothing.
    s.startAnswers = {ShellOtherError};
    QTest::mouseClick(a.Label4, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(s.programs.size(), 2u);
    EXPECT_EQ(s.programs[0].arguments,
              QStringList{QStringLiteral("mailto:") + QString::fromLatin1(project::MailAddress)});
    EXPECT_EQ(s.programs[1].arguments, QStringList{QString::fromLatin1(project::HomePage)});
    EXPECT_TRUE(s.messages.empty() && !onTop(&a));

    // Loaded again, it floats again.
    Forms::unload<frmAbout>();
    EXPECT_TRUE(onTop(&Forms::get<frmAbout>()));
}
