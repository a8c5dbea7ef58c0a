#pragma once

#include <QFont>

#include "formats/Color.h"
#include "toolkit/twips.h"

class QScrollBar;
class QWidget;

// The controls the colour windows share, laid out in twips.

// A tool window's small font: the windows are laid out in fixed twips.
QFont compactFont(QFont font);
void setForeground(QWidget *w, ColorValue color);
// The light grey (192, 192, 192) of the number boxes.
void setLightGrey(QWidget *w);
// A horizontal bar over 0..255 that moves by one for arrow and page clicks.
QScrollBar *channelBar(QWidget *parent);
