#include "support/helpers.h"

#include <QFile>

#include "app/frmGeral.h"
#include "placement/registry.h"

const QString OpenFailure =
    QStringLiteral("Cancel:\n                 The Open File is not Been worth!             \n") +
    QString(40, '_');

bool onTop(const QWidget *w)
{
    return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

int countPixels(const PictureBox *ikon, ColorValue color)
{
    int n = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            n += ikon->Point(x, y) == int32_t(color);
    return n;
}

QString clearSettingsStore()
{
    QString path = RegStoreFile();
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".damaged"));
    return path;
}

double cellMiddle(int cell)
{
    return cell * CellTwips + CellTwips / 2.0;
}

void rollUpSplash(frmGeral &f)
{
    f.picLogo_Click();
    for (int i = 0; i < 1000 && f.tmrLogo->Enabled(); ++i)
        f.tmrLogo_Timer();
}
