#include "toolkit/ToolFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t found = reply->atom;
    std::free(reply);
    return found;
}

// The Motif hints' fields: flags, functions, decorations, input mode, status.
constexpr uint32_t MotifHasFunctions = 0x1, MotifHasDecorations = 0x2;
constexpr uint32_t MotifMove = 0x04, MotifClose = 0x20;
constexpr uint32_t MotifBorder = 0x02, MotifTitle = 0x08;

} // namespace

void askForToolFrame(QWidget *window)
{
    // Other platforms (offscreen, Wayland) may answer for X11 without a connection.
    const auto *x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    const QWindow *native = window->windowHandle();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c || !native)
        return;
    const auto id = xcb_window_t(native->winId());
    const std::array<xcb_atom_t, 3> types = {atom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                             atom(c, "_NET_WM_WINDOW_TYPE_UTILITY"),
                                             atom(c, "_NET_WM_WINDOW_TYPE_NORMAL")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                        32, types.size(), types.data());
    const std::array<uint32_t, 5> motif = {MotifHasFunctions | MotifHasDecorations,
                                           MotifMove | MotifClose, MotifBorder | MotifTitle, 0, 0};
    const xcb_atom_t motifAtom = atom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, motifAtom, motifAtom, 32, motif.size(),
                        motif.data());
    xcb_flush(c);
}
