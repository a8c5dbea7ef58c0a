#pragma once

#include <QString>

// The program's entry routine: shows the main window and enables the product page entry. With
// a file, opens it once the load sequence has finished, as a confirmed Open would; a file that
// cannot be read gets Open's failure message once the window is on screen.
void Main(const QString &file = {});

// Under Wayland the editor runs through XWayland when it can: unless QT_QPA_PLATFORM is set, it
// asks for the xcb platform when WAYLAND_DISPLAY and DISPLAY are both set. Call before the
// application object is made.
void preferX11UnderWayland();
