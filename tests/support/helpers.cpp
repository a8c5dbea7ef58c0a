#include "support/helpers.h"

#include <QSettings>

const QString OpenFailure =
    QStringLiteral("Cancel:\n                 The Open File is not Been worth!             \n") +
    QString(40, '_');

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
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Pixmint", "registry");
    store.clear();
    store.sync();
    return store.fileName();
}
