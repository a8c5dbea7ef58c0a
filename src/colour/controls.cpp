#include "colour/controls.h"

#include <QScrollBar>

QFont compactFont(QFont font)
{
    font.setPointSizeF(7.5);
    return font;
}

void setForeground(QWidget *w, ColorValue color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, toQColor(color));
    w->setPalette(p);
}

void setLightGrey(QWidget *w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QColor(192, 192, 192));
    p.setColor(QPalette::Text, Qt::black);
    w->setPalette(p);
}

QScrollBar *channelBar(QWidget *parent)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    return bar;
}
