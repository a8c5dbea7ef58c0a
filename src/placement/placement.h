#pragma once

#include <cstdint>

class QWidget;

// The number read last from the position memory; 0 when the program starts.
extern int32_t PositionValue;

// Puts a window into the band above all others (topmost true, -1) or back among ordinary
// windows (0), keeping its place, size and visibility, and activates it.
void PlaceToolWindow(QWidget *window, int16_t &topmost);
// Overload for a constant flag.
void PlaceToolWindow(QWidget *window, bool topmost);
// Moves the window to the position the tool window was last closed at.
void RestoreWindowPosition(QWidget *window);
// Remembers the window's position for the next run.
void SaveWindowPosition(QWidget *window);
