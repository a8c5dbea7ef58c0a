#pragma once

#include <QString>

#include "support/files.h"
#include "toolkit/PictureBox.h"

class frmGeral;

// Whether the window floats above the others.
bool onTop(const QWidget *w);
// How many of the icon's 32 x 32 pixels have the colour.
int countPixels(const PictureBox *ikon, ColorValue color);
// Empties the per-user settings store; returns its file's path.
QString clearSettingsStore();
// The twips of the middle of grid cell `cell`, across or down.
double cellMiddle(int cell);
// Clicks the splash and runs its timer until it has rolled up and the menus are enabled.
void rollUpSplash(frmGeral &f);
// The message Open shows when the dialog is cancelled or the file is no picture.
extern const QString OpenFailure;
