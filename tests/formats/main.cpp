// The readers' tests need no windows: Qt Gui alone, for the image plugins, fonts and palette.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/files.h"

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Whatever the tests write stays out of the user's folders.
    const QTemporaryDir home;
    if (!startTestProgram(home))
        return 2;
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
