#pragma once

class QWidget;

// Asks an X11 window manager for a tool window's frame: a small title bar with a close box
// only. The window is first a toolbar, then a utility window, so that managers which draw
// minimise and maximise buttons beside a utility window's title (openbox) leave them out, and
// its Motif hints offer moving and closing alone. Qt writes both anew whenever the window's
// flags change, so this is asked again after every change. Elsewhere it does nothing.
void askForToolFrame(QWidget *window);
